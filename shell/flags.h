#pragma once
// Country flags and sex marks as the world lists, the board and the information clock draw
// them: a flag is frame `row` of its continent's strip of 16 x 11 pictures.
#include <QImage>
#include <string_view>

namespace trilane {

// The flag of a country code "C-RRR" (continent 1..6, three-digit row); a null image for
// anything else or a row beyond the strip.
QImage FlagPicture(std::string_view countryCode);
// "FaceMan16" for "M", "FaceWoman16" for anything else.
QImage SexPicture(std::string_view sex);

}  // namespace trilane

#include "shell/flags.h"

#include "shell/pictures.h"

namespace trilane {

QImage FlagPicture(std::string_view code) {
  static constexpr std::string_view kStrips[] = {"ILEuro", "ILAsia", "ILNAme",
                                                 "ILSAme", "ILOcea", "ILAfri"};
  if (code.size() != 5 || code[1] != '-' || code[0] < '1' || code[0] > '6') return {};
  int row = 0;
  for (char c : code.substr(2)) {
    if (c < '0' || c > '9') return {};
    row = row * 10 + (c - '0');
  }
  const QImage strip = ProgramPng(kStrips[code[0] - '1']);
  if (strip.isNull() || (row + 1) * 16 > strip.width()) return {};
  return StripFrame(strip, 16, row);
}

QImage SexPicture(std::string_view sex) {
  return ProgramPng(sex == "M" ? "FaceMan16" : "FaceWoman16");
}

}  // namespace trilane

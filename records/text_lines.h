#pragma once
// Line handling shared by the record formats: files are code-page-1251 bytes with CR LF
// line ends. Readers accept CR LF, a lone LF or a lone CR as a line end (as the files may
// have passed through other tools); a final line end does not start another line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trilane {

std::vector<std::string_view> SplitLines(std::string_view bytes);
// The lines are views into `bytes`: a temporary string would leave them dangling.
std::vector<std::string_view> SplitLines(std::string&& bytes) = delete;

// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// A whole decimal number, optionally signed, with optional spaces around it; nothing when
// the text is anything else or does not fit in 64 bits.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// `text` right-aligned in a field of `width` bytes (left-padded with spaces). Longer text is
// returned as it is; callers check widths before they build a fixed line.
std::string PadLeft(std::string_view text, size_t width, char pad = ' ');
// `text` left-aligned in `width` bytes: padded with spaces or cut.
std::string PadRightOrCut(std::string_view text, size_t width);

// Trailing spaces removed.
std::string_view TrimRight(std::string_view text);

}  // namespace trilane

namespace trilane {

// A real written with a comma (or a point) as decimal separator, optionally signed, with
// optional spaces around it, as in "  0,250000"; nothing for anything else.
std::optional<double> ParseCommaReal(std::string_view text);

// `scaled` / 10^decimals written with a comma and exactly `decimals` digits after it:
// (-325, 2) gives "-3,25", (5, 2) gives "0,05", (0, 6) gives "0,000000".
std::string FormatScaledComma(int64_t scaled, int decimals);

}  // namespace trilane

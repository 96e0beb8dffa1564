#pragma once
// The reply grammars of the web service. A reply is a short 8-bit text in which the client
// looks for two-character markers and for fields that start after a "$". The service closes
// every reply with a terminator, so the reply's last character is never part of a value.
//
// All functions here are pure and total: any byte string is a valid input.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trilane::web {

// True when the two characters of `marker` occur anywhere in the reply ("ok", "is", "no").
bool FindMarker(std::string_view reply, std::string_view marker);

// The number after the last "$" that is not the reply's last character: the run of decimal
// digits that follows it, never including the reply's last character. '$123$' gives 123,
// '$123' gives 12, '$12$x$' gives nothing.
std::optional<int64_t> ReadDollarNumber(std::string_view reply);

// The text after the first "$" that is not the reply's last character, up to the first
// `terminator` or the reply's last character, whichever comes first. Nothing when the reply
// has no such "$".
std::optional<std::string> ReadDollarSegment(std::string_view reply, char terminator);

// That segment split on `separator`; two adjacent separators give an empty field.
std::optional<std::vector<std::string>> ReadDollarFields(std::string_view reply, char terminator,
                                                         char separator);

// The list form: one entry at each "$" that is not the reply's last character, up to
// `maxEntries` entries; later ones are ignored.
std::vector<std::vector<std::string>> ReadDollarFieldList(std::string_view reply, char terminator,
                                                          char separator, size_t maxEntries = 10);

// Success when the text after the last usable "$" (up to the next "#") has "ok" as its second
// and third characters, as in '$ ok#'.
bool ReadOkAfterDollar(std::string_view reply);

// Splits on every separator; "a  b" gives "a", "", "b".
std::vector<std::string> SplitFields(std::string_view text, char separator);

// A whole decimal integer, a minus sign for negatives, nothing else around it.
std::optional<int64_t> ParseStrictInt(std::string_view text);

// A real as the service expects it: the shortest general decimal form with up to 15
// significant digits and a point, never an exponent; magnitudes below 0.00001 are "0".
std::string WebFloat(double value);

// A real as the service sends it: the first character that is not a space, "-" or a digit is
// the decimal separator, whatever it is. An empty field gives 0; anything else that is not a
// number gives nothing.
std::optional<double> ParseWebFloat(std::string_view text);

}  // namespace trilane::web

#pragma once
// Code page 1251: the 8-bit encoding of every fixed-width file and protocol message.
// Bytes stay bytes (std::string) inside the program; UTF-8 appears only where text meets
// the user, the command line or JSON.

#include <optional>
#include <string>
#include <string_view>

namespace trilane {

// The Unicode scalar of one code-page-1251 byte; 0 for the one unassigned byte (0x98).
char32_t Cp1251ToUnicode(unsigned char byte);

// The code-page-1251 byte of a Unicode scalar, or nothing when the code page lacks it.
std::optional<unsigned char> UnicodeToCp1251(char32_t scalar);

// Code-page-1251 bytes to UTF-8. The unassigned byte 0x98 becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// UTF-8 to code-page-1251 bytes. Characters the code page lacks, and malformed UTF-8,
// become `replacement` when it is given; without it the conversion fails.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8,
                                        std::optional<char> replacement = std::nullopt);

// True when the whole text is well-formed UTF-8: no stray or missing continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view utf8);

// Decodes one UTF-8 scalar at `pos`, advancing it; nothing on malformed input (pos unchanged).
std::optional<char32_t> DecodeUtf8(std::string_view utf8, size_t& pos);
void AppendUtf8(std::string& out, char32_t scalar);

}  // namespace trilane

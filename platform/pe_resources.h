#pragma once
// The resource tree of a Windows resource-only library (PE/COFF, 32- or 64-bit), read
// straight from the file's bytes. Pure C++: no Qt, no file access; the caller hands in the
// whole file. Every offset is checked against the buffer, so a truncated or hostile file
// yields "not found" or an empty list, never a read outside the bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trilane {

inline constexpr uint16_t kRtBitmap = 2;
inline constexpr uint16_t kRtRcdata = 10;

// A resource type or name as the tree holds it: a 16-bit number, or a string. The resource
// compiler upper-cases string names, and every comparison ignores ASCII case.
struct ResourceId {
  uint16_t number = 0;
  std::string text;  // UTF-8; empty for a numbered id

  static ResourceId Number(uint16_t n) { return {n, {}}; }
  static ResourceId Text(std::string_view s) { return {0, std::string(s)}; }
  bool IsNumber() const { return text.empty(); }
  // "#10" for numbers, the text itself otherwise.
  std::string ToString() const;
  friend bool operator==(const ResourceId&, const ResourceId&) = default;
};

// Reads "#10", "10", "RCDATA", "BITMAP" (the two numbered types we use) or a string type.
ResourceId ParseResourceType(std::string_view text);
// A type's conventional name: "RCDATA", "BITMAP", "#n" for other numbers, or the text
// upper-cased.
std::string ResourceTypeName(const ResourceId& type);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view s);

struct PeResource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  size_t offset = 0;  // into the file's bytes
  size_t size = 0;
};

// Every resource of the file, in tree order. Empty for anything that is not a well-formed
// PE image with a resource section; entries whose data lies outside the file are skipped.
std::vector<PeResource> ListPeResources(std::span<const uint8_t> file);

// The bytes of the first resource (any language) of `type` named `name`, compared without
// regard to ASCII case. A name "#n" finds the numbered resource n.
std::optional<std::span<const uint8_t>> FindPeResource(std::span<const uint8_t> file,
                                                       const ResourceId& type,
                                                       std::string_view name);

}  // namespace trilane

#include "platform/pe_resources.h"

#include <algorithm>
#include <charconv>

#include "base/codepage.h"

namespace trilane {

namespace {

// A little-endian reader that answers "no" instead of reading past the end.
class Bytes {
 public:
  explicit Bytes(std::span<const uint8_t> data) : data_(data) {}
  size_t Size() const { return data_.size(); }
  bool Has(size_t offset, size_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  std::optional<uint16_t> U16(size_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  std::optional<uint32_t> U32(size_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<uint32_t>(data_[offset + 3]) << 24);
  }
  std::span<const uint8_t> Slice(size_t offset, size_t count) const {
    return data_.subspan(offset, count);
  }

 private:
  std::span<const uint8_t> data_;
};

struct Section {
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawOffset = 0;
  uint32_t rawSize = 0;
};

// Where the resource tree starts and how relative virtual addresses map to file offsets.
struct Image {
  Bytes bytes;
  std::vector<Section> sections;
  size_t rsrcOffset = 0;  // file offset of the root directory
  size_t rsrcEnd = 0;     // end of the section holding it (directory offsets stay inside)

  // The file offset of `count` bytes at `rva`, all inside one section's raw data.
  std::optional<size_t> FileOffset(uint32_t rva, uint32_t count) const {
    for (const Section& s : sections) {
      const uint64_t span = std::max(s.virtualSize, s.rawSize);
      if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
      const uint64_t inSection = rva - s.virtualAddress;
      if (inSection + count > s.rawSize) return std::nullopt;
      const uint64_t offset = uint64_t{s.rawOffset} + inSection;
      if (!bytes.Has(offset, count)) return std::nullopt;
      return static_cast<size_t>(offset);
    }
    return std::nullopt;
  }
};

std::optional<Image> OpenImage(std::span<const uint8_t> file) {
  Image image{Bytes(file), {}, 0, 0};
  const Bytes& b = image.bytes;
  if (b.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  const auto peOffset = b.U32(0x3C);
  if (!peOffset || b.U32(*peOffset) != 0x00004550) return std::nullopt;  // "PE\0\0"
  const size_t coff = size_t{*peOffset} + 4;
  const auto sectionCount = b.U16(coff + 2);
  const auto optionalSize = b.U16(coff + 16);
  if (!sectionCount || !optionalSize) return std::nullopt;
  const size_t optional = coff + 20;
  const auto magic = b.U16(optional);
  size_t countField = 0;
  if (magic == 0x10B) {
    countField = optional + 92;  // PE32
  } else if (magic == 0x20B) {
    countField = optional + 108;  // PE32+
  } else {
    return std::nullopt;
  }
  const auto dirCount = b.U32(countField);
  if (!dirCount || *dirCount < 3) return std::nullopt;
  const size_t resourceDir = countField + 4 + 2 * 8;  // data directory 2: resources
  if (resourceDir + 8 > optional + *optionalSize) return std::nullopt;
  const auto rsrcRva = b.U32(resourceDir);
  const auto rsrcSize = b.U32(resourceDir + 4);
  if (!rsrcRva || !rsrcSize || *rsrcRva == 0) return std::nullopt;

  const size_t table = optional + *optionalSize;
  for (size_t i = 0; i < *sectionCount; ++i) {
    const size_t at = table + i * 40;
    const auto vsize = b.U32(at + 8), va = b.U32(at + 12), rsize = b.U32(at + 16),
               raw = b.U32(at + 20);
    if (!vsize || !va || !rsize || !raw) return std::nullopt;
    image.sections.push_back({*va, *vsize, *raw, *rsize});
  }
  const auto root = image.FileOffset(*rsrcRva, 16);
  if (!root) return std::nullopt;
  image.rsrcOffset = *root;
  // Directory offsets are relative to the root and must stay within its section.
  for (const Section& s : image.sections) {
    if (*rsrcRva >= s.virtualAddress && *rsrcRva - s.virtualAddress < s.rawSize) {
      image.rsrcEnd = std::min<size_t>(size_t{s.rawOffset} + s.rawSize, b.Size());
    }
  }
  if (image.rsrcEnd <= image.rsrcOffset) return std::nullopt;
  return image;
}

struct Entry {
  ResourceId id;
  bool isDirectory = false;
  size_t target = 0;  // file offset of the subdirectory or of the data entry
};

// The entries of the directory at `offset` (a file offset inside the resource section).
// Entries that point outside the section or hold a broken name are dropped.
// `budget` counts entries read across calls; a hostile tree can make directories share
// children, so a listing stops when it runs out.
std::vector<Entry> ReadDirectory(const Image& image, size_t offset, size_t& budget) {
  std::vector<Entry> entries;
  const Bytes& b = image.bytes;
  if (offset < image.rsrcOffset || offset + 16 > image.rsrcEnd) return entries;
  const auto named = b.U16(offset + 12), numbered = b.U16(offset + 14);
  if (!named || !numbered) return entries;
  const size_t count = size_t{*named} + *numbered;
  for (size_t i = 0; i < count && budget > 0; ++i, --budget) {
    const size_t at = offset + 16 + i * 8;
    if (at + 8 > image.rsrcEnd) break;
    const uint32_t nameField = *b.U32(at);
    const uint32_t dataField = *b.U32(at + 4);
    Entry e;
    if (nameField & 0x80000000u) {
      const size_t str = image.rsrcOffset + (nameField & 0x7FFFFFFFu);
      const auto length = b.U16(str);
      if (!length || *length == 0 || str + 2 + size_t{*length} * 2 > image.rsrcEnd) continue;
      std::string text;
      for (size_t k = 0; k < *length; ++k) {
        uint32_t c = *b.U16(str + 2 + k * 2);
        if (c >= 0xD800 && c < 0xDC00 && k + 1 < *length) {
          const uint32_t low = *b.U16(str + 4 + k * 2);
          if (low >= 0xDC00 && low < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++k;
          } else {
            c = 0xFFFD;
          }
        } else if (c >= 0xD800 && c < 0xE000) {
          c = 0xFFFD;
        }
        AppendUtf8(text, static_cast<char32_t>(c));
      }
      e.id = ResourceId::Text(text);
    } else {
      e.id = ResourceId::Number(static_cast<uint16_t>(nameField & 0xFFFFu));
    }
    e.isDirectory = (dataField & 0x80000000u) != 0;
    e.target = image.rsrcOffset + (dataField & 0x7FFFFFFFu);
    if (e.target < image.rsrcOffset || e.target + 16 > image.rsrcEnd) continue;
    entries.push_back(std::move(e));
  }
  return entries;
}

// The data a data entry (at a file offset) describes, as a file range.
std::optional<std::pair<size_t, size_t>> ReadDataEntry(const Image& image, size_t offset) {
  const auto rva = image.bytes.U32(offset), size = image.bytes.U32(offset + 4);
  if (!rva || !size) return std::nullopt;
  const auto at = image.FileOffset(*rva, *size);
  if (!at) return std::nullopt;
  return std::make_pair(*at, size_t{*size});
}

bool Matches(const ResourceId& id, const ResourceId& wanted) {
  if (id.IsNumber() != wanted.IsNumber()) return false;
  return id.IsNumber() ? id.number == wanted.number : EqualsIgnoreAsciiCase(id.text, wanted.text);
}

ResourceId NameFromText(std::string_view name) {
  if (name.size() > 1 && name[0] == '#') {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), value);
    if (ec == std::errc() && end == name.data() + name.size() && value <= 0xFFFF) {
      return ResourceId::Number(static_cast<uint16_t>(value));
    }
  }
  return ResourceId::Text(name);
}

constexpr size_t kEntryBudget = 1 << 18;  // real libraries hold a few thousand

}  // namespace

std::string ResourceId::ToString() const {
  return IsNumber() ? "#" + std::to_string(number) : text;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

ResourceId ParseResourceType(std::string_view text) {
  if (EqualsIgnoreAsciiCase(text, "RCDATA")) return ResourceId::Number(kRtRcdata);
  if (EqualsIgnoreAsciiCase(text, "BITMAP")) return ResourceId::Number(kRtBitmap);
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '#') digits.remove_prefix(1);
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (!digits.empty() && ec == std::errc() && end == digits.data() + digits.size() &&
      value <= 0xFFFF) {
    return ResourceId::Number(static_cast<uint16_t>(value));
  }
  return ResourceId::Text(ToUpperAscii(text));
}

std::string ResourceTypeName(const ResourceId& type) {
  if (!type.IsNumber()) return ToUpperAscii(type.text);
  if (type.number == kRtRcdata) return "RCDATA";
  if (type.number == kRtBitmap) return "BITMAP";
  return "#" + std::to_string(type.number);
}

std::vector<PeResource> ListPeResources(std::span<const uint8_t> file) {
  std::vector<PeResource> out;
  const auto image = OpenImage(file);
  if (!image) return out;
  size_t budget = kEntryBudget;
  // Exactly three levels (type, name, language): a directory that points back up the tree
  // is met at a level where only data may stand and is skipped, so loops end.
  for (const Entry& type : ReadDirectory(*image, image->rsrcOffset, budget)) {
    if (!type.isDirectory) continue;
    for (const Entry& name : ReadDirectory(*image, type.target, budget)) {
      if (!name.isDirectory) continue;
      for (const Entry& language : ReadDirectory(*image, name.target, budget)) {
        if (language.isDirectory || !language.id.IsNumber()) continue;
        const auto data = ReadDataEntry(*image, language.target);
        if (!data) continue;
        out.push_back({type.id, name.id, language.id.number, data->first, data->second});
      }
    }
  }
  return out;
}

std::optional<std::span<const uint8_t>> FindPeResource(std::span<const uint8_t> file,
                                                       const ResourceId& type,
                                                       std::string_view name) {
  if (name.empty()) return std::nullopt;
  const auto image = OpenImage(file);
  if (!image) return std::nullopt;
  const ResourceId wanted = NameFromText(name);
  // Like the system's lookup: the first type directory that matches, in it the first name
  // directory that matches, in it the first language with data.
  size_t budget = kEntryBudget;
  const auto types = ReadDirectory(*image, image->rsrcOffset, budget);
  const auto t = std::find_if(types.begin(), types.end(),
                              [&](const Entry& e) { return e.isDirectory && Matches(e.id, type); });
  if (t == types.end()) return std::nullopt;
  const auto names = ReadDirectory(*image, t->target, budget);
  const auto n = std::find_if(names.begin(), names.end(), [&](const Entry& e) {
    return e.isDirectory && Matches(e.id, wanted);
  });
  if (n == names.end()) return std::nullopt;
  for (const Entry& language : ReadDirectory(*image, n->target, budget)) {
    if (language.isDirectory) continue;
    if (const auto data = ReadDataEntry(*image, language.target)) {
      return file.subspan(data->first, data->second);
    }
  }
  return std::nullopt;
}

}  // namespace trilane

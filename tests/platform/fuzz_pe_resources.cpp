// Library files, two ways from the same bytes.
// As a file: hostile bytes; listing and every lookup stay inside the bytes and end, and every
// range they give lies inside the file.
// As a plan: the bytes describe a resource tree (types, names, languages, data sizes, numbered
// or named, names in any letter case), built here into a well-formed library; the listing
// must then give exactly that tree, each resource at the offset and with the size it was
// written at, and a lookup by type and name (in any case) must give exactly the bytes of the
// name's first language.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/pe_resources.h"

namespace {

using trilane::FindPeResource;
using trilane::ListPeResources;
using trilane::PeResource;
using trilane::ResourceId;
using Bytes = std::span<const uint8_t>;

[[noreturn]] void Fail(const char* what, const PeResource& r) {
  std::fprintf(stderr, "%s: %s/%s/%u at %zu, %zu bytes\n", what, r.type.ToString().c_str(),
               r.name.ToString().c_str(), r.language, r.offset, r.size);
  std::abort();
}

bool Inside(Bytes file, size_t offset, size_t size) {
  return offset <= file.size() && size <= file.size() - offset;
}

void CheckHostileFile(Bytes file) {
  size_t lookups = 0;
  for (const PeResource& r : ListPeResources(file)) {
    if (!Inside(file, r.offset, r.size)) Fail("listed outside the file", r);
    if (++lookups > 32) continue;  // each lookup walks the tree again
    const auto found = FindPeResource(file, r.type, r.name.ToString());
    if (found && !Inside(file, static_cast<size_t>(found->data() - file.data()), found->size())) {
      Fail("found outside the file", r);
    }
  }
  for (const char* name : {"CH02B", "fong", "#7", "WDing_1"}) {
    for (const auto& type :
         {ResourceId::Number(trilane::kRtRcdata), ResourceId::Number(trilane::kRtBitmap),
          ResourceId::Text("JPEG"), ResourceId::Text("WAVE")}) {
      const auto found = FindPeResource(file, type, name);
      if (found && !Inside(file, static_cast<size_t>(found->data() - file.data()), found->size())) {
        Fail("found outside the file", PeResource{type, ResourceId::Text(name), 0, 0, 0});
      }
    }
  }
}

// --- A tree planned from the bytes ------------------------------------------------------------

class Reader {
 public:
  explicit Reader(Bytes bytes) : bytes_(bytes) {}
  uint8_t Next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }

 private:
  Bytes bytes_;
  size_t at_ = 0;
};

// An id for entry `index` of a directory: a number, or a name of letters in mixed case (and
// sometimes a Cyrillic letter, as UTF-16 in the file). The index is part of either, so the ids
// of one directory differ even when letter case is ignored.
struct PlannedId {
  ResourceId id;
  std::u16string utf16;
};
PlannedId PlanId(Reader& reader, size_t index) {
  const uint8_t b = reader.Next();
  if ((b & 1) == 0) return {ResourceId::Number(static_cast<uint16_t>(index * 1000 + b)), {}};
  std::string text(1, static_cast<char>('A' + index));
  const size_t letters = (b >> 1) % 6;
  for (size_t i = 0; i < letters; ++i) {
    const uint8_t c = reader.Next();
    text += static_cast<char>(((c & 0x20) ? 'a' : 'A') + c % 26);
  }
  std::u16string utf16(text.begin(), text.end());
  if (b & 0x80) {
    text += "\xD0\x96";  // U+0416
    utf16 += u'\u0416';
  }
  return {ResourceId::Text(text), utf16};
}

struct Language {
  uint16_t id = 0;
  size_t size = 0;
  size_t entry = 0, data = 0;  // offsets in the section
};
struct Name {
  PlannedId id;
  std::vector<Language> languages;
  size_t directory = 0, string = 0;
};
struct Type {
  PlannedId id;
  std::vector<Name> names;
  size_t directory = 0, string = 0;
};

class Builder {
 public:
  static constexpr size_t kSection = 0x400;  // file offset of the resource section
  static constexpr uint32_t kRva = 0x1000;

  std::vector<uint8_t> Build(std::vector<Type>& types) {
    // Lay out: root, name directories, language directories, data entries, strings, data.
    size_t cursor = Directory(types.size());
    for (Type& t : types) {
      t.directory = cursor;
      cursor += Directory(t.names.size());
    }
    for (Type& t : types) {
      for (Name& n : t.names) {
        n.directory = cursor;
        cursor += Directory(n.languages.size());
      }
    }
    for (Type& t : types) {
      for (Name& n : t.names) {
        for (Language& l : n.languages) {
          l.entry = cursor;
          cursor += 16;
        }
      }
    }
    auto string = [&](const PlannedId& id, size_t& at) {
      if (id.id.IsNumber()) return;
      at = cursor;
      cursor += 2 + 2 * id.utf16.size();
    };
    for (Type& t : types) {
      string(t.id, t.string);
      for (Name& n : t.names) string(n.id, n.string);
    }
    for (Type& t : types) {
      for (Name& n : t.names) {
        for (Language& l : n.languages) {
          l.data = cursor;
          cursor += l.size;
        }
      }
    }
    // Padding after the data, as the section alignment gives (an empty resource at the very
    // end would otherwise point past its section).
    const size_t sectionSize = cursor + 16;
    file_.assign(kSection + sectionSize, 0);

    // Headers: a 64-bit image with one section, the resource directory pointing at it.
    file_[0] = 'M', file_[1] = 'Z';
    Put32(0x3C, 0x40);
    Put32(0x40, 0x00004550);  // "PE\0\0"
    Put16(0x44, 0x8664);
    Put16(0x46, 1);     // sections
    Put16(0x54, 0xF0);  // optional header size
    Put16(0x58, 0x20B);
    Put32(0x58 + 108, 16);  // data directories
    Put32(0x58 + 112 + 16, kRva);
    Put32(0x58 + 112 + 20, static_cast<uint32_t>(sectionSize));
    const size_t header = 0x58 + 0xF0;
    Put32(header + 8, static_cast<uint32_t>(sectionSize));
    Put32(header + 12, kRva);
    Put32(header + 16, static_cast<uint32_t>(sectionSize));
    Put32(header + 20, kSection);

    std::vector<Entry> root;
    for (const Type& t : types) root.push_back({IdField(t.id, t.string), Sub(t.directory)});
    WriteDirectory(0, root);
    for (const Type& t : types) {
      std::vector<Entry> names;
      for (const Name& n : t.names) names.push_back({IdField(n.id, n.string), Sub(n.directory)});
      WriteDirectory(t.directory, names);
      for (const Name& n : t.names) {
        std::vector<Entry> languages;
        for (const Language& l : n.languages) {
          languages.push_back({l.id, static_cast<uint32_t>(l.entry)});
          Put32(kSection + l.entry, static_cast<uint32_t>(kRva + l.data));
          Put32(kSection + l.entry + 4, static_cast<uint32_t>(l.size));
          for (size_t k = 0; k < l.size; ++k) {
            file_[kSection + l.data + k] = static_cast<uint8_t>(l.data + k);
          }
        }
        WriteDirectory(n.directory, languages);
      }
      WriteString(t.id, t.string);
      for (const Name& n : t.names) WriteString(n.id, n.string);
    }
    return file_;
  }

 private:
  struct Entry {
    uint32_t name, data;
  };
  static size_t Directory(size_t count) { return 16 + 8 * count; }
  static uint32_t Sub(size_t offset) { return 0x80000000u | static_cast<uint32_t>(offset); }
  static uint32_t IdField(const PlannedId& id, size_t string) {
    return id.id.IsNumber() ? id.id.number : Sub(string);
  }
  void Put16(size_t at, uint32_t v) {
    file_[at] = static_cast<uint8_t>(v);
    file_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  void Put32(size_t at, uint32_t v) {
    Put16(at, v & 0xFFFF);
    Put16(at + 2, v >> 16);
  }
  // Named entries come first in a directory, as the resource compiler writes them.
  void WriteDirectory(size_t at, const std::vector<Entry>& entries) {
    const auto named = std::count_if(entries.begin(), entries.end(),
                                     [](const Entry& e) { return (e.name & 0x80000000u) != 0; });
    Put16(kSection + at + 12, static_cast<uint32_t>(named));
    Put16(kSection + at + 14, static_cast<uint32_t>(entries.size() - named));
    for (size_t i = 0; i < entries.size(); ++i) {
      Put32(kSection + at + 16 + 8 * i, entries[i].name);
      Put32(kSection + at + 20 + 8 * i, entries[i].data);
    }
  }
  void WriteString(const PlannedId& id, size_t at) {
    if (id.id.IsNumber()) return;
    Put16(kSection + at, static_cast<uint32_t>(id.utf16.size()));
    for (size_t k = 0; k < id.utf16.size(); ++k) Put16(kSection + at + 2 + 2 * k, id.utf16[k]);
  }

  std::vector<uint8_t> file_;
};

// Named ids before numbered ones, so that the planned order is the order in the file.
template <typename T>
void NamedFirst(std::vector<T>& items) {
  std::stable_partition(items.begin(), items.end(),
                        [](const T& item) { return !item.id.id.IsNumber(); });
}

std::string FlipCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

void CheckPlannedTree(Bytes plan) {
  Reader reader(plan);
  std::vector<Type> types(1 + reader.Next() % 3);
  for (size_t ti = 0; ti < types.size(); ++ti) {
    types[ti].id = PlanId(reader, ti);
    types[ti].names.resize(1 + reader.Next() % 3);
    for (size_t ni = 0; ni < types[ti].names.size(); ++ni) {
      Name& name = types[ti].names[ni];
      name.id = PlanId(reader, ni);
      name.languages.resize(1 + reader.Next() % 2);
      for (size_t li = 0; li < name.languages.size(); ++li) {
        name.languages[li].id = static_cast<uint16_t>(li * 1024 + reader.Next());
        name.languages[li].size = reader.Next() % 48;  // empty resources too
      }
    }
    NamedFirst(types[ti].names);
  }
  NamedFirst(types);
  const std::vector<uint8_t> built = Builder().Build(types);
  const Bytes file(built);

  std::vector<PeResource> expected;
  for (const Type& t : types) {
    for (const Name& n : t.names) {
      for (const Language& l : n.languages) {
        expected.push_back({t.id.id, n.id.id, l.id, Builder::kSection + l.data, l.size});
      }
    }
  }
  const std::vector<PeResource> listed = ListPeResources(file);
  if (listed.size() != expected.size()) {
    std::fprintf(stderr, "listed %zu resources of %zu\n", listed.size(), expected.size());
    std::abort();
  }
  for (size_t i = 0; i < listed.size(); ++i) {
    const PeResource& got = listed[i];
    const PeResource& want = expected[i];
    if (!(got.type == want.type) || !(got.name == want.name) || got.language != want.language ||
        got.offset != want.offset || got.size != want.size) {
      Fail("listed", got);
    }
  }
  for (const Type& t : types) {
    for (const Name& n : t.names) {
      const Language& first = n.languages.front();
      const PeResource want{t.id.id, n.id.id, first.id, Builder::kSection + first.data, first.size};
      for (const std::string& query : {n.id.id.ToString(), FlipCase(n.id.id.ToString())}) {
        const ResourceId type =
            t.id.id.IsNumber() ? t.id.id : ResourceId::Text(FlipCase(t.id.id.text));
        const auto found = FindPeResource(file, type, query);
        if (!found || found->data() != file.data() + want.offset || found->size() != want.size) {
          Fail("not found as listed", want);
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(data, size);
  CheckHostileFile(bytes);
  CheckPlannedTree(bytes);
  return 0;
}

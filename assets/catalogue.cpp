#include "assets/catalogue.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "platform/graphics/card_names.h"

namespace trilane::assets {
namespace {

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
    if (j > i) words.emplace_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

std::optional<int> ParseInt(std::string_view s) {
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// "a..b" with a <= b.
std::optional<std::pair<int, int>> ParseRange(std::string_view s) {
  const size_t dots = s.find("..");
  if (dots == std::string_view::npos) return std::nullopt;
  auto a = ParseInt(s.substr(0, dots));
  auto b = ParseInt(s.substr(dots + 2));
  if (!a || !b || *a > *b) return std::nullopt;
  return std::make_pair(*a, *b);
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

const char* const kCourtRanks[] = {"2J", "3Q", "4K"};

void AddFaces(Catalogue& cat, const std::string& module, int first, int last) {
  std::vector<std::string> done;
  auto add = [&](const std::string& name, const std::string& type, const std::string& format, int w,
                 int h, const std::string& kind, std::vector<std::string> args) {
    if (std::find(done.begin(), done.end(), UpperAscii(name)) != done.end()) return;
    done.push_back(UpperAscii(name));
    cat.assets.push_back({module, type, name, format, w, h, kind, std::move(args)});
  };
  for (int d = first; d <= last; ++d) {
    const std::string own = FaceSuffix(d);
    const int bigW = IsNarrowDesign(d) ? 126 : 146;
    // The built-in small set is plain bitmaps; every other small picture is a PNG.
    const bool builtIn = d == 0;
    for (const std::string& code : FaceCodes()) {
      const std::string rank = code.substr(2);
      const bool court = rank == "2J" || rank == "3Q" || rank == "4K";
      const std::string suffix = court ? own : rank == "5A" ? AceSuffix(d) : NumberSuffix(d);
      // A borrowed suffix is drawn by the design that owns it.
      if (suffix != own) continue;
      const std::string ds = std::to_string(d);
      add(code + suffix, builtIn ? "BITMAP" : "RCDATA", builtIn ? "dib" : "png", 69, 94, "face",
          {ds, code});
      add(code + suffix + "B", "RCDATA", "png", bigW, 198, "face", {ds, code});
    }
    if (NumberSuffix(d) == own) {
      for (const char* symbol : kSuitSymbolNames) {
        const std::string ds = std::to_string(d);
        add(symbol + own, builtIn ? "BITMAP" : "RCDATA", builtIn ? "dib" : "png", 20, 20,
            "suitsymbol", {ds, symbol});
        add(symbol + own + "B", "RCDATA", "png", 40, 40, "suitsymbol", {ds, symbol});
      }
    }
  }
}

void AddBacks(Catalogue& cat, const std::string& module, int first, int last,
              std::string_view sizes) {
  for (int b = first; b <= last; ++b) {
    for (const std::string& back : BackNames(b)) {
      const std::string base = back + BackSuffix(b);
      const std::string bs = std::to_string(b);
      for (char size : sizes) {
        if (size == 's') {
          const bool builtIn = b == 0;
          cat.assets.push_back({module,
                                builtIn ? "BITMAP" : "RCDATA",
                                base,
                                builtIn ? "dib" : "png",
                                69,
                                94,
                                "back",
                                {bs, back}});
        } else if (size == 'B') {
          cat.assets.push_back({module, "RCDATA", base + "B", "png", 146, 198, "back", {bs, back}});
        } else if (size == 'U') {
          cat.assets.push_back({module, "RCDATA", base + "U", "png", 126, 198, "back", {bs, back}});
        }
      }
    }
  }
}

void AddBackgrounds(Catalogue& cat, const std::string& module) {
  for (int p = 1; p <= 10; ++p) {
    for (const char* colour : kBackgroundColours) {
      if (p == 2 && std::string_view(colour) == "Gr") continue;  // "FonG", built in
      const std::string name = "Fon" + TwoDigits(p) + colour;
      cat.assets.push_back(
          {module, "JPEG", name, "jpeg", 760, 500, "background", {std::to_string(p), colour}});
      cat.assets.push_back({module,
                            "JPEG",
                            name + "B",
                            "jpeg",
                            1520,
                            1000,
                            "background",
                            {std::to_string(p), colour}});
    }
  }
}

void AddVoices(Catalogue& cat, const std::string& module) {
  for (int lang = 0; lang < 10; ++lang) {
    for (const std::string& code : FaceCodes()) {
      cat.assets.push_back({module,
                            "WAVE",
                            code + "Voice" + kVoiceLanguages[lang],
                            "wav",
                            0,
                            0,
                            "voice",
                            {std::to_string(lang), code}});
    }
  }
}

}  // namespace

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string AssetPath(const Asset& asset) {
  return asset.type + "/" + UpperAscii(asset.name);
}

std::vector<const Asset*> Catalogue::OfModule(std::string_view module) const {
  std::vector<const Asset*> out;
  for (const Asset& a : assets) {
    if (a.module == module) out.push_back(&a);
  }
  return out;
}

std::vector<std::string> Catalogue::Modules() const {
  std::vector<std::string> out;
  for (const Asset& a : assets) {
    if (std::find(out.begin(), out.end(), a.module) == out.end()) out.push_back(a.module);
  }
  return out;
}

std::optional<std::vector<Expansion>> ExpandPattern(std::string_view pattern) {
  std::vector<Expansion> out = {{"", {}}};
  size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == '}') return std::nullopt;
    if (pattern[i] != '{') {
      const size_t j = std::min(pattern.find_first_of("{}", i), pattern.size());
      for (Expansion& e : out) e.name.append(pattern.substr(i, j - i));
      i = j;
      continue;
    }
    const size_t close = pattern.find('}', i);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view body = pattern.substr(i + 1, close - i - 1);
    if (body.find('{') != std::string_view::npos) return std::nullopt;
    std::vector<std::string> alternatives;
    if (auto range = ParseRange(body)) {
      const size_t width = body.find("..");
      for (int v = range->first; v <= range->second; ++v) {
        std::string s = std::to_string(v);
        while (s.size() < width) s.insert(s.begin(), '0');
        alternatives.push_back(s);
      }
    } else {
      size_t a = 0;
      while (true) {
        const size_t comma = body.find(',', a);
        alternatives.emplace_back(
            body.substr(a, comma == std::string_view::npos ? std::string_view::npos : comma - a));
        if (comma == std::string_view::npos) break;
        a = comma + 1;
      }
    }
    std::vector<Expansion> next;
    for (const Expansion& e : out) {
      for (const std::string& alt : alternatives) {
        Expansion n = e;
        n.name += alt;
        n.choices.push_back(alt);
        next.push_back(std::move(n));
      }
    }
    out = std::move(next);
    i = close + 1;
  }
  return out;
}

std::optional<Catalogue> ParseCatalogue(std::string_view text, std::string* error) {
  Catalogue cat;
  int lineNo = 0;
  size_t pos = 0;
  auto fail = [&](const std::string& why) -> std::optional<Catalogue> {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return std::nullopt;
  };
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string> w = SplitWords(line);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0][0] == '@') {
      if (w.size() < 2) return fail("directive without a module");
      const std::string& module = w[1];
      if (w[0] == "@faces" || w[0] == "@backs") {
        if (w.size() < 3) return fail("missing design range");
        auto range = ParseRange(w[2]);
        const int limit = w[0] == "@faces" ? kFaceDesigns : kBackDesigns;
        if (!range || range->first < 0 || range->second >= limit) return fail("bad design range");
        if (w[0] == "@faces") {
          AddFaces(cat, module, range->first, range->second);
        } else {
          if (w.size() < 4) return fail("missing back sizes");
          if (w[3].find_first_not_of("sBU") != std::string::npos) return fail("bad back sizes");
          AddBacks(cat, module, range->first, range->second, w[3]);
        }
      } else if (w[0] == "@backgrounds") {
        AddBackgrounds(cat, module);
      } else if (w[0] == "@voices") {
        AddVoices(cat, module);
      } else {
        return fail("unknown directive " + w[0]);
      }
      continue;
    }
    if (w.size() < 6) return fail("expected module, type, name, format, size and kind");
    static const char* const kFormats[] = {"png", "dib", "jpeg", "gif", "wav", "mid"};
    if (std::find(std::begin(kFormats), std::end(kFormats), w[3]) == std::end(kFormats)) {
      return fail("unknown format " + w[3]);
    }
    int width = 0, height = 0;
    if (w[4] != "-") {
      const size_t x = w[4].find('x');
      auto pw = x == std::string::npos ? std::nullopt : ParseInt(w[4].substr(0, x));
      auto ph = x == std::string::npos ? std::nullopt : ParseInt(w[4].substr(x + 1));
      if (!pw || !ph || *pw <= 0 || *ph <= 0) return fail("bad size " + w[4]);
      width = *pw;
      height = *ph;
    }
    auto names = ExpandPattern(w[2]);
    if (!names) return fail("bad name pattern " + w[2]);
    for (Expansion& e : *names) {
      Asset a{w[0], UpperAscii(w[1]), e.name, w[3], width, height, w[5], e.choices};
      a.args.insert(a.args.end(), w.begin() + 6, w.end());
      cat.assets.push_back(std::move(a));
    }
  }
  // One name per type and module: a duplicate would silently shadow another picture.
  std::vector<std::string> seen;
  for (const Asset& a : cat.assets) seen.push_back(a.module + "/" + AssetPath(a));
  std::sort(seen.begin(), seen.end());
  auto dup = std::adjacent_find(seen.begin(), seen.end());
  if (dup != seen.end()) {
    lineNo = 0;
    return fail("duplicate resource " + *dup);
  }
  return cat;
}

// ---- card naming rules --------------------------------------------------------------------

const std::vector<std::string>& FaceCodes() {
  static const std::vector<std::string> codes = [] {
    static const char* const kRanks[] = {"02", "03", "04", "05", "06", "07", "08",
                                         "09", "10", "2J", "3Q", "4K", "5A"};
    std::vector<std::string> v;
    for (const char* suit : kSuitPrefixes) {
      for (const char* rank : kRanks) v.push_back(std::string(suit) + rank);
    }
    return v;
  }();
  return codes;
}

// The names follow the same rules the program reads them by (platform/graphics/card_names),
// so what is drawn and what is looked up cannot drift apart.
std::string FaceSuffix(int design) { return std::string(trilane::FaceDesignSuffix(design)); }

std::string NumberSuffix(int design) { return std::string(trilane::NumberCardSuffix(design)); }

std::string AceSuffix(int design) { return std::string(trilane::AceSuffix(design)); }

bool IsNarrowDesign(int design) {
  return design >= 0 && design < kFaceDesigns && !trilane::IsWideDesign(design);
}

int DesignOfSuffix(const std::string& suffix, int first, int last) {
  for (int d = first; d <= last; ++d) {
    if (FaceSuffix(d) == suffix) return d;
  }
  return -1;
}

std::string BackSuffix(int backDesign) {
  return std::string(trilane::BackDesignSuffix(backDesign));
}

bool IsBackCollection(int backDesign) {
  return backDesign >= 8 && backDesign <= 11;
}

std::vector<std::string> BackNames(int backDesign) {
  std::vector<std::string> v = {"Ob01Mo", "Ob02Tu", "Ob03We", "Ob04Th",
                                "Ob05Fr", "Ob06Su", "Ob07Su"};
  if (IsBackCollection(backDesign)) {
    v.insert(v.end(), {"Ob08XX", "Ob09XX", "Ob10XX"});
  }
  return v;
}

}  // namespace trilane::assets

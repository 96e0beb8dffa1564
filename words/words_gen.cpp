// words_gen: turns the words files of this folder into one constant table (a C++ source).
//
//   words_gen <folder with the .tsv files and word_entries.h> <output .cpp>
//
// Inputs:
//   languages.tsv    index, code, English name, name in the language list, picture suffix
//   <code>.tsv       one file per language: "<entry><TAB><text>" and "@<title><TAB><text>"
//   word_entries.h   the named constants kWord... = <entry>;
//   countries.tsv    continent, row, English name, short name, Russian name
//
// Any malformed line, duplicate entry, unknown entry or constant without text stops the build
// with "file:line: reason". A language whose file does not exist yet falls back to the
// English texts as a whole and is marked untranslated, so the program builds while a
// translation is on its way; a file that exists but lacks entries keeps those slots empty,
// and the words tests name every gap.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"

namespace {

constexpr int kLanguageCount = 10;
constexpr int kContinentCount = 6;
constexpr int kEntryLimit = 1400;  // entry numbers are 0 .. kEntryLimit - 1
constexpr std::array<std::string_view, 4> kTitleKeys = {"product", "short", "author", "date"};

[[noreturn]] void Fail(const std::string& where, int line, const std::string& why) {
  if (line > 0) {
    std::fprintf(stderr, "%s:%d: error: %s\n", where.c_str(), line, why.c_str());
  } else {
    std::fprintf(stderr, "%s: error: %s\n", where.c_str(), why.c_str());
  }
  std::exit(1);
}

struct Line {
  int number;
  std::string text;
};

// The lines of a text file without their line ends; comments and blank lines are dropped.
std::vector<Line> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path.string(), 0, "cannot open the file");
  std::vector<Line> lines;
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (number == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // byte-order mark
    if (text.empty() || text[0] == '#') continue;
    lines.push_back({number, text});
  }
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = text.find('\t', start);
    fields.push_back(
        text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

std::optional<int> ParseNumber(std::string_view s) {
  if (s.empty() || s.size() > 6) return std::nullopt;
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Undoes the escapes \n \r \t \\ of a text field.
std::string Unescape(const std::string& where, int line, const std::string& raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out += raw[i];
      continue;
    }
    if (i + 1 == raw.size()) Fail(where, line, "a backslash ends the text (write \\\\ for one)");
    switch (raw[++i]) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        Fail(where, line, std::string("unknown escape \\") + raw[i] + " (only \\n \\r \\t \\\\)");
    }
  }
  if (!trilane::IsValidUtf8(out)) Fail(where, line, "the text is not valid UTF-8");
  return out;
}

// A C++ string literal; bytes outside printable ASCII become three-digit octal escapes,
// which cannot swallow the character that follows them.
std::string Literal(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c == '?') {
      out += "\\?";  // no trigraph can form
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

// A std::string_view initializer with its length spelled out, so the table is constant
// data (no strlen, no start-up code).
std::string View(std::string_view s) {
  return "{" + Literal(s) + ", " + std::to_string(s.size()) + "}";
}

struct Language {
  std::string code, englishName, listName, suffix;
  std::array<std::string, 4> titles;
  bool translated = false;
};

std::vector<Language> ReadLanguages(const std::filesystem::path& dir) {
  const auto path = dir / "languages.tsv";
  std::vector<Language> languages;
  for (const Line& line : ReadLines(path)) {
    const auto fields = SplitTabs(line.text);
    if (fields.size() != 5) {
      Fail(path.string(), line.number, "expected 5 fields: index, code, name, list name, suffix");
    }
    const auto index = ParseNumber(fields[0]);
    if (!index || *index != static_cast<int>(languages.size())) {
      Fail(path.string(), line.number, "languages must be listed in index order from 0");
    }
    for (size_t k = 1; k < 5; ++k) {
      if (fields[k].empty()) Fail(path.string(), line.number, "empty field");
      if (!trilane::IsValidUtf8(fields[k])) Fail(path.string(), line.number, "not valid UTF-8");
    }
    languages.push_back({fields[1], fields[2], fields[3], fields[4], {}, false});
  }
  if (languages.size() != kLanguageCount) {
    Fail(path.string(), 0, "expected " + std::to_string(kLanguageCount) + " languages");
  }
  return languages;
}

using Texts = std::map<int, std::string>;

struct WordsFile {
  Texts texts;
  std::map<int, int> lineOf;  // entry -> line, for messages
  std::array<std::optional<std::string>, 4> titles;
};

WordsFile ReadWordsFile(const std::filesystem::path& path) {
  WordsFile file;
  const std::string where = path.string();
  for (const Line& line : ReadLines(path)) {
    const size_t tab = line.text.find('\t');
    if (tab == std::string::npos) {
      Fail(where, line.number, "expected <entry><TAB><text>, found no tab");
    }
    const std::string key = line.text.substr(0, tab);
    std::string text = Unescape(where, line.number, line.text.substr(tab + 1));
    if (!key.empty() && key[0] == '@') {
      size_t k = 0;
      while (k < kTitleKeys.size() && kTitleKeys[k] != std::string_view(key).substr(1)) ++k;
      if (k == kTitleKeys.size()) {
        Fail(where, line.number, "unknown title '" + key + "' (@product @short @author @date)");
      }
      if (file.titles[k]) Fail(where, line.number, "title '" + key + "' given twice");
      if (text.empty()) Fail(where, line.number, "title '" + key + "' is empty");
      file.titles[k] = std::move(text);
      continue;
    }
    const auto entry = ParseNumber(key);
    if (!entry) Fail(where, line.number, "the entry number '" + key + "' is not a number");
    if (*entry >= kEntryLimit) {
      Fail(where, line.number,
           "entry " + key + " is out of range (0.." + std::to_string(kEntryLimit - 1) + ")");
    }
    if (const auto it = file.lineOf.find(*entry); it != file.lineOf.end()) {
      Fail(where, line.number,
           "duplicate entry " + key + " (first on line " + std::to_string(it->second) + ")");
    }
    file.lineOf[*entry] = line.number;
    file.texts[*entry] = std::move(text);
  }
  return file;
}

// "inline constexpr int kWordName = 123;" lines of word_entries.h.
std::map<int, std::string> ReadConstants(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path.string(), 0, "cannot open the file");
  std::map<int, std::string> byEntry;
  std::map<std::string, int> byName;
  std::string text;
  int number = 0;
  constexpr std::string_view kPrefix = "inline constexpr int kWord";
  while (std::getline(in, text)) {
    ++number;
    const size_t at = text.find(kPrefix);
    if (at == std::string::npos) continue;
    std::istringstream rest(text.substr(at + kPrefix.size() - 5));
    std::string name, equals, value;
    rest >> name >> equals >> value;
    if (equals != "=" || value.empty() || value.back() != ';') {
      Fail(path.string(), number, "expected 'inline constexpr int kWordName = <entry>;'");
    }
    value.pop_back();
    const auto entry = ParseNumber(value);
    if (!entry || *entry >= kEntryLimit) Fail(path.string(), number, "bad entry number");
    if (byName.count(name)) Fail(path.string(), number, "constant " + name + " defined twice");
    if (const auto it = byEntry.find(*entry); it != byEntry.end()) {
      Fail(path.string(), number, "entry " + value + " already named " + it->second);
    }
    byName[name] = *entry;
    byEntry[*entry] = name;
  }
  return byEntry;
}

struct Country {
  std::string english, shortName, russian;
};

std::array<std::vector<Country>, kContinentCount> ReadCountries(const std::filesystem::path& dir) {
  const auto path = dir / "countries.tsv";
  std::array<std::vector<Country>, kContinentCount> continents;
  for (const Line& line : ReadLines(path)) {
    const auto fields = SplitTabs(line.text);
    if (fields.size() != 5) {
      Fail(path.string(), line.number,
           "expected 5 fields: continent, row, English name, short name, Russian name");
    }
    const auto continent = ParseNumber(fields[0]);
    const auto row = ParseNumber(fields[1]);
    if (!continent || *continent < 1 || *continent > kContinentCount) {
      Fail(path.string(), line.number, "the continent must be 1..6");
    }
    auto& rows = continents[*continent - 1];
    if (!row || *row != static_cast<int>(rows.size())) {
      Fail(path.string(), line.number,
           "rows of a continent must follow each other from 0 (expected " +
               std::to_string(rows.size()) + ")");
    }
    if (fields[2].empty() || fields[4].empty()) {
      Fail(path.string(), line.number, "the English and Russian names must not be empty");
    }
    for (const auto& f : fields) {
      if (!trilane::IsValidUtf8(f)) Fail(path.string(), line.number, "not valid UTF-8");
    }
    rows.push_back({fields[2], fields[3], fields[4]});
  }
  for (int c = 0; c < kContinentCount; ++c) {
    if (continents[c].empty()) {
      Fail(path.string(), 0, "continent " + std::to_string(c + 1) + " has no rows");
    }
  }
  return continents;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: words_gen <words folder> <output.cpp>\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  auto languages = ReadLanguages(dir);

  std::array<Texts, kLanguageCount> texts;
  const auto englishPath = dir / (languages[0].code + ".tsv");
  const WordsFile english = ReadWordsFile(englishPath);
  for (size_t k = 0; k < kTitleKeys.size(); ++k) {
    if (!english.titles[k]) {
      Fail(englishPath.string(), 0, "missing title @" + std::string(kTitleKeys[k]));
    }
  }
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    Language& language = languages[lang];
    const auto path = dir / (language.code + ".tsv");
    if (lang > 0 && !std::filesystem::exists(path)) {
      texts[lang] = english.texts;
      for (size_t k = 0; k < kTitleKeys.size(); ++k) language.titles[k] = *english.titles[k];
      continue;
    }
    const WordsFile file = lang == 0 ? english : ReadWordsFile(path);
    for (const auto& [entry, line] : file.lineOf) {
      if (!english.texts.count(entry)) {
        Fail(path.string(), line,
             "entry " + std::to_string(entry) + " is not in " + englishPath.filename().string());
      }
    }
    texts[lang] = file.texts;
    language.translated = true;
    // A title a translation leaves out is the English one (they are mostly names).
    for (size_t k = 0; k < kTitleKeys.size(); ++k) {
      language.titles[k] = file.titles[k] ? *file.titles[k] : *english.titles[k];
    }
  }

  const auto constantsPath = dir / "word_entries.h";
  const auto constants = ReadConstants(constantsPath);
  for (const auto& [entry, name] : constants) {
    if (!english.texts.count(entry)) {
      Fail(constantsPath.string(), 0,
           name + " = " + std::to_string(entry) + " has no text in " +
               englishPath.filename().string());
    }
  }
  for (const auto& [entry, line] : english.lineOf) {
    if (!constants.count(entry)) {
      Fail(englishPath.string(), line,
           "entry " + std::to_string(entry) + " has no named constant in word_entries.h");
    }
    if (english.texts.at(entry).empty()) {
      Fail(englishPath.string(), line, "the English text is empty");
    }
  }

  const auto countries = ReadCountries(dir);

  std::ostringstream out;
  out << "// Generated by words_gen from the words files. Do not edit: edit the .tsv files.\n"
      << "#include \"words/words_data.h\"\n\n"
      << "namespace trilane::words_data {\n\n"
      << "static_assert(kEntryLimit == " << kEntryLimit << ");\n\n";

  out << "constinit const LanguageInfo kLanguageRecords[kLanguageCount] = {\n";
  for (const Language& l : languages) {
    out << "    {" << View(l.code) << ", " << View(l.englishName) << ", " << View(l.listName)
        << ", " << View(l.suffix);
    for (const auto& t : l.titles) out << ", " << View(t);
    out << ", " << (l.translated ? "true" : "false") << "},\n";
  }
  out << "};\n\n";

  out << "constinit const EntryRecord kEntryRecords[] = {\n";
  std::vector<int> recordOf(kEntryLimit, -1);
  int record = 0;
  for (const auto& [entry, text] : english.texts) {
    recordOf[entry] = record++;
    out << "    {" << entry << ", {";
    for (int lang = 0; lang < kLanguageCount; ++lang) {
      const auto it = texts[lang].find(entry);
      out << (lang ? ", " : "") << View(it == texts[lang].end() ? "" : it->second);
    }
    out << "}},\n";
  }
  out << "};\n\nconstinit const int kEntryRecordCount = " << record << ";\n\n";

  out << "constinit const int kCarriedEntries[] = {";
  int column = 0;
  for (const auto& entry : english.texts) {
    out << (column++ % 16 == 0 ? "\n    " : " ") << entry.first << ",";
  }
  out << "\n};\n\n";

  out << "constinit const int16_t kRecordOfEntry[kEntryLimit] = {";
  for (int entry = 0; entry < kEntryLimit; ++entry) {
    out << (entry % 20 == 0 ? "\n    " : " ") << recordOf[entry] << ",";
  }
  out << "\n};\n\n";

  for (int c = 0; c < kContinentCount; ++c) {
    out << "static constinit const Country kContinent" << c + 1 << "[] = {\n";
    for (const Country& row : countries[c]) {
      out << "    {" << View(row.english) << ", " << View(row.shortName) << ", "
          << View(row.russian) << "},\n";
    }
    out << "};\n\n";
  }
  out << "constinit const std::span<const Country> kContinents[kContinentCount] = {";
  for (int c = 0; c < kContinentCount; ++c) out << (c ? ", " : "") << "kContinent" << c + 1;
  out << "};\n\n}  // namespace trilane::words_data\n";

  const std::filesystem::path outPath = argv[2];
  const std::string generated = out.str();
  std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
  file << generated;
  if (!file.flush()) Fail(outPath.string(), 0, "cannot write the file");
  return 0;
}

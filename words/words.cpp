#include "words/words.h"

#include <atomic>

#include "base/codepage.h"
#include "words/words_data.h"

namespace trilane {
namespace {

std::atomic<int> currentLanguage{kEnglish};

bool IsLanguage(int language) {
  return language >= 0 && language < kLanguageCount;
}

const LanguageInfo& Current() {
  return words_data::kLanguageRecords[LanguageIndex()];
}

}  // namespace

std::span<const LanguageInfo, kLanguageCount> Languages() {
  return std::span<const LanguageInfo, kLanguageCount>(words_data::kLanguageRecords);
}

int LanguageIndex() {
  return currentLanguage.load(std::memory_order_relaxed);
}

void SetLanguageIndex(int index) {
  currentLanguage.store(IsLanguage(index) ? index : kEnglish, std::memory_order_relaxed);
}

std::string_view WordIn(int entry, int language) {
  if (entry < 0 || entry >= words_data::kEntryLimit || !IsLanguage(language)) return {};
  const int record = words_data::kRecordOfEntry[entry];
  if (record < 0) return {};
  return words_data::kEntryRecords[record].text[language];
}

std::string_view Word(int entry) {
  return WordIn(entry, LanguageIndex());
}

std::string_view WordRowIn(int entry, int row, int language) {
  if (row == 0) return WordIn(entry, language);
  if (entry == kWordMembersHeader && row == 1) return WordIn(kWordMembersHeaderRating, language);
  return {};
}

std::string_view WordRow(int entry, int row) {
  return WordRowIn(entry, row, LanguageIndex());
}

bool IsCarried(int entry) {
  return entry >= 0 && entry < words_data::kEntryLimit && words_data::kRecordOfEntry[entry] >= 0;
}

std::span<const int> CarriedEntries() {
  return std::span<const int>(words_data::kCarriedEntries,
                              static_cast<size_t>(words_data::kEntryRecordCount));
}

std::string_view PictureSuffix() {
  return Current().pictureSuffix;
}
std::string_view ProductTitle() {
  return Current().productTitle;
}
std::string_view ShortTitle() {
  return Current().shortTitle;
}
std::string_view AuthorLine() {
  return Current().authorLine;
}
std::string_view ReleaseDate() {
  return Current().releaseDate;
}

std::string FillWord(std::string_view text, std::initializer_list<WordValue> values) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('{', pos);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const WordValue* match = nullptr;
    for (const WordValue& v : values) {
      if (v.name == name) match = &v;
    }
    // An unknown name keeps its opening brace and is looked at again from the next
    // character, so that "{{nick}" still finds "{nick}".
    const size_t upTo = match ? close + 1 : open + 1;
    out.append(text.substr(pos, open - pos));
    if (match) {
      out.append(match->value);
    } else {
      out.push_back('{');
    }
    pos = upTo;
  }
  out.append(text.substr(pos));
  return out;
}

int DisplayColumns(std::string_view utf8) {
  // Ranges of the East Asian Width classes W and F that the ten languages can contain.
  static constexpr char32_t kWide[][2] = {
      {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF},   {0x3400, 0x4DBF},  {0x4E00, 0x9FFF},
      {0xA000, 0xA4CF}, {0xA960, 0xA97F}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},  {0xFE30, 0xFE4F},
      {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD}};
  int columns = 0;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto scalar = DecodeUtf8(utf8, pos);
    if (!scalar) {
      ++pos;
      ++columns;
      continue;
    }
    const char32_t c = *scalar;
    if ((c >= 0x0300 && c <= 0x036F) || c == 0x200B || (c >= 0xFE00 && c <= 0xFE0F)) continue;
    bool wide = false;
    for (const auto& range : kWide) wide = wide || (c >= range[0] && c <= range[1]);
    columns += wide ? 2 : 1;
  }
  return columns;
}

std::span<const Country> CountryTable(int continent) {
  if (continent < 1 || continent > kContinentCount) return {};
  return words_data::kContinents[continent - 1];
}

const Country* FindCountry(int continent, int row) {
  const auto table = CountryTable(continent);
  if (row < 0 || static_cast<size_t>(row) >= table.size()) return nullptr;
  return &table[static_cast<size_t>(row)];
}

const Country* CountryByCode(std::string_view code) {
  if (code.size() != 5 || code[1] != '-') return nullptr;
  for (size_t i : {0, 2, 3, 4}) {
    if (code[i] < '0' || code[i] > '9') return nullptr;
  }
  const int row = (code[2] - '0') * 100 + (code[3] - '0') * 10 + (code[4] - '0');
  return FindCountry(code[0] - '0', row);
}

std::string_view CountryName(const Country& country, int language) {
  return language == kRussian ? country.russianName : country.englishName;
}

}  // namespace trilane

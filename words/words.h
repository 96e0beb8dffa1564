#pragma once
// The words tables: every text the program shows, in ten languages, compiled in from the
// .tsv files of this folder. Texts are UTF-8; Qt code converts them with QString::fromUtf8.
//
// The current language is one global index. Switching it is one call to SetLanguageIndex;
// every later Word call follows it. The program has one window thread; the index is atomic
// only so that a stray reader on another thread never sees a torn value.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "words/word_entries.h"

namespace trilane {

inline constexpr int kLanguageCount = 10;
inline constexpr int kContinentCount = 6;

// Language indexes as the settings file stores them.
inline constexpr int kEnglish = 0;
inline constexpr int kRussian = 1;
inline constexpr int kGerman = 2;
inline constexpr int kFrench = 3;
inline constexpr int kSpanish = 4;
inline constexpr int kChinese = 5;
inline constexpr int kItalian = 6;
inline constexpr int kCzech = 7;
inline constexpr int kJapanese = 8;
inline constexpr int kKorean = 9;

struct LanguageInfo {
  std::string_view code;           // "en": the name of its words file, code.tsv
  std::string_view englishName;    // "English"
  std::string_view listName;       // as the language list shows it: "Русский"
  std::string_view pictureSuffix;  // per-language pictures: "Eng", "Rus"...
  std::string_view productTitle;   // window caption and title screen: "Trilane"
  std::string_view shortTitle;     // "TRILANE"
  std::string_view authorLine;     // the title screen's author line
  std::string_view releaseDate;    // "October 18, 2022"
  bool translated;                 // false while its words file is missing (English stands in)
};

// The ten languages in index order.
std::span<const LanguageInfo, kLanguageCount> Languages();

// The current language, 0..9. SetLanguageIndex with a value outside 0..9 (a damaged
// settings file, say) selects English, and LanguageIndex then reports 0.
int LanguageIndex();
void SetLanguageIndex(int index);

// The text of an entry in the current language. An entry the table does not carry, or a
// language that leaves the entry empty, gives an empty text: never another language's.
std::string_view Word(int entry);
std::string_view WordIn(int entry, int language);

// Entries with more than one row: entry 7, the main-menu column header, has row 0 for the
// modes that count the score and row 1 (kWordMembersHeaderRating) for the rated mode; the
// caller passes MenuMode - 1. Every other entry has row 0 only; other rows are empty.
std::string_view WordRow(int entry, int row);
std::string_view WordRowIn(int entry, int row, int language);

// Whether the table carries the entry, and every carried entry in increasing order.
bool IsCarried(int entry);
std::span<const int> CarriedEntries();

// The small per-language tables, in the current language.
std::string_view PictureSuffix();
std::string_view ProductTitle();
std::string_view ShortTitle();
std::string_view AuthorLine();
std::string_view ReleaseDate();

// A text with named blanks filled in: every "{name}" of `text` whose name is in `values` is
// replaced by its value; any other brace stays as written. Texts whose word order differs
// between languages (a question around a nick and an amount) carry such blanks rather than
// being joined from pieces.
struct WordValue {
  std::string_view name;
  std::string_view value;
};
std::string FillWord(std::string_view text, std::initializer_list<WordValue> values);

// The width of a text in a fixed-pitch font, in columns: East Asian wide and full-width
// characters take two columns, combining marks none, everything else one. Malformed UTF-8
// counts one column per bad byte.
int DisplayColumns(std::string_view utf8);

// Country tables of the six continents. Continents are numbered as in the country code
// "C-RRR": 1 Europe, 2 Asia, 3 North America, 4 South America, 5 Oceania, 6 Africa. Row 0
// of each is "Unknown"; the row number is the flag's picture number in that continent's list.
struct Country {
  std::string_view englishName;
  std::string_view shortName;  // stored in the account record; may be empty (Congo Republic)
  std::string_view russianName;
};

// The rows of a continent 1..6; empty for any other number.
std::span<const Country> CountryTable(int continent);
// The country row of a continent, or nothing (nullptr) when either number is out of range.
const Country* FindCountry(int continent, int row);
// The row named by a country code "C-RRR" (continent digit, "-", three-digit row), as the
// account record and the settings file store it; nullptr for anything else.
const Country* CountryByCode(std::string_view code);
// The name shown in a language: Russian for Russian, English for every other language.
std::string_view CountryName(const Country& country, int language);

}  // namespace trilane

// The words tables: the fixed rows, the language switch, the country tables, the table
// generator's refusal of bad input, and the structure every translation must keep (blanks,
// line breaks, quotation marks, colons, numbers, the menu header's columns).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "words/words.h"

namespace trilane {
namespace {

// Restores English after each test that switches the language.
class WordsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLanguageIndex(kEnglish); }
};

TEST_F(WordsTest, LanguageListNamesEachLanguageInItself) {
  struct Row {
    std::string_view code, listName, suffix;
  };
  constexpr std::array<Row, kLanguageCount> kExpected = {{{"en", "English", "Eng"},
                                                          {"ru", "Русский", "Rus"},
                                                          {"de", "Deutsch", "Deu"},
                                                          {"fr", "Français", "Fra"},
                                                          {"es", "Español", "Spa"},
                                                          {"zh", "中文", "Chi"},
                                                          {"it", "Italiano", "Ita"},
                                                          {"cs", "Čeština", "Cze"},
                                                          {"ja", "日本語", "Eng"},
                                                          {"ko", "한국어", "Eng"}}};
  for (int i = 0; i < kLanguageCount; ++i) {
    EXPECT_EQ(Languages()[i].code, kExpected[i].code) << i;
    EXPECT_EQ(Languages()[i].listName, kExpected[i].listName) << i;
    EXPECT_EQ(Languages()[i].pictureSuffix, kExpected[i].suffix) << i;
    EXPECT_EQ(Languages()[i].productTitle, "Trilane") << i;
    EXPECT_EQ(Languages()[i].shortTitle, "TRILANE") << i;
    EXPECT_FALSE(Languages()[i].authorLine.empty()) << i;
    EXPECT_FALSE(Languages()[i].releaseDate.empty()) << i;
  }
  EXPECT_TRUE(Languages()[kEnglish].translated);
  EXPECT_EQ(Languages()[kEnglish].releaseDate, "October 18, 2022");
}

TEST_F(WordsTest, SwitchingTheLanguageRedirectsEveryLookup) {
  for (int language = kLanguageCount - 1; language >= 0; --language) {
    SetLanguageIndex(language);
    ASSERT_EQ(LanguageIndex(), language);
    for (int entry : CarriedEntries()) {
      ASSERT_EQ(Word(entry), WordIn(entry, language))
          << "language " << language << " entry " << entry;
    }
    EXPECT_EQ(PictureSuffix(), Languages()[language].pictureSuffix);
    EXPECT_EQ(ReleaseDate(), Languages()[language].releaseDate);
    EXPECT_EQ(AuthorLine(), Languages()[language].authorLine);
    EXPECT_EQ(ProductTitle(), Languages()[language].productTitle);
    EXPECT_EQ(ShortTitle(), Languages()[language].shortTitle);
  }
}

TEST_F(WordsTest, IndexOutsideTheTenLanguagesShowsEnglish) {
  for (int index : {-1, 10, 11, 255, -2147483647 - 1}) {
    SetLanguageIndex(kKorean);
    SetLanguageIndex(index);
    EXPECT_EQ(LanguageIndex(), kEnglish) << index;
    EXPECT_EQ(Word(kWordNewPlayer), "New Player") << index;
    EXPECT_EQ(PictureSuffix(), "Eng") << index;
  }
}

TEST_F(WordsTest, EntriesNotCarriedAreEmptyInEveryLanguage) {
  for (int entry : {-1, 1, 8, 30, 1014, 1099, 1199, 1400, 100000}) {
    EXPECT_FALSE(IsCarried(entry)) << entry;
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_EQ(WordIn(entry, language), "") << entry << " " << language;
    }
  }
  EXPECT_EQ(WordIn(kWordNewPlayer, -1), "");
  EXPECT_EQ(WordIn(kWordNewPlayer, kLanguageCount), "");
}

TEST_F(WordsTest, EnglishTextsAsTheGameQuotesThem) {
  // A sample across the table, the mended English texts included: these strings are
  // compared by other code and shown to players exactly so.
  const std::pair<int, std::string_view> kCases[] = {
      {kWordHighCard, "High card"},
      {kWordStraight, "Straight"},
      {kWordOrang, "Orange"},
      {kWordDataWillBeLost, "All your results will be lost!"},
      {kWordInTopTen, "You are in the top ten!"},
      {kWordResultCouldBeBetter, "Your result could be better"},
      {kWordNotInTopTen, "You are not in the top ten..."},
      {kWordPasswordsDiffer, "The passwords do not match!"},
      {kWordWrongPassword, "Incorrect password!"},
      {kWordHasInterruptedGame, "has interrupted the game!"},
      {kWordOneOfPlayers, "One of the players"},
      {kWordWaitingForServer, "Waiting for the server..."},
      {kWordWaitingForPlayers, "Waiting for other players to connect..."},
      {kWordWaitingForGame, "Waiting for the game..."},
      {kWordRoyalFlush, "Royal-Flush"},
      {kWordCleanDragon, "Clean Dragon"},
      {kWordThreeFlushes, "Three Flushes"},
      {kWordMembersHeader, " The members of club    Games    Score "},
      {kWordMembersHeaderRating, " The members of club    Games   Rating "},
      {kWordResultLabel, "Result: "},
      {kWordFileQuoteOpen, "The file \""},
      {kWordFileBadAttributes,
       "\" has incorrect attributes!\n\rThe work of the program will be incorrect!"},
      {kWordFlyCards, "\"Fly\" cards"},
      {kWordNameChanged, "Your name and/or the password were successfully changed!\n\rNew name: "},
      {kWordCantFindFile, "Can`t find the file"},
      {kWordCantSaveHistory, "Cann`t save history!"},
      {kWordHelpNotTranslated,
       "Excuse!\n\rThe file of the help is not translated to the English language."},
      {kWordHistoryPlayer, "Player"},
  };
  for (const auto& [entry, text] : kCases) EXPECT_EQ(WordIn(entry, kEnglish), text) << entry;
}

TEST_F(WordsTest, SecondRowOfTheMenuHeader) {
  SetLanguageIndex(kEnglish);
  EXPECT_EQ(WordRow(kWordMembersHeader, 0), Word(kWordMembersHeader));
  EXPECT_EQ(WordRow(kWordMembersHeader, 1), Word(kWordMembersHeaderRating));
  EXPECT_EQ(WordRow(kWordMembersHeader, 2), "");
  EXPECT_EQ(WordRow(kWordMembersHeader, -1), "");
  EXPECT_EQ(WordRow(kWordNewPlayer, 1), "");
  EXPECT_EQ(WordRow(kWordNewPlayer, 0), "New Player");
}

TEST(DisplayColumns, WideCharactersCountTwo) {
  const std::pair<std::string_view, int> kCases[] = {
      {"", 0},       {"Score", 5},        {"Čeština", 7},         {"Ре\xCC\x81жим", 5},
      {"新玩家", 6}, {"새 플레이어", 11}, {"メニューに戻る", 14}, {"ｱ", 1},
      {"Ｓ", 2},     {"\xFF", 1},         {"a\xE4\xB8", 3},
  };
  for (const auto& [text, columns] : kCases) EXPECT_EQ(DisplayColumns(text), columns) << text;
}

TEST(Countries, SixContinentsWithTheirRows) {
  constexpr std::array<size_t, kContinentCount> kRows = {49, 52, 36, 15, 24, 55};
  for (int continent = 1; continent <= kContinentCount; ++continent) {
    const auto table = CountryTable(continent);
    ASSERT_EQ(table.size(), kRows[continent - 1]) << continent;
    EXPECT_EQ(table[0].englishName, "Unknown");
    EXPECT_EQ(table[0].russianName, "Неизвестная");
    for (size_t row = 0; row < table.size(); ++row) {
      const Country& c = table[row];
      EXPECT_FALSE(c.englishName.empty()) << continent << "-" << row;
      // Every Russian name is written in Cyrillic (the first letter tells a pasted English name).
      EXPECT_TRUE(c.russianName.size() >= 2 &&
                  static_cast<unsigned char>(c.russianName[0]) >= 0xD0 &&
                  static_cast<unsigned char>(c.russianName[0]) <= 0xD3)
          << continent << "-" << row << " " << c.russianName;
      // The short name is one word: it travels in the account record and in web forms.
      EXPECT_EQ(c.shortName.find(' '), std::string_view::npos) << continent << "-" << row;
      EXPECT_LE(c.shortName.size(), 15u) << continent << "-" << row;
    }
  }
  EXPECT_TRUE(CountryTable(0).empty());
  EXPECT_TRUE(CountryTable(7).empty());
}

TEST(Countries, RowsTheAccountCodeRefersTo) {
  struct Case {
    int continent, row;
    std::string_view english, shortName;
  };
  const Case kCases[] = {
      {1, 1, "Russia", "Russia"},
      {1, 7, "Bosnia & Herzegovina", "Bosnia_Herz."},
      {1, 48, "United Kingdom", "United_Kingdom"},
      {2, 48, "United Arab Emirates", "UAE"},
      {3, 34, "USA", "USA"},
      {4, 14, "Venezuela", "Venezuela"},
      {5, 23, "Wallis and Futuna", "Wallis-Futuna"},
      {6, 12, "Congo Republic", ""},
      {6, 24, "Ivory Coast (Cote Divoire)", "Cote_Divoire"},
      {6, 54, "Zimbabwe", "Zimbabwe"},
  };
  for (const Case& c : kCases) {
    const Country* country = FindCountry(c.continent, c.row);
    ASSERT_NE(country, nullptr) << c.continent << "-" << c.row;
    EXPECT_EQ(country->englishName, c.english);
    EXPECT_EQ(country->shortName, c.shortName);
  }
  EXPECT_EQ(CountryName(*FindCountry(1, 1), kRussian), "Россия");
  EXPECT_EQ(CountryName(*FindCountry(1, 1), kGerman), "Russia");
  EXPECT_EQ(FindCountry(1, 49), nullptr);
  EXPECT_EQ(FindCountry(1, -1), nullptr);
  EXPECT_EQ(FindCountry(0, 1), nullptr);
}

TEST(Countries, CodesAsTheAccountStoresThem) {
  EXPECT_EQ(CountryByCode("1-001"), FindCountry(1, 1));
  EXPECT_EQ(CountryByCode("6-054"), FindCountry(6, 54));
  EXPECT_EQ(CountryByCode("3-000"), FindCountry(3, 0));
  for (std::string_view bad : {"1-049", "2-052", "0-001", "7-001", "1-01", "1-0010", "1_001",
                               "1- 01", "a-001", "1-00a", "", "-1-01"}) {
    EXPECT_EQ(CountryByCode(bad), nullptr) << bad;
  }
}

// ---------------------------------------------------------------------------------------
// Every translation, checked against English entry by entry. One named case per language
// and rule, so a slip in a translation names the language, the rule and the entries.

std::string Show(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

size_t Count(std::string_view text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::vector<std::string> DigitRuns(std::string_view text) {
  std::vector<std::string> runs;
  std::string run;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      run += c;
    } else if (!run.empty()) {
      runs.push_back(run);
      run.clear();
    }
  }
  if (!run.empty()) runs.push_back(run);
  return runs;
}

// Entries whose number is a word of the text ("Top 10", "3 Straight Flushes"): a language
// may write it in letters or its own numerals.
TEST(FillWord, NamedBlanksTakeTheirValues) {
  const struct {
    std::string_view text, expected;
  } kCases[] = {
      {"to \"{nick}\": {amount}?", "to \"Bob\": 150?"},
      {"{amount}{amount}", "150150"},
      {"{nick} {other} {}", "Bob {other} {}"},
      {"{{nick}}", "{Bob}"},
      {"{nick", "{nick"},
      {"no blanks", "no blanks"},
      {"", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FillWord(c.text, {{"nick", "Bob"}, {"amount", "150"}}), c.expected) << c.text;
  }
  // A value that looks like a blank is not filled again.
  EXPECT_EQ(FillWord("{nick}, {amount}", {{"nick", "{amount}"}, {"amount", "7"}}), "{amount}, 7");
}

TEST_F(WordsTest, TransferQuestionNamesNickAndAmountInEveryLanguage) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string question =
        FillWord(WordIn(kWordConfirmTransfer, language), {{"nick", "Mr.X"}, {"amount", "250"}});
    EXPECT_NE(question.find("\"Mr.X\""), std::string::npos) << language << " " << question;
    EXPECT_NE(question.find("250"), std::string::npos) << language << " " << question;
    EXPECT_EQ(question.find('{'), std::string::npos) << language << " " << question;
  }
}

// Points a reader of each language raised on the screens.
TEST_F(WordsTest, ReviewedTranslations) {
  const struct {
    int language, entry;
    std::string_view text;
  } kRows[] = {
      // The three rate buttons read "judge the ..." in Japanese, as the front one reads.
      {kJapanese, kWordRateHands, "ハンドを判定"},
      {kJapanese, kWordRateMiddle, "ミドルを判定"},
      {kJapanese, kWordRateBack, "バックを判定"},
      // The names players of these languages give the royal flush.
      {kJapanese, kWordRoyalFlush, "ロイヤルストレートフラッシュ"},
      {kKorean, kWordRoyalFlush, "로열 스트레이트 플러시"},
  };
  for (const auto& row : kRows) EXPECT_EQ(WordIn(row.entry, row.language), row.text) << row.entry;

  // The profile editor's labels name the field only, without "your".
  for (int entry = kWordYourSkype - 6; entry <= kWordYourYouTube; ++entry) {
    EXPECT_EQ(WordIn(entry, kJapanese).find("あなたの"), std::string_view::npos) << entry;
  }

  // One word for the menu in Chinese: 選單. Entry 20 is given as it stands.
  for (int entry : CarriedEntries()) {
    if (entry == kWordExitToMenu) continue;
    EXPECT_EQ(WordIn(entry, kChinese).find("菜單"), std::string_view::npos) << entry;
  }

  // The Russian rate buttons and special combinations are in sentence case: no capital
  // after the first letter. 999 and 1013 are given rows and keep their capitals.
  for (int entry = kWordRateHands; entry <= kWordThreeStraights; ++entry) {
    if (entry == kWordRateFront) continue;
    const std::string_view text = WordIn(entry, kRussian);
    bool first = true;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
      const unsigned char lead = text[i], next = text[i + 1];
      // Cyrillic capitals А..Я are D0 90..D0 AF, Ё is D0 81; Latin capitals are single bytes.
      const bool capital = (lead == 0xD0 && ((next >= 0x90 && next <= 0xAF) || next == 0x81)) ||
                           (lead >= 'A' && lead <= 'Z');
      const bool letter = lead == 0xD0 || lead == 0xD1 || std::isalpha(lead);
      if (capital && !first) ADD_FAILURE() << entry << " " << text;
      if (letter) first = false;
    }
  }
}

TEST_F(WordsTest, TheMenuMessageNamesTheOkButtonAsItIsCaptioned) {
  // "Press OK for exit to the main menu..." sits over the notice's OK button (entry 1101).
  for (int language = 0; language < kLanguageCount; ++language) {
    std::string message(WordIn(kWordPressOkForMenu, language));
    std::string button(WordIn(kWordOk, language));
    for (std::string* s : {&message, &button}) {
      for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(message.find(button), std::string::npos)
        << Languages()[language].code << ": " << message << " / " << button;
  }
}

bool NumberIsAWord(int entry) {
  return entry == kWordThreeStraightFlushes || entry == kWordTop10 ||
         entry == kWordTopTenRatedPlayers;
}

// The columns of a fixed-pitch header row: the display column where each text run
// (separated by two or more blanks) starts and ends.
struct Column {
  int start, end;  // end is one past the last column
};

std::vector<Column> HeaderColumns(std::string_view row) {
  std::vector<Column> columns;
  int col = 0;
  int blanks = 2;
  size_t pos = 0;
  while (pos < row.size()) {
    size_t next = pos + 1;
    while (next < row.size() && (static_cast<unsigned char>(row[next]) & 0xC0) == 0x80) ++next;
    const std::string_view ch = row.substr(pos, next - pos);
    const int width = DisplayColumns(ch);
    if (ch == " ") {
      ++blanks;
    } else {
      if (blanks >= 2) columns.push_back({col, col});
      columns.back().end = col + width;
      blanks = 0;
    }
    col += width;
    pos = next;
  }
  return columns;
}

using Rule = std::function<std::string(int entry, std::string_view english, std::string_view text)>;

struct RuleCase {
  std::string name;
  Rule check;  // an empty result passes; otherwise what is wrong
};

std::string Blanks(int, std::string_view english, std::string_view text) {
  if (english.starts_with(' ') != text.starts_with(' ')) {
    return english.starts_with(' ') ? "lost its leading blank" : "has a leading blank";
  }
  if (english.ends_with(' ') != text.ends_with(' ')) {
    return english.ends_with(' ') ? "lost its trailing blank" : "has a trailing blank";
  }
  return {};
}

std::string LineBreaks(int, std::string_view english, std::string_view text) {
  if (Count(english, "\n\r") != Count(text, "\n\r") || Count(english, "\n") != Count(text, "\n") ||
      Count(english, "\r") != Count(text, "\r")) {
    return "has other line breaks than the English (\\n\\r)";
  }
  return {};
}

std::string Quotes(int, std::string_view english, std::string_view text) {
  const size_t marks = Count(english, "\"");
  if (marks != Count(text, "\"")) return "has another number of \" marks";
  // An unpaired mark belongs to a message joined around a file name (89 "The file \"", 90
  // "\" has incorrect..."): it must stay at its edge. A pair may move with the word order.
  if (marks % 2 == 1) {
    if (english.starts_with('"') != text.starts_with('"'))
      return "must begin with \" as in English";
    if (english.ends_with('"') != text.ends_with('"')) return "must end with \" as in English";
  }
  return {};
}

std::string Colon(int, std::string_view english, std::string_view text) {
  const std::string_view e = TrimTrailingBlanks(english);
  const std::string_view t = TrimTrailingBlanks(text);
  if (e.ends_with(':') && !t.ends_with(':') && !t.ends_with("：")) return "lost its final colon";
  return {};
}

std::string Numbers(int entry, std::string_view english, std::string_view text) {
  if (NumberIsAWord(entry)) return {};
  if (DigitRuns(english) != DigitRuns(text)) return "changed the numbers written in digits";
  if (Count(english, "%") != Count(text, "%")) return "lost the % sign";
  return {};
}

// The names between braces, in order of appearance, sorted: a translation may move a blank
// but must keep each one.
std::vector<std::string_view> BraceNames(std::string_view text) {
  std::vector<std::string_view> names;
  for (size_t open = text.find('{'); open != std::string_view::npos;
       open = text.find('{', open + 1)) {
    const size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    names.push_back(text.substr(open + 1, close - open - 1));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string NamedBlanks(int, std::string_view english, std::string_view text) {
  return BraceNames(english) == BraceNames(text) ? "" : "has other {blanks} than the English";
}

std::string NotEmpty(int, std::string_view, std::string_view text) {
  return text.empty() ? "is empty" : "";
}

class Translation : public ::testing::TestWithParam<int> {
 protected:
  // All ten languages ship with the program: a missing words file means English would
  // stand in for a whole language, which is a fault, not something to pass over.
  void SetUp() override {
    ASSERT_TRUE(Languages()[GetParam()].translated)
        << Languages()[GetParam()].code << ".tsv is missing from the words tables";
  }

  // Runs a rule over every carried entry and reports all offenders at once. Empty texts are
  // the business of NoEntryIsEmpty alone.
  void Expect(const Rule& rule, bool emptyToo = false) {
    const int language = GetParam();
    std::ostringstream failures;
    int count = 0;
    for (int entry : CarriedEntries()) {
      const std::string_view english = WordIn(entry, kEnglish);
      const std::string_view text = WordIn(entry, language);
      if (text.empty() && !emptyToo) continue;
      const std::string why = rule(entry, english, text);
      if (!why.empty()) {
        failures << "\n  entry " << entry << " " << Show(text) << " " << why << " (English "
                 << Show(english) << ")";
        ++count;
      }
    }
    EXPECT_EQ(count, 0) << Languages()[language].code << ".tsv:" << failures.str();
  }
};

TEST_P(Translation, NoEntryIsEmpty) {
  Expect(NotEmpty, true);
}
TEST_P(Translation, KeepsLeadingAndTrailingBlanks) {
  Expect(Blanks);
}
TEST_P(Translation, KeepsLineBreaks) {
  Expect(LineBreaks);
}
TEST_P(Translation, KeepsQuotationMarks) {
  Expect(Quotes);
}
TEST_P(Translation, KeepsFinalColons) {
  Expect(Colon);
}
TEST_P(Translation, KeepsNumbers) {
  Expect(Numbers);
}
TEST_P(Translation, KeepsNamedBlanks) {
  Expect(NamedBlanks);
}

TEST_P(Translation, GivenRowsAreExact) {
  // The rows the game gives in all ten languages, in language order from Russian.
  struct Given {
    int entry;
    std::array<std::string_view, kLanguageCount> text;
  };
  const Given kRows[] = {
      {kWordNewPlayer,
       {"New Player", "Новый Игрок", "Neuer Spieler", "Nouveau joueur", "Nuevo jugador", "新玩家",
        "Nuovo giocatore", "Nový hráč", "新しいプレーヤー", "새 플레이어"}},
      {kWordExitToMenu,
       {"Exit to menu", "Выход в меню", "Zurück ins Menü", "Quitter le menu", "Salir al menú",
        "退出菜單", "Esci dal menu", "Návrat do menu", "メニューに戻る", "메뉴로 나가기"}},
      {kWordRateFront,
       {"Rate Front", "Оценить Верх", "Front bewerten", "Taux avant", "Tarifa delantera", "率前",
        "Tariffa anteriore", "Přední sazba", "レートフロント", "요금 앞"}},
      {kWordThreeFlushes,
       {"Three Flushes", "Три Флеша", "Drei Flushes", "Trois Flush", "Tres Colores", "三同花順",
        "Tre Colori", "Tři postupky", "Three Flushes", "Three Flushes"}},
  };
  for (const Given& row : kRows) {
    EXPECT_EQ(WordIn(row.entry, GetParam()), row.text[GetParam()]) << "entry " << row.entry;
  }
}

TEST_P(Translation, MenuHeaderColumnsLineUp) {
  const int language = GetParam();
  const std::string_view englishRows[] = {WordIn(kWordMembersHeader, kEnglish),
                                          WordIn(kWordMembersHeaderRating, kEnglish)};
  const std::string_view rows[] = {WordIn(kWordMembersHeader, language),
                                   WordIn(kWordMembersHeaderRating, language)};
  for (int r = 0; r < 2; ++r) {
    SCOPED_TRACE("row " + std::to_string(r + 1) + " " + Show(rows[r]));
    EXPECT_EQ(DisplayColumns(rows[r]), DisplayColumns(englishRows[r]));
    EXPECT_TRUE(rows[r].starts_with(' ') && rows[r].ends_with(' '));
    const auto english = HeaderColumns(englishRows[r]);
    const auto columns = HeaderColumns(rows[r]);
    ASSERT_EQ(columns.size(), 3u) << "three columns separated by two or more blanks";
    EXPECT_EQ(columns[0].start, english[0].start) << "the names column starts after one blank";
    EXPECT_EQ(columns[1].end, english[1].end) << "the games column ends over the games";
    EXPECT_EQ(columns[2].end, english[2].end) << "the last column ends over the numbers";
    EXPECT_LT(columns[0].end + 1, columns[1].start);
  }
}

INSTANTIATE_TEST_SUITE_P(Words, Translation, ::testing::Range(1, kLanguageCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(Languages()[info.param].code);
                         });

TEST(EnglishHeader, ColumnsOfTheTwoRows) {
  // The reference the translations are measured against: games end in column 29 and the last
  // column in 38 (1-based), over the numbers of the member lines.
  const auto score = HeaderColumns(WordIn(kWordMembersHeader, kEnglish));
  const auto rating = HeaderColumns(WordIn(kWordMembersHeaderRating, kEnglish));
  ASSERT_EQ(score.size(), 3u);
  ASSERT_EQ(rating.size(), 3u);
  EXPECT_EQ(score[0].start, 1);
  EXPECT_EQ(score[1].end, 29);
  EXPECT_EQ(rating[1].end, 29);
  EXPECT_EQ(score[2].end, 38);
  EXPECT_EQ(rating[2].end, 38);
}

// ---------------------------------------------------------------------------------------
// The table generator: a broken words file must stop the build with its file and line.

namespace fs = std::filesystem;

struct GeneratorRun {
  int status;
  std::string messages;
  std::string output;
};

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of this run's own: the random seed is 0 unless tests are shuffled.
    std::random_device random;
    dir_ = fs::temp_directory_path() /
           ("words_gen_" + std::to_string(random()) + std::to_string(random()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(fs::create_directories(dir_)) << dir_;
    for (const auto& file : fs::directory_iterator(fs::path(TRILANE_TEST_DATA) / "words_min")) {
      fs::copy_file(file.path(), dir_ / file.path().filename());
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Lines(const std::string& file) {
    std::ifstream in(dir_ / file);
    return static_cast<int>(
        std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
  }
  void Append(const std::string& file, const std::string& text) {
    std::ofstream(dir_ / file, std::ios::app | std::ios::binary) << text;
  }
  GeneratorRun Run() {
    const fs::path out = dir_ / "out.cpp";
    const fs::path log = dir_ / "log.txt";
    std::string command = std::string("\"") + TRILANE_WORDS_GEN + "\" \"" + dir_.string() +
                          "\" \"" + out.string() + "\" 2> \"" + log.string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd.exe strips the first and the last quote of the line
#endif
    GeneratorRun run;
    run.status = std::system(command.c_str());
    std::ifstream logIn(log);
    run.messages.assign(std::istreambuf_iterator<char>(logIn), {});
    std::ifstream outIn(out);
    run.output.assign(std::istreambuf_iterator<char>(outIn), {});
    return run;
  }

  fs::path dir_;
};

TEST_F(Generator, AcceptsTheSmallestFolder) {
  const GeneratorRun run = Run();
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_NE(run.output.find("\"Novy Igrok\""), std::string::npos);
  EXPECT_NE(run.output.find("\"Rezultat: \""), std::string::npos);
  // Russian has its file; German has none yet: it is marked untranslated.
  std::istringstream lines(run.output);
  std::string line;
  int languagesSeen = 0;
  while (std::getline(lines, line)) {
    if (line.find("{\"ru\", 2}") != std::string::npos) {
      EXPECT_TRUE(line.ends_with("true},")) << line;
      ++languagesSeen;
    }
    if (line.find("{\"de\", 2}") != std::string::npos) {
      EXPECT_TRUE(line.ends_with("false},")) << line;
      ++languagesSeen;
    }
  }
  EXPECT_EQ(languagesSeen, 2);
}

TEST_F(Generator, RefusesBrokenLinesWithFileAndLine) {
  struct Case {
    std::string name, file, line, reason;
  };
  const Case kCases[] = {
      {"no tab", "en.tsv", "1100 Ok\n", "no tab"},
      {"entry not a number", "en.tsv", "12a\tOk\n", "not a number"},
      {"entry out of range", "en.tsv", "5000\tOk\n", "out of range"},
      {"duplicate entry", "en.tsv", "57\tResult again\n", "duplicate entry 57"},
      {"bad escape", "ru.tsv", "1\tOne\\q\n", "unknown escape"},
      {"backslash at the end", "ru.tsv", "1\tOne\\\n", "backslash ends"},
      {"not UTF-8", "ru.tsv", "1\t\xC3\x28\n", "not valid UTF-8"},
      {"entry unknown to English", "ru.tsv", "58\tPlace: \n", "not in en.tsv"},
      {"duplicate in a translation", "ru.tsv", "0\tAgain\n", "duplicate entry 0"},
      {"unknown title", "ru.tsv", "@version\t5.7f\n", "unknown title"},
      {"English text without a constant", "en.tsv", "58\tPlace: \n", "no named constant"},
      {"country rows out of order", "countries.tsv", "1\t2\tAlbania\tAlbania\tАлбания\n",
       "expected 1"},
      {"country without a Russian name", "countries.tsv", "2\t1\tAfghanistan\tAfghanistan\t\n",
       "must not be empty"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    const int line = Lines(c.file) + 1;
    Append(c.file, c.line);
    const GeneratorRun run = Run();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.messages.find(c.file + ":" + std::to_string(line) + ": error: "),
              std::string::npos)
        << run.messages;
    EXPECT_NE(run.messages.find(c.reason), std::string::npos) << run.messages;
  }
}

TEST_F(Generator, RefusesAConstantWithoutText) {
  Append("word_entries.h", "inline constexpr int kWordOptions = 2;\n");
  const GeneratorRun run = Run();
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.messages.find("kWordOptions = 2 has no text in en.tsv"), std::string::npos)
      << run.messages;
}

}  // namespace
}  // namespace trilane

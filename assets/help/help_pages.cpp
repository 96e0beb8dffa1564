// trilane-help-pages: writes the rules of the game as one HTML page per language, with
// pictures of example rows and hands drawn with the program's own card faces.
//
//   trilane-help-pages --out DIR
//
// DIR/<language index>.html for every language and DIR/pictures/*.png shared by all of
// them. Every name comes from the words tables and every figure (points, bonuses, the cycle)
// from the rules engine; an example hand that the engine does not name as its section says
// stops the build, so the pages can never show a wrong example.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "assets/assets.h"
#include "platform/graphics/card_graphics.h"
#include "platform/graphics/notice.h"
#include "platform/resource_module.h"
#include "rules/arrangement.h"
#include "rules/computer.h"
#include "rules/game.h"
#include "rules/scoring.h"
#include "words/word_entries.h"
#include "words/words.h"

namespace trilane {
namespace {

struct Failure {
  std::string what;
};

std::vector<Card> CardsOf(std::string_view text) {
  std::vector<Card> cards;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) {
      const auto card = ParseCard(text.substr(i, j - i));
      if (!card) throw Failure{"bad card in an example: " + std::string(text.substr(i, j - i))};
      cards.push_back(*card);
    }
    i = j;
  }
  return cards;
}

Row RowOf(std::string_view text) {
  const std::vector<Card> cards = CardsOf(text);
  Row row;
  row.fill(kEmptySlot);
  for (size_t i = 0; i < cards.size() && i < 5; ++i) row[i] = cards[i];
  return row;
}

// The example as written (its picture shows the cards grouped as the text groups them) or
// sorted by rank, as the game holds a dealt hand.
Hand HandOf(std::string_view text, bool sorted = true) {
  const std::vector<Card> cards = CardsOf(text);
  if (cards.size() != kCardsPerHand) throw Failure{"an example hand needs 13 cards"};
  Hand hand;
  for (int i = 0; i < kCardsPerHand; ++i) hand[i] = cards[i];
  if (sorted) SortHand(hand);
  return hand;
}

// Hand values from the strongest, each with a row that the engine names so.
struct ValueExample {
  int entry;
  std::string_view row;
};
constexpr ValueExample kValues[] = {
    {kWordRoyalFlush, "Th Jh Qh Kh Ah"},   {kWordStraightFlush, "5s 6s 7s 8s 9s"},
    {kWordFourOfAKind, "9h 9d 9c 9s 4d"},  {kWordFullHouse, "Qh Qd Qc 6s 6h"},
    {kWordFlush, "2d 7d 9d Jd Kd"},        {kWordStraight, "4c 5d 6h 7s 8c"},
    {kWordThreeOfAKind, "7h 7d 7s Kc 2d"}, {kWordTwoPair, "Jh Jc 4d 4s Ah"},
    {kWordPair, "Th Ts 8d 5c 3h"},         {kWordHighCard, "Ah Jd 9c 6s 3h"},
};

// The special combinations in the order they are tested, each with a hand that is it.
struct SpecialExample {
  int code;
  std::string_view hand;
};
constexpr SpecialExample kSpecials[] = {
    {kCleanDragon, "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah"},
    {kDragon, "2h 3d 4c 5s 6h 7d 8c 9s Th Jd Qc Ks Ah"},
    {kAllBroadways, "Jh Jd Jc Js Qh Qd Qc Qs Kh Kd Kc Ks Ah"},
    {kThreeStraightFlushes, "3h 4h 5h 6h 7h 8d 9d Td Jd Qd 2c 3c 4c"},
    {kThreeQuads, "7h 7d 7c 7s 9h 9d 9c 9s Qh Qd Qc Qs 2h"},
    {kAllHighs, "8h 9d Tc Js Qh Kd Ac 8d 9c Ts Jh Qd Kc"},
    {kAllLow, "2h 3d 4c 5s 6h 7d 8c 2d 3c 4s 5h 6d 7c"},
    {kFullColored, "2h 5h 7h 9h Jh Kh 2d 6d 8d Td Qd Ad 4h"},
    {kFourTriples, "2h 2d 2c 5h 5d 5c 9h 9d 9c Jh Jd Jc Ks"},
    {kSixPairs, "3h 3d 5c 5s 7h 7d 9c 9s Jh Jd Kc Ks Ah"},
    {kThreeStraights, "2h 3d 4c 5s 6h 5d 6c 7s 8h 9d Qc Ks Ah"},
    {kThreeFlushes, "2h 5h 8h Jh Kh 3s 6s 9s Qs As 4d 7d 8d"},
};

// The example arrangement of the rows section: the computer's rows of a fixed hand.
constexpr std::string_view kRowsExample = "2c 5d 7h 8s 9d Th Jc Qs Qd Kh Kc As 3s";

class Pictures {
 public:
  Pictures(CardGraphics& cards, QString folder) : cards_(cards), folder_(std::move(folder)) {}

  QString Row(const std::string& name, const trilane::Row& row) {
    std::vector<Card> cards;
    for (const Card& c : row)
      if (c.code.IsCard()) cards.push_back(c);
    return Save(name, Strip(cards, cards_.CardW() + 3));
  }

  QString Hand(const std::string& name, const trilane::Hand& hand) {
    return Save(name, Strip({hand.begin(), hand.end()}, cards_.CardW() * 2 / 5));
  }

  QString Rows(const std::string& name, const Arrangement& rows) {
    const int step = cards_.CardW() + 3, lineH = cards_.CardH() + 4;
    QImage image(5 * step, 3 * lineH, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int r = 0; r < 3; ++r) {
      const int count = r == kFront ? 3 : 5;
      for (int s = 0; s < count; ++s)
        cards_.DrawCard(s * step, r * lineH, rows.rows[r][s].code.Bytes(), image);
    }
    return Save(name, image);
  }

 private:
  QImage Strip(const std::vector<Card>& cards, int step) {
    const int n = static_cast<int>(cards.size());
    QImage image(cards_.CardW() + (n - 1) * step, cards_.CardH(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int i = 0; i < n; ++i) cards_.DrawCard(i * step, 0, cards[i].code.Bytes(), image);
    return image;
  }
  QString Save(const std::string& name, const QImage& image) {
    const QString file = QString::fromStdString("pictures/" + name + ".png");
    if (!image.save(folder_ + QLatin1Char('/') + file, "PNG"))
      throw Failure{"cannot write " + (folder_ + QLatin1Char('/') + file).toStdString()};
    return file;
  }

  CardGraphics& cards_;
  QString folder_;
};

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The words of one language, escaped for the page.
struct Words {
  int language;
  std::string operator()(int entry) const { return Escape(WordIn(entry, language)); }
};

struct PictureFiles {
  std::vector<QString> values;    // by kValues
  std::vector<QString> specials;  // by kSpecials
  QString rows;
  Arrangement rowsExample;
};

constexpr std::string_view kStyle = R"(
body { font-family: "Liberation Sans", Arial, "Noto Sans CJK TC", "Noto Sans CJK JP", "Noto Sans CJK KR", sans-serif;
       margin: 0; background: #f4f1e8; color: #1d2a1d; line-height: 1.5; }
header { background: #145a2a; color: #fff; padding: 18px 32px; }
header h1 { margin: 0; font-size: 1.8em; }
header p { margin: 4px 0 0; color: #f3d77a; }
nav { background: #0e4220; padding: 6px 32px; }
nav a { color: #f3d77a; margin-right: 14px; text-decoration: none; font-size: 0.95em; }
main { max-width: 980px; padding: 8px 32px 40px; }
h2 { color: #145a2a; border-bottom: 2px solid #c9a227; padding-bottom: 2px; margin-top: 1.6em; }
table { border-collapse: collapse; margin: 10px 0; }
th, td { border: 1px solid #c8c0a8; padding: 6px 10px; text-align: left; vertical-align: middle; }
th { background: #e7e0cb; }
td.points { text-align: center; font-weight: bold; }
img { display: block; }
kbd { background: #fff; border: 1px solid #999; border-bottom-width: 2px; border-radius: 4px;
      padding: 1px 6px; font-family: inherit; white-space: nowrap; }
.rule { font-weight: bold; color: #145a2a; }
)";

std::string Page(int language, const PictureFiles& pictures) {
  const Words w{language};
  const LanguageInfo& info = Languages()[static_cast<size_t>(language)];
  std::string html;
  auto add = [&html](std::string_view text) { html += text; };
  std::string htmlLang(info.code);
  if (htmlLang == "zh") htmlLang = "zh-Hant";
  add("<!DOCTYPE html>\n<html lang=\"" + htmlLang + "\">\n<head>\n<meta charset=\"utf-8\">\n");
  add("<title>" + Escape(info.productTitle) + " \xE2\x80\x94 " + w(kWordHelpTitle) + "</title>\n");
  add("<style>");
  add(kStyle);
  add("</style>\n</head>\n<body>\n");
  add("<header><h1>" + w(kWordHelpTitle) + "</h1><p>" + Escape(info.productTitle) +
      "</p></header>\n");

  const std::pair<const char*, int> sections[] = {
      {"deal", kWordHelpDealHeading},         {"rows", kWordHelpRowsHeading},
      {"values", kWordHelpValuesHeading},     {"specials", kWordHelpSpecialsHeading},
      {"scoring", kWordHelpScoringHeading},   {"bonuses", kWordHelpBonusesHeading},
      {"majority", kWordHelpMajorityHeading}, {"match", kWordHelpMatchHeading},
      {"menu", kWordHelpMenuHeading},         {"keys", kWordHelpKeysHeading}};
  add("<nav>");
  for (const auto& [id, entry] : sections)
    add(std::string("<a href=\"#") + id + "\">" + w(entry) + "</a>");
  add("</nav>\n<main>\n");
  auto heading = [&](const char* id, int entry) {
    add(std::string("<h2 id=\"") + id + "\">" + w(entry) + "</h2>\n");
  };
  auto paragraph = [&](int entry) { add("<p>" + w(entry) + "</p>\n"); };

  heading("deal", kWordHelpDealHeading);
  paragraph(kWordHelpDeal);

  heading("rows", kWordHelpRowsHeading);
  paragraph(kWordHelpRows);
  const RowValues example = EvaluateArrangement(pictures.rowsExample);
  add("<table><tr><td><img src=\"" + pictures.rows.toStdString() + "\" alt=\"\"></td><td>");
  const int rowNames[3] = {kWordRowFront, kWordRowMiddle, kWordRowBack};
  for (int r = 0; r < 3; ++r) {
    add("<p><span class=\"rule\">" + w(rowNames[r]) +
        "</span>: " + w(RowNameEntry(example[r].category, example[r].v[0])) + "</p>");
  }
  add("</td></tr></table>\n");

  heading("values", kWordHelpValuesHeading);
  paragraph(kWordHelpValues);
  add("<table>\n");
  for (size_t i = 0; i < std::size(kValues); ++i) {
    add("<tr><td>" + std::to_string(i + 1) + "</td><td>" + w(kValues[i].entry) +
        "</td><td><img src=\"" + pictures.values[i].toStdString() + "\" alt=\"" +
        w(kValues[i].entry) + "\"></td></tr>\n");
  }
  add("</table>\n");

  heading("specials", kWordHelpSpecialsHeading);
  paragraph(kWordHelpSpecials);
  add("<table>\n<tr><th></th><th>" + w(kWordHelpColumnPoints) + "</th><th>" +
      w(kWordHelpColumnExample) + "</th></tr>\n");
  for (size_t i = 0; i < std::size(kSpecials); ++i) {
    const Special special = FindSpecial(HandOf(kSpecials[i].hand));
    const std::string name = w(SpecialNameEntry(kSpecials[i].code));
    add("<tr><td>" + name + "</td><td class=\"points\">" + std::to_string(special.points) +
        "</td><td><img src=\"" + pictures.specials[i].toStdString() + "\" alt=\"" + name +
        "\"></td></tr>\n");
  }
  add("</table>\n");

  heading("scoring", kWordHelpScoringHeading);
  paragraph(kWordHelpScoring);

  heading("bonuses", kWordHelpBonusesHeading);
  paragraph(kWordHelpBonuses);
  add("<table>\n<tr><th></th><th></th><th>" + w(kWordHelpColumnPoints) + "</th></tr>\n");
  for (RowIndex row : {kFront, kMiddle, kBack}) {
    for (uint8_t category = kStraightFlush; category >= kHighCard; --category) {
      const int bonus = StrongRowBonus(row, category);
      if (bonus == 0) continue;
      add("<tr><td>" + w(rowNames[row]) + "</td><td>" + w(RowNameEntry(category, 0)) +
          "</td><td class=\"points\">" + std::to_string(bonus) + "</td></tr>\n");
    }
  }
  add("</table>\n");

  heading("majority", kWordHelpMajorityHeading);
  paragraph(kWordHelpMajority);
  add("<p><span class=\"rule\">1-6</span> \xE2\x80\x94 " + w(kWordHelpRuleOneSix) + "</p>\n");
  add("<p><span class=\"rule\">2-4</span> \xE2\x80\x94 " + w(kWordHelpRuleTwoFour) + "</p>\n");

  heading("match", kWordHelpMatchHeading);
  paragraph(kWordHelpMatch);

  heading("menu", kWordHelpMenuHeading);
  paragraph(kWordHelpMenu);

  heading("keys", kWordHelpKeysHeading);
  const std::pair<std::string, int> keys[] = {
      {"<kbd>F1</kbd>", kWordHelpKeyF1},
      {"<kbd>Enter</kbd>", kWordHelpKeyEnter},
      {"<kbd>\xE2\x86\x90</kbd> <kbd>\xE2\x86\x91</kbd> <kbd>\xE2\x86\x92</kbd> "
       "<kbd>\xE2\x86\x93</kbd>",
       kWordHelpKeyArrows},
      {"<kbd>" + w(kWordKeySpace) + "</kbd>", kWordHelpKeySpace},
      {"<kbd>Esc</kbd>", kWordHelpKeyEscape},
      {"<kbd>Ctrl</kbd>+<kbd>Z</kbd>", kWordHelpKeyUndo},
      {"<kbd>F2</kbd>", kWordHelpKeySuggest},
      {"<kbd>F3</kbd>", kWordHelpKeyReview},
  };
  add("<table>\n");
  for (const auto& [key, entry] : keys)
    add("<tr><td>" + key + "</td><td>" + w(entry) + "</td></tr>\n");
  add("</table>\n");
  paragraph(kWordHelpMouse);
  add("</main>\n</body>\n</html>\n");
  return html;
}

PictureFiles DrawPictures(CardGraphics& cards, const QString& folder) {
  Pictures pictures(cards, folder);
  PictureFiles files;
  for (const ValueExample& v : kValues) {
    const Row row = RowOf(v.row);
    const RowValue value = EvaluateRow(row);
    if (RowNameEntry(value.category, value.v[0]) != v.entry)
      throw Failure{"the example of entry " + std::to_string(v.entry) + " is valued otherwise"};
    files.values.push_back(pictures.Row("value-" + std::to_string(v.entry), row));
  }
  for (const SpecialExample& s : kSpecials) {
    const Hand hand = HandOf(s.hand);
    if (FindSpecial(hand).code != s.code)
      throw Failure{"the example of special combination " + std::to_string(s.code) +
                    " is found as " + std::to_string(FindSpecial(hand).code)};
    files.specials.push_back(
        pictures.Hand("special-" + std::to_string(s.code), HandOf(s.hand, false)));
  }
  files.rowsExample = ArrangeByComputer(HandOf(kRowsExample)).rows;
  if (!IsLegalArrangement(EvaluateArrangement(files.rowsExample)))
    throw Failure{"the example arrangement is not legal"};
  files.rows = pictures.Rows("rows", files.rowsExample);
  return files;
}

int Run(const QString& out) {
  if (!QDir().mkpath(out + QStringLiteral("/pictures")))
    throw Failure{"cannot create " + out.toStdString()};
  InitAssets();
  SilentNotices notices;
  CardGraphics cards(ResourceLocator(out), notices);
  cards.SetScale(1.0);
  CardLook look;
  if (!cards.LoadCardFaces(look)) throw Failure{"the built-in card faces did not load"};
  const PictureFiles pictures = DrawPictures(cards, out);
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string html = Page(language, pictures);
    QFile file(out + QStringLiteral("/%1.html").arg(language));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(html.data(), static_cast<qint64>(html.size())) !=
            static_cast<qint64>(html.size()))
      throw Failure{"cannot write " + file.fileName().toStdString()};
  }
  return 0;
}

}  // namespace
}  // namespace trilane

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  const qsizetype at = args.indexOf(QStringLiteral("--out"));
  if (at < 0 || at + 1 >= args.size()) {
    std::fprintf(stderr, "usage: trilane-help-pages --out DIR\n");
    return 2;
  }
  try {
    return trilane::Run(args[at + 1]);
  } catch (const trilane::Failure& failure) {
    std::fprintf(stderr, "trilane-help-pages: %s\n", failure.what.c_str());
    return 1;
  }
}

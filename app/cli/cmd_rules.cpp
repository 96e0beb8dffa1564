// Subcommands of the game rules: eval, special, arrange, score, round, shuffle, deal,
// simulate.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "rules/computer_round.h"
#include "words/words.h"

namespace trilane::cli {
namespace {

constexpr int kEnglish = 0;

struct CardText {
  bool native = false;
  std::string operator()(const Card& c) const {
    return native ? NativeName(c.code) : AsciiName(c.code);
  }
};

// Cards from words; every card of one command must be distinct.
class CardReader {
 public:
  std::vector<Card> Read(const std::vector<std::string>& words) {
    std::vector<Card> out;
    for (const std::string& w : words) {
      auto card = ParseCard(w);
      if (!card) throw UsageError("unknown card '" + w + "' (use As, Th or 10h, Qd, 2c, or Тп, 1ч, Дб)");
      if (!seen_.insert(CardNumberOf(card->code)).second) throw UsageError("duplicate card '" + w + "'");
      out.push_back(*card);
    }
    return out;
  }
  std::vector<Card> Read(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return Read(words);
  }

 private:
  std::set<int> seen_;
};

Hand ToHand(const std::vector<Card>& cards, const std::string& what) {
  if (cards.size() != 13) {
    throw UsageError(what + ": expected 13 cards, got " + std::to_string(cards.size()));
  }
  Hand hand;
  for (int i = 0; i < 13; ++i) hand[i] = cards[i];
  SortHand(hand);
  return hand;
}

bool ReadRule(const Args& args) {
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule == "1-6") return false;
  if (rule == "2-4") return true;
  throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
}

uint32_t ReadSeed(const Args& args) {
  return static_cast<uint32_t>(args.RequiredInt("seed", 0, 0xFFFFFFFFll));
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::string ValuesText(const RowValue& v) {
  std::string s = std::to_string(v.category) + " :";
  for (uint8_t x : v.v) s += " " + std::to_string(x);
  return s;
}

void JsonValues(Json& j, const RowValue& v) {
  j.BeginArray().Int(v.category);
  for (uint8_t x : v.v) j.Int(x);
  j.EndArray();
}

void JsonCards(Json& j, const Row& row, int count, const CardText& text) {
  j.BeginArray();
  for (int i = 0; i < count; ++i) j.String(text(row[i]));
  j.EndArray();
}

std::string RowText(const Row& row, int count, const CardText& text) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (i ? " " : "") + text(row[i]);
  return s;
}

void JsonPoints(Json& j, const RoundPoints& points, const BonusRows& bonus, const Totals& totals) {
  j.Key("points").BeginArray();
  for (const auto& p : points) j.IntArray(p);
  j.EndArray();
  j.Key("bonus").BeginArray();
  for (const auto& b : bonus) j.IntArray(b);
  j.EndArray();
  j.Key("totals").IntArray(totals);
}

std::string PointsText(const RoundPoints& points, const Totals& totals) {
  std::string s = "position   front middle   back   hand special  total\n";
  char line[128];
  for (int p = 0; p < kPositions; ++p) {
    std::snprintf(line, sizeof line, "%8d %7d %6d %6d %6d %7d %6d\n", p + 1, points[p][0],
                  points[p][1], points[p][2], points[p][3], points[p][4], totals[p]);
    s += line;
  }
  return s;
}

std::string English(int entry) { return std::string(WordIn(entry, kEnglish)); }

}  // namespace

int RunEval(const CommandArgs& raw) {
  const Args args(raw, {}, {"json", "native"});
  CardReader reader;
  const auto cards = reader.Read(args.Positional());
  if (cards.size() != 3 && cards.size() != 5) {
    throw UsageError("expected 3 or 5 cards, got " + std::to_string(cards.size()));
  }
  Row row;
  row.fill(kEmptySlot);
  for (size_t i = 0; i < cards.size(); ++i) row[i] = cards[i];
  const RowValue v = EvaluateRow(row);
  const std::string name = English(RowNameEntry(v.category, v.v[0]));
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("category").Int(v.category).Key("values").IntArray(v.v);
    j.Key("name").String(name).EndObject();
    Print(j.Text() + "\n");
  } else {
    Print(name + " (" + ValuesText(v) + ")\n");
  }
  return 0;
}

int RunSpecial(const CommandArgs& raw) {
  const Args args(raw, {}, {"json", "native"});
  CardReader reader;
  const Hand hand = ToHand(reader.Read(args.Positional()), "hand");
  const Special s = FindSpecial(hand);
  const std::string name = s.code ? English(SpecialNameEntry(s.code)) : "";
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("code").Int(s.code).Key("points").Int(s.points).Key("name").String(name);
    Print(j.EndObject().Text() + "\n");
  } else if (s.code) {
    Print(name + ": code " + std::to_string(s.code) + ", " + std::to_string(s.points) + " points\n");
  } else {
    Print("no special combination\n");
  }
  return 0;
}

int RunArrange(const CommandArgs& raw) {
  const Args args(raw, {}, {"json", "native"});
  const CardText text{args.Flag("native")};
  CardReader reader;
  const Hand hand = ToHand(reader.Read(args.Positional()), "hand");
  const ComputerArrangement a = ArrangeByComputer(hand);
  static constexpr const char* kRowKeys[3] = {"front", "middle", "back"};
  static constexpr int kRowCards[3] = {3, 5, 5};
  if (args.Flag("json")) {
    Json j;
    j.BeginObject();
    for (int r = 0; r < 3; ++r) {
      j.Key(kRowKeys[r]);
      JsonCards(j, a.rows.rows[r], kRowCards[r], text);
    }
    j.Key("values").BeginObject();
    for (int r = 0; r < 3; ++r) {
      j.Key(kRowKeys[r]);
      JsonValues(j, a.values[r]);
    }
    j.EndObject().Key("weight").Int(a.weight).EndObject();
    Print(j.Text() + "\n");
  } else {
    for (int r = 2; r >= 0; --r) {
      const RowValue& v = a.values[r];
      char head[16];
      std::snprintf(head, sizeof head, "%-7s", kRowKeys[r]);
      Print(std::string(head) + RowText(a.rows.rows[r], kRowCards[r], text) + "   " +
            English(RowNameEntry(v.category, v.v[0])) + "\n");
    }
    Print("weight " + std::to_string(a.weight) + "\n");
  }
  return 0;
}

int RunScore(const CommandArgs& raw) {
  const Args args(raw, {"rule", "seat"}, {"json"});
  if (!args.Positional().empty()) throw UsageError("unexpected argument '" + args.Positional()[0] + "'");
  const bool twoFour = ReadRule(args);
  const auto seats = args.Values("seat");
  if (seats.size() != 4) throw UsageError("expected --seat four times, got " + std::to_string(seats.size()));
  CardReader reader;
  TableValues values;
  for (int p = 0; p < kPositions; ++p) {
    const std::string what = "seat " + std::to_string(p + 1);
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(seats[p]);
    while (std::getline(in, part, '/')) parts.push_back(part);
    if (parts.size() != 3) throw UsageError(what + ": expected three rows separated by '/'");
    static constexpr size_t kCount[3] = {3, 5, 5};
    for (int r = 0; r < 3; ++r) {
      const auto cards = reader.Read(parts[r]);
      if (cards.size() != kCount[r]) {
        throw UsageError(what + ": row " + std::to_string(r + 1) + " needs " + std::to_string(kCount[r]) +
                         " cards, got " + std::to_string(cards.size()));
      }
      Row row;
      row.fill(kEmptySlot);
      for (size_t i = 0; i < cards.size(); ++i) row[i] = cards[i];
      values[p][r] = EvaluateRow(row);
    }
    // The same rule the table holds every arrangement to, its own and those of other machines.
    if (!IsLegalArrangement(values[p])) {
      throw UsageError(what + ": the rows must rise, Back above Middle above Front");
    }
  }
  const RoundScore score = ScoreRound(values, twoFour);
  Totals totals{};
  for (int p = 0; p < kPositions; ++p) totals[p] = RoundTotal(score.points, p);
  if (args.Flag("json")) {
    Json j;
    j.BeginObject();
    JsonPoints(j, score.points, score.bonus, totals);
    Print(j.EndObject().Text() + "\n");
  } else {
    Print(PointsText(score.points, totals));
  }
  return 0;
}

int RunRound(const CommandArgs& raw) {
  const Args args(raw, {"rule", "hand"}, {"json", "native"});
  if (!args.Positional().empty()) throw UsageError("unexpected argument '" + args.Positional()[0] + "'");
  const bool twoFour = ReadRule(args);
  const CardText text{args.Flag("native")};
  const auto handTexts = args.Values("hand");
  if (handTexts.size() != 4) throw UsageError("expected --hand four times, got " + std::to_string(handTexts.size()));
  CardReader reader;
  Hands hands;
  for (int p = 0; p < kPositions; ++p) hands[p] = ToHand(reader.Read(handTexts[p]), "hand " + std::to_string(p + 1));
  Totals totals{};
  const ComputerRound round = PlayComputerRound(hands, twoFour, totals);
  const auto& specials = round.specials;
  const bool anySpecial = round.settledBySpecials;
  const auto& arranged = round.arranged;
  const RoundScore& score = round.score;
  static constexpr const char* kRowKeys[3] = {"front", "middle", "back"};
  static constexpr int kRowCards[3] = {3, 5, 5};
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("specials").BeginArray();
    for (const Special& s : specials) j.BeginArray().Int(s.code).Int(s.points).EndArray();
    j.EndArray().Key("rows");
    if (anySpecial) {
      j.Null();
    } else {
      j.BeginArray();
      for (const auto& a : arranged) {
        j.BeginObject();
        for (int r = 0; r < 3; ++r) {
          j.Key(kRowKeys[r]);
          JsonCards(j, a.rows.rows[r], kRowCards[r], text);
        }
        j.EndObject();
      }
      j.EndArray();
    }
    JsonPoints(j, score.points, score.bonus, totals);
    Print(j.EndObject().Text() + "\n");
  } else {
    for (int p = 0; p < kPositions; ++p) {
      std::string line = "position " + std::to_string(p + 1) + ": ";
      if (specials[p].code) line += English(SpecialNameEntry(specials[p].code)) + " ";
      if (!anySpecial) {
        for (int r = 0; r < 3; ++r) line += (r ? " / " : "") + RowText(arranged[p].rows.rows[r], kRowCards[r], text);
      }
      Print(line + "\n");
    }
    Print(PointsText(score.points, totals));
  }
  return 0;
}

int RunShuffle(const CommandArgs& raw) {
  const Args args(raw, {"seed"}, {"json", "native"});
  const CardText text{args.Flag("native")};
  DeckRandom random(ReadSeed(args));
  const Deck deck = ShuffleDeck(random);
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("deck").BeginArray();
    for (const Card& c : deck) j.String(text(c));
    Print(j.EndArray().EndObject().Text() + "\n");
  } else {
    std::string s;
    for (int i = 0; i < kDeckSize; ++i) s += text(deck[i]) + ((i % 13 == 12) ? "\n" : " ");
    Print(s);
  }
  return 0;
}

int RunDeal(const CommandArgs& raw) {
  const Args args(raw, {"seed", "own"}, {"json", "native"});
  const CardText text{args.Flag("native")};
  DeckRandom random(ReadSeed(args));
  const int own = static_cast<int>(args.Int("own", 1, 4, 1));
  const Hands hands = DealHands(ShuffleDeck(random), own);
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("hands").BeginArray();
    for (const Hand& h : hands) {
      j.BeginArray();
      for (const Card& c : h) j.String(text(c));
      j.EndArray();
    }
    Print(j.EndArray().EndObject().Text() + "\n");
  } else {
    for (int p = 0; p < kPositions; ++p) {
      std::string line = "position " + std::to_string(p + 1) + ":";
      for (const Card& c : hands[p]) line += " " + text(c);
      Print(line + "\n");
    }
  }
  return 0;
}

int RunSimulate(const CommandArgs& raw) {
  const Args args(raw, {"rounds", "seed", "rule"}, {"json"});
  const int64_t rounds = args.RequiredInt("rounds", 1, 100000000);
  const bool twoFour = ReadRule(args);
  DeckRandom random(ReadSeed(args));
  Totals totals{};
  int64_t specialsMet = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int64_t round = 0; round < rounds; ++round) {
    // Each round shuffles with the generator state the round before left.
    const ComputerRound played = PlayComputerRound(DealHands(ShuffleDeck(random), 1), twoFour, totals);
    for (const Special& s : played.specials) specialsMet += s.code != 0;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double perSecond = seconds > 0 ? static_cast<double>(rounds) / seconds : 0.0;
  if (args.Flag("json")) {
    Json j;
    j.BeginObject().Key("totals").IntArray(totals).Key("rounds").Int(rounds);
    j.Key("specials").Int(specialsMet).Key("rounds_per_second").Double(std::round(perSecond));
    Print(j.EndObject().Text() + "\n");
  } else {
    std::string s = "rounds " + std::to_string(rounds) + ", special combinations met " +
                    std::to_string(specialsMet) + "\ntotals by position:";
    for (int32_t t : totals) s += " " + std::to_string(t);
    char rate[64];
    std::snprintf(rate, sizeof rate, "\n%.0f rounds per second\n", perSecond);
    Print(s + rate);
  }
  return 0;
}

}  // namespace trilane::cli

// best: the arrangement of a hand that would have scored most against three arrangements
// already revealed, and what it scores.

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "rules/best_arrangement.h"
#include "words/words.h"

namespace trilane::cli {
namespace {

constexpr int kEnglish = 0;
constexpr const char* kRowKeys[3] = {"front", "middle", "back"};
constexpr int kRowCards[3] = {3, 5, 5};

// Thirteen cards of one option; no card may appear twice across the whole command.
std::vector<Card> ReadThirteen(const std::string& text, const std::string& what,
                               std::set<int>& seen) {
  std::istringstream in(text);
  std::vector<Card> cards;
  for (std::string w; in >> w;) {
    const auto card = ParseCard(w);
    if (!card)
      throw UsageError(what + ": unknown card '" + w +
                       "' (use As, Th or 10h, Qd, 2c, or Тп, 1ч, Дб)");
    if (!seen.insert(CardNumberOf(card->code)).second)
      throw UsageError(what + ": card '" + w + "' is given twice");
    cards.push_back(*card);
  }
  if (cards.size() != kCardsPerHand)
    throw UsageError(what + ": expected 13 cards, got " + std::to_string(cards.size()));
  return cards;
}

std::string CardName(const Card& c, bool native) {
  return native ? NativeName(c.code) : AsciiName(c.code);
}

}  // namespace

int RunBest(const CommandArgs& raw) {
  const Args args(raw, {"hand", "against", "rule"}, {"json", "native"});
  if (!args.Positional().empty())
    throw UsageError("unexpected argument '" + args.Positional()[0] + "'");
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule != "1-6" && rule != "2-4")
    throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
  const bool ruleTwoFour = rule == "2-4";
  const bool native = args.Flag("native");

  std::set<int> seen;
  const std::vector<Card> handCards = ReadThirteen(args.Required("hand"), "--hand", seen);
  Hand hand;
  for (int i = 0; i < kCardsPerHand; ++i) hand[i] = handCards[i];
  SortHand(hand);

  const std::vector<std::string> againstTexts = args.Values("against");
  if (againstTexts.size() != 3)
    throw UsageError("expected --against three times, got " + std::to_string(againstTexts.size()));
  Opponents against;
  for (int o = 0; o < 3; ++o) {
    const std::string what = "--against " + std::to_string(o + 1);
    const std::vector<Card> cards = ReadThirteen(againstTexts[o], what, seen);
    size_t next = 0;
    for (int r = 0; r < 3; ++r) {
      Row& row = against[o].rows[r];
      row.fill(kEmptySlot);
      for (int i = 0; i < kRowCards[r]; ++i) row[i] = cards[next++];
    }
    // Revealed rows always rise; rows that do not are most likely given in the wrong order.
    if (!IsLegalArrangement(EvaluateArrangement(against[o])))
      throw UsageError(what + ": the rows do not rise (give Front, Middle, Back in that order)");
  }

  const BestArrangement best = FindBestArrangement(hand, against, ruleTwoFour);
  const bool ownSpecial = best.ownSpecial.code != 0;
  const std::string specialName =
      ownSpecial ? std::string(WordIn(SpecialNameEntry(best.ownSpecial.code), kEnglish)) : "";
  if (args.Flag("json")) {
    Json j;
    j.BeginObject();
    if (ownSpecial) {
      j.Key("special").String(specialName).Key("specialPoints").Int(best.ownSpecial.points);
    } else {
      for (int r = 0; r < 3; ++r) {
        j.Key(kRowKeys[r]).BeginArray();
        for (int i = 0; i < kRowCards[r]; ++i) j.String(CardName(best.rows.rows[r][i], native));
        j.EndArray();
      }
      if (best.settledBySpecials) j.Key("settledBySpecials").Bool(true);
    }
    j.Key("points").Int(best.points);
    const std::string text = j.EndObject().Text() + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  std::string out;
  if (ownSpecial) {
    out += "special: " + specialName + " (" + std::to_string(best.ownSpecial.points) + ")\n";
  } else {
    for (int r = 0; r < 3; ++r) {
      out += std::string(kRowKeys[r]) + ":";
      for (int i = 0; i < kRowCards[r]; ++i) out += " " + CardName(best.rows.rows[r][i], native);
      out += "\n";
    }
    if (best.settledBySpecials) out += "settled by special combinations: the rows change nothing\n";
  }
  out += "points: " + std::to_string(best.points) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace trilane::cli

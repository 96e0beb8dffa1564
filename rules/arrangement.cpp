#include "rules/arrangement.h"

#include <algorithm>
#include <vector>

#include "rules/subsets.h"
#include "words/word_entries.h"

namespace trilane {

bool UsesHandCards(const Arrangement& rows, const Hand& hand) {
  if (rows.rows[kFront][3].code.IsCard() || rows.rows[kFront][4].code.IsCard()) return false;
  std::array<uint16_t, kCardsPerHand> placed{}, dealt{};
  int n = 0;
  for (int r = 0; r < 3; ++r) {
    for (int s = 0; s < (r == kFront ? 3 : 5); ++s) {
      const CardCode c = rows.rows[r][s].code;
      if (!c.IsCard() || CardNumberOf(c) == 0) return false;
      placed[n++] = static_cast<uint16_t>(c.rank << 8 | c.suit);
    }
  }
  for (int i = 0; i < kCardsPerHand; ++i) {
    dealt[i] = static_cast<uint16_t>(hand[i].code.rank << 8 | hand[i].code.suit);
  }
  std::sort(placed.begin(), placed.end());
  std::sort(dealt.begin(), dealt.end());
  return placed == dealt;
}

RowValues EvaluateArrangement(const Arrangement& a) {
  return {EvaluateRow(a.rows[kFront]), EvaluateRow(a.rows[kMiddle]), EvaluateRow(a.rows[kBack])};
}

namespace {

// The twelve ranks other than the one at `single` (0-based), in order, fall into runs of
// `group` equal ranks.
bool GroupsAround(const std::array<uint8_t, 13>& r, int single, int group) {
  std::array<uint8_t, 12> rest{};
  for (int i = 0, n = 0; i < 13; ++i) {
    if (i != single) rest[n++] = r[i];
  }
  for (int start = 0; start < 12; start += group) {
    for (int i = 1; i < group; ++i) {
      if (rest[start + i] != rest[start]) return false;
    }
  }
  return true;
}

bool AnyGroupsAround(const std::array<uint8_t, 13>& r, std::initializer_list<int> singles, int group) {
  return std::any_of(singles.begin(), singles.end(),
                     [&](int pos) { return GroupsAround(r, pos - 1, group); });
}

bool IsThreeCardStraight(const Row& three) {
  const uint8_t a = three[0].rank, b = three[1].rank, c = three[2].rank;
  return (b == a + 1 && c == b + 1) || (a == 1 && b == 2 && c == 13);
}

}  // namespace

int SplitIntoStraightsByEnumeration(const Hand& hand) {
  const SubsetTables& t = Subsets();
  bool found = false;
  for (uint16_t backMask : t.five) {
    const RowValue back = EvaluateRow(RowFromMask(hand, backMask));
    if (back.category != kStraightFlush && back.category != kStraight) continue;
    const std::array<uint8_t, 8> list = ComplementSlots(backMask);
    const ListMapper mapper(list);
    for (uint8_t small : t.fiveOfEight) {
      const uint16_t middleMask = mapper.Map(small);
      const RowValue middle = EvaluateRow(RowFromMask(hand, middleMask));
      if (middle.category != kStraightFlush && middle.category != kStraight) continue;
      const uint16_t restMask = static_cast<uint16_t>(0x1FFF & ~backMask & ~middleMask);
      const Row rest = RowFromMask(hand, restMask);  // three cards in slot order
      // The three are valued in rank order; the sorted hand already has them so.
      std::array<Card, 3> sorted = {rest[0], rest[1], rest[2]};
      std::stable_sort(sorted.begin(), sorted.end(),
                       [](const Card& x, const Card& y) { return x.rank < y.rank; });
      const Row three = {sorted[0], sorted[1], sorted[2], kEmptySlot, kEmptySlot};
      if (!IsThreeCardStraight(three)) continue;
      const bool oneSuit = three[0].code.suit == three[1].code.suit &&
                           three[1].code.suit == three[2].code.suit;
      if (back.category == kStraightFlush && middle.category == kStraightFlush && oneSuit) return 2;
      found = true;
    }
  }
  return found ? 1 : 0;
}

int SplitIntoStraights(const Hand& hand) {
  // The answer does not depend on the order of the search, so for a hand of real cards the
  // straights are built directly, one card for each rank of each five-rank window, and
  // then paired. A hand with empty or garbled slots takes the full enumeration.
  std::array<std::array<uint8_t, 13>, 14> slotsOfRank{};
  std::array<int, 14> count{};
  for (int slot = 0; slot < kCardsPerHand; ++slot) {
    const Card& c = hand[slot];
    if (c.rank < 1 || c.rank > 13 || !c.code.IsCard()) return SplitIntoStraightsByEnumeration(hand);
    slotsOfRank[c.rank][count[c.rank]++] = static_cast<uint8_t>(slot);
  }
  struct Straight {
    uint16_t mask;
    bool oneSuit;
  };
  std::vector<Straight> straights;
  for (int start = 0; start <= 9; ++start) {
    // Window 0 is ace-to-five; windows 1..9 start at the two .. the ten.
    std::array<int, 5> ranks;
    for (int i = 0; i < 5; ++i) ranks[i] = start == 0 ? (i == 0 ? 13 : i) : start + i;
    bool possible = true;
    for (int r : ranks) possible = possible && count[r] > 0;
    if (!possible) continue;
    std::array<int, 5> pick{};
    while (true) {
      uint16_t mask = 0;
      bool oneSuit = true;
      const uint8_t suit = hand[slotsOfRank[ranks[0]][pick[0]]].code.suit;
      for (int i = 0; i < 5; ++i) {
        const int slot = slotsOfRank[ranks[i]][pick[i]];
        mask |= static_cast<uint16_t>(1u << slot);
        oneSuit = oneSuit && hand[slot].code.suit == suit;
      }
      // Ace-to-five of one suit is a flush, neither straight nor straight flush.
      if (!(start == 0 && oneSuit)) straights.push_back({mask, oneSuit});
      int i = 4;
      while (i >= 0 && ++pick[i] == count[ranks[i]]) pick[i--] = 0;
      if (i < 0) break;
    }
  }
  bool found = false;
  for (size_t a = 0; a < straights.size(); ++a) {
    for (size_t b = a + 1; b < straights.size(); ++b) {
      if (straights[a].mask & straights[b].mask) continue;
      const uint16_t rest = static_cast<uint16_t>(0x1FFF & ~straights[a].mask & ~straights[b].mask);
      const Row three = RowFromMask(hand, rest);
      std::array<uint8_t, 3> r = {three[0].rank, three[1].rank, three[2].rank};
      std::sort(r.begin(), r.end());
      const bool run = (r[1] == r[0] + 1 && r[2] == r[1] + 1) || (r[0] == 1 && r[1] == 2 && r[2] == 13);
      if (!run) continue;
      const bool oneSuit = three[0].code.suit == three[1].code.suit &&
                           three[1].code.suit == three[2].code.suit;
      if (straights[a].oneSuit && straights[b].oneSuit && oneSuit) return 2;
      found = true;
    }
  }
  return found ? 1 : 0;
}

Special FindSpecial(const Hand& dealt) {
  Hand hand = dealt;
  SortHand(hand);
  std::array<uint8_t, 13> r{};
  for (int i = 0; i < 13; ++i) r[i] = hand[i].rank;
  for (const Card& c : hand) {
    if (!c.code.IsCard()) return {};  // only a full hand of thirteen can hold a special
  }

  bool consecutive = true, oneSuit = true;
  for (int i = 0; i < 12; ++i) {
    consecutive = consecutive && r[i + 1] == r[i] + 1;
    oneSuit = oneSuit && hand[i + 1].code.suit == hand[0].code.suit;
  }
  const bool allAtLeast10 = std::all_of(r.begin(), r.end(), [](uint8_t x) { return x >= 10; });
  const bool allAtLeast7 = std::all_of(r.begin(), r.end(), [](uint8_t x) { return x >= 7; });
  const bool allAtMost7 = std::all_of(r.begin(), r.end(), [](uint8_t x) { return x <= 7; });
  std::array<int, 5> suitCount{};
  for (const Card& c : hand) ++suitCount[SuitIndexOf(c.code.suit)];
  const bool red = suitCount[1] + suitCount[2] == 13;
  const bool black = suitCount[3] + suitCount[4] == 13;

  if (consecutive && oneSuit) return {kCleanDragon, 108};
  if (consecutive) return {kDragon, 36};
  if (allAtLeast10) return {kAllBroadways, 32};
  const int straights = SplitIntoStraights(hand);
  if (straights == 2) return {kThreeStraightFlushes, 24};
  if (AnyGroupsAround(r, {1, 5, 9, 13}, 4)) return {kThreeQuads, 20};
  if (allAtLeast7) return {kAllHighs, 12};
  if (allAtMost7) return {kAllLow, 12};
  if (red || black) return {kFullColored, 10};
  if (AnyGroupsAround(r, {1, 4, 7, 10, 13}, 3)) return {kFourTriples, 8};
  if (AnyGroupsAround(r, {1, 3, 5, 7, 9, 11, 13}, 2)) return {kSixPairs, 6};
  if (straights == 1) return {kThreeStraights, 4};
  std::array<int, 4> counts = {suitCount[1], suitCount[2], suitCount[3], suitCount[4]};
  std::sort(counts.begin(), counts.end());
  if (counts == std::array<int, 4>{0, 3, 5, 5}) return {kThreeFlushes, 3};
  return {};
}

int SpecialNameEntry(int code) {
  switch (code) {
    case kCleanDragon: return kWordCleanDragon;
    case kDragon: return kWordDragon;
    case kAllBroadways: return kWordAllBroadways;
    case kThreeStraightFlushes: return kWordThreeStraightFlushes;
    case kThreeQuads: return kWordThreeQuads;
    case kAllHighs: return kWordAllHighs;
    case kAllLow: return kWordAllLow;
    case kFullColored: return kWordFullColored;
    case kFourTriples: return kWordFourTriples;
    case kSixPairs: return kWordSixPairs;
    case kThreeStraights: return kWordThreeStraights;
    case kThreeFlushes: return kWordThreeFlushes;
    default: return 0;
  }
}

}  // namespace trilane

#include "rules/deck.h"

namespace trilane {

Deck ShuffleDeck(DeckRandom& random) {
  Deck deck{};
  uint64_t drawn = 0;
  for (int position = 0; position < kDeckSize;) {
    const int n = static_cast<int>(random.Random(kDeckSize)) + 1;
    const uint64_t bit = uint64_t{1} << n;
    if (drawn & bit) continue;
    drawn |= bit;
    deck[position++] = CardFromNumber(n);
  }
  return deck;
}

bool IsCompleteDeck(const Deck& deck) {
  uint64_t seen = 0;
  for (const Card& c : deck) {
    const int n = CardNumberOf(c.code);
    if (n == 0 || c.rank != RankOfLetter(c.code.rank)) return false;
    const uint64_t bit = uint64_t{1} << n;
    if (seen & bit) return false;
    seen |= bit;
  }
  return true;
}

namespace {
// Rows: own number; columns: the other player's number. The players sit in the cyclic
// order 1, 3, 2, 4.
constexpr int kPositionOf[4][4] = {
    {4, 2, 1, 3},
    {2, 4, 3, 1},
    {3, 1, 4, 2},
    {1, 3, 2, 4},
};
}  // namespace

int PositionOf(int own, int other) {
  if (own < 1 || own > 4 || other < 1 || other > 4) return 0;
  return kPositionOf[own - 1][other - 1];
}

int PlayerAtPosition(int own, int position) {
  for (int other = 1; other <= 4; ++other) {
    if (PositionOf(own, other) == position) return other;
  }
  return 0;
}

void SortHand(Hand& hand) {
  Hand sorted;
  sorted.fill(kEmptySlot);
  int next = 0;
  for (int r = 1; r <= 13; ++r) {
    for (const Card& c : hand) {
      if (c.rank == r && c.code.suit != '#') sorted[next++] = c;
    }
  }
  hand = sorted;
}

Hands DealHands(const Deck& deck, int ownSeat) {
  Hands hands;
  for (Hand& h : hands) h.fill(kEmptySlot);
  for (int block = 1; block <= 4; ++block) {
    const int position = PositionOf(ownSeat, block);
    if (position == 0) continue;
    Hand& hand = hands[position - 1];
    for (int i = 0; i < kCardsPerHand; ++i) hand[i] = deck[(block - 1) * kCardsPerHand + i];
    SortHand(hand);
  }
  return hands;
}

}  // namespace trilane

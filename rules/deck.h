#pragma once
// The deck, its shuffle and the deal into four hands of thirteen.

#include <array>
#include <cstdint>

#include "rules/cards.h"

namespace trilane {

// The shuffle's generator: seed <- seed * 134775813 + 1 (mod 2^32); Random(n) is the high
// 32 bits of seed * n after the seed has advanced. Network peers and recorded games rely on
// this exact sequence. The seed is handed in; only callers read a clock.
class DeckRandom {
 public:
  explicit DeckRandom(uint32_t seed) : seed_(seed) {}
  uint32_t Random(uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(seed_) * n) >> 32);
  }
  uint32_t Seed() const { return seed_; }

 private:
  uint32_t seed_;
};

// Deck positions 1..52 are indices 0..51.
using Deck = std::array<Card, kDeckSize>;
// Hand slots 1..13 are indices 0..12.
using Hand = std::array<Card, kCardsPerHand>;
// Hands by table position: index p - 1 is table position p (4 is the local player).
using Hands = std::array<Hand, kPositions>;

// Draws card numbers random(52) + 1 until all 52 are placed, discarding repeats; the order
// of the draws cannot change without breaking deals shared with other machines.
Deck ShuffleDeck(DeckRandom& random);

// True when the deck holds each of the 52 cards exactly once, with matching rank values.
bool IsCompleteDeck(const Deck& deck);

// The table position (1..4) where the player with number `other` sits, seen from the player
// with number `own`; the own number maps to 4. 0 when either number is outside 1..4.
int PositionOf(int own, int other);
// The player number seated at table position `position` as seen by `own` (PositionOf read
// backwards); 0 when out of range.
int PlayerAtPosition(int own, int position);

// Stable counting sort by rank: equal ranks keep their dealt order; empty slots go last.
void SortHand(Hand& hand);

// Block k (deck positions 13(k-1)+1 .. 13k) goes to table position PositionOf(own, k); every
// hand is sorted.
Hands DealHands(const Deck& deck, int ownSeat);

}  // namespace trilane

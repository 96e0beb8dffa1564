#pragma once
// Cards as the whole system writes them: two code-page-1251 bytes, rank letter then suit
// letter ("2ч", "1к" for the ten of clubs, "Дп", "Тб"), travelling with a rank value
// 1 (two) .. 13 (ace); the empty slot is "##" with rank value 14.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trilane {

using RankValue = uint8_t;
inline constexpr RankValue kEmptyRank = 14;
inline constexpr int kCardsPerHand = 13;
inline constexpr int kDeckSize = 52;
inline constexpr int kPositions = 4;

// Rank letters by rank value 1..13 and suit letters by suit index 1..4 (hearts, diamonds,
// clubs, spades), as code-page-1251 bytes.
inline constexpr std::array<uint8_t, 13> kRankLetters = {0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38,
                                                         0x39, 0x31, 0xC2, 0xC4, 0xCA, 0xD2};
inline constexpr std::array<uint8_t, 4> kSuitLetters = {0xF7, 0xE1, 0xEA, 0xEF};

struct CardCode {
  uint8_t rank = '#';
  uint8_t suit = '#';

  // "is a card": every code but "##" (a slot with a card in it).
  constexpr bool IsCard() const { return !(rank == '#' && suit == '#'); }
  std::string Bytes() const { return std::string{static_cast<char>(rank), static_cast<char>(suit)}; }
  friend constexpr bool operator==(CardCode, CardCode) = default;
};

struct Card {
  CardCode code;
  RankValue rank = kEmptyRank;
  friend constexpr bool operator==(Card, Card) = default;
};

inline constexpr Card kEmptySlot{};

// 1..4 for the suit letters of hearts, diamonds, clubs, spades; 0 for anything else.
int SuitIndexOf(uint8_t suitLetter);

// The rank value of a rank letter; 14 for "#" and for any byte that is no rank letter, so a
// garbled code read from a message behaves as an empty slot.
RankValue RankOfLetter(uint8_t rankLetter);

// The card of a code, its rank taken from the rank letter.
Card CardFromCode(CardCode code);

// CardNumber 1..52 = (rank - 1) * 4 + suit index; the order in which the shuffle names cards.
Card CardFromNumber(int cardNumber);
int CardNumberOf(CardCode code);  // 0 when the code is no card of the deck

// The four-character picture and voice name: "Ch02", "Bu10", "Kr2J", "Pi5A"; empty for a
// code that is no card of the deck.
std::string FaceCode(CardCode code);

// Text forms for people and scripts. ASCII: "As", "Th", "Qd", "2c" (ranks 2-9 T J Q K A,
// suits h d c s); native: the code's own letters in UTF-8 ("Тп", "1ч").
std::string AsciiName(CardCode code);
std::string NativeName(CardCode code);

// Reads one card written in either form (ASCII also takes "10h" and any letter case).
std::optional<Card> ParseCard(std::string_view text);

}  // namespace trilane

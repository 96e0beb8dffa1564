#include "rules/cards.h"

#include "base/codepage.h"

namespace trilane {
namespace {

constexpr std::string_view kAsciiRanks = "23456789TJQKA";
constexpr std::string_view kAsciiSuits = "hdcs";
constexpr std::array<std::string_view, 4> kFacePrefix = {"Ch", "Bu", "Kr", "Pi"};
constexpr std::array<std::string_view, 13> kFaceRank = {"02", "03", "04", "05", "06", "07", "08",
                                                        "09", "10", "2J", "3Q", "4K", "5A"};

int RankIndexOf(uint8_t letter) {
  for (int i = 0; i < 13; ++i) {
    if (kRankLetters[i] == letter) return i + 1;
  }
  return 0;
}

}  // namespace

int SuitIndexOf(uint8_t suitLetter) {
  for (int i = 0; i < 4; ++i) {
    if (kSuitLetters[i] == suitLetter) return i + 1;
  }
  return 0;
}

RankValue RankOfLetter(uint8_t rankLetter) {
  const int r = RankIndexOf(rankLetter);
  return r == 0 ? kEmptyRank : static_cast<RankValue>(r);
}

Card CardFromCode(CardCode code) { return Card{code, RankOfLetter(code.rank)}; }

Card CardFromNumber(int n) {
  if (n < 1 || n > kDeckSize) return kEmptySlot;
  const int rank = (n - 1) / 4 + 1;
  const int suit = (n - 1) % 4 + 1;
  return Card{CardCode{kRankLetters[rank - 1], kSuitLetters[suit - 1]}, static_cast<RankValue>(rank)};
}

int CardNumberOf(CardCode code) {
  const int r = RankIndexOf(code.rank);
  const int s = SuitIndexOf(code.suit);
  return (r == 0 || s == 0) ? 0 : (r - 1) * 4 + s;
}

std::string FaceCode(CardCode code) {
  const int r = RankIndexOf(code.rank);
  const int s = SuitIndexOf(code.suit);
  if (r == 0 || s == 0) return {};
  return std::string(kFacePrefix[s - 1]) + std::string(kFaceRank[r - 1]);
}

std::string AsciiName(CardCode code) {
  const int r = RankIndexOf(code.rank);
  const int s = SuitIndexOf(code.suit);
  if (!code.IsCard()) return "##";
  if (r == 0 || s == 0) return "??";
  return std::string{kAsciiRanks[r - 1], kAsciiSuits[s - 1]};
}

std::string NativeName(CardCode code) { return Cp1251ToUtf8(code.Bytes()); }

std::optional<Card> ParseCard(std::string_view text) {
  // ASCII first: rank, then suit.
  auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  auto upper = [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); };
  std::string_view rankPart = text.substr(0, text.empty() ? 0 : text.size() - 1);
  if (text.size() == 2 || (text.size() == 3 && text.substr(0, 2) == "10")) {
    const char suitChar = lower(text.back());
    const size_t s = kAsciiSuits.find(suitChar);
    size_t r = std::string_view::npos;
    if (rankPart == "10") {
      r = 8;
    } else if (rankPart.size() == 1) {
      r = kAsciiRanks.find(upper(rankPart[0]));
    }
    if (s != std::string_view::npos && r != std::string_view::npos) {
      return CardFromNumber(static_cast<int>(r) * 4 + static_cast<int>(s) + 1);
    }
  }
  // The game's own letters in UTF-8.
  auto bytes = Utf8ToCp1251(text);
  if (!bytes || bytes->size() != 2) return std::nullopt;
  const CardCode code{static_cast<uint8_t>((*bytes)[0]), static_cast<uint8_t>((*bytes)[1])};
  if (CardNumberOf(code) == 0) return std::nullopt;
  return CardFromCode(code);
}

}  // namespace trilane

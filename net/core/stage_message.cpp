#include "net/core/stage_message.h"

#include <algorithm>
#include <cstdint>

namespace trilane::net {

namespace {

uint8_t At(std::string_view b, size_t i) {
  return static_cast<uint8_t>(b[i]);
}
bool IsDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}
int DigitValue(uint8_t c) {
  return c - '0';
}
bool IsRankLetter(uint8_t c) {
  return RankOfLetter(c) != kEmptyRank;
}
bool IsSuitLetter(uint8_t c) {
  return SuitIndexOf(c) != 0;
}
char Digit(int value) {
  return static_cast<char>('0' + std::clamp(value, 0, 9));
}
std::string TwoDigits(int value) {
  value = std::clamp(value, 0, 99);
  return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

bool AllFit(std::string_view b, size_t length, bool (*fits)(std::string_view, size_t)) {
  if (b.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (!fits(b, i)) return false;
  }
  return true;
}

PayloadCodes ReadCodes(std::string_view payload) {
  PayloadCodes codes;
  for (int i = 0; i < 15; ++i) {
    codes[i] = CardCode{At(payload, 2 * i), At(payload, 2 * i + 1)};
  }
  return codes;
}

std::string CodesBytes(const PayloadCodes& codes) {
  std::string out;
  out.reserve(kPayloadBytes);
  for (const CardCode& c : codes) out += c.Bytes();
  return out;
}

}  // namespace

bool StageByteFits(std::string_view b, size_t i) {
  const uint8_t c = At(b, i);
  if (i == 0) return c == 'h';
  if (i == 1) return c >= '1' && c <= '7';
  if (i <= 31) {
    if (At(b, 1) != '2') return c == '0';
    if (i % 2 == 0) return c == '#' || IsRankLetter(c);  // first byte of a slot
    return At(b, i - 1) == '#' ? c == '#' : IsSuitLetter(c);
  }
  return c >= '1' && c <= '4';
}

bool DealCardByteFits(std::string_view b, size_t i) {
  const uint8_t c = At(b, i);
  if (i == 0) return c == 'b';
  if (i <= 104) return i % 2 == 1 ? IsRankLetter(c) : IsSuitLetter(c);
  if (!IsDigit(c)) return false;
  if (i % 2 == 1) return true;  // the tens digit; the pair is checked at its second digit
  const size_t card = (i - 106) / 2;
  const int rank = DigitValue(At(b, i - 1)) * 10 + DigitValue(c);
  return rank == RankOfLetter(At(b, 1 + 2 * card));
}

std::optional<Stage> ReadStage(std::string_view b) {
  if (!AllFit(b, kStageBytes, StageByteFits)) return std::nullopt;
  Stage stage;
  stage.step = DigitValue(At(b, 1));
  if (stage.step == 2) stage.codes = ReadCodes(b.substr(2, kPayloadBytes));
  stage.sender = DigitValue(At(b, kStageBytes - 1));
  return stage;
}

std::optional<Deck> ReadDealCards(std::string_view b) {
  if (!AllFit(b, kDealCardBytes, DealCardByteFits)) return std::nullopt;
  Deck deck{};
  for (int i = 0; i < kDeckSize; ++i) {
    deck[i] = CardFromCode(CardCode{At(b, 1 + 2 * i), At(b, 2 + 2 * i)});
  }
  return deck;
}

std::string EncodeStage(const Stage& stage) {
  const std::string payload =
      stage.step == 2 ? CodesBytes(stage.codes) : std::string(kPayloadBytes, '0');
  return std::string{'h', Digit(stage.step)} + payload + Digit(stage.sender);
}

std::string EncodeStep(int step, int sender) {
  return EncodeStage(Stage{step, {}, sender});
}

std::string EncodeArrangement(const Arrangement& rows, int sender) {
  return "h2" + ArrangementPayload(rows) + Digit(sender);
}

std::string EncodeDealCards(const Deck& deck) {
  std::string out = "b";
  out.reserve(kDealCardBytes + 1);
  for (const Card& card : deck) out += card.code.Bytes();
  for (const Card& card : deck) out += TwoDigits(card.rank);
  return out;
}

std::string ArrangementPayload(const Arrangement& rows) {
  PayloadCodes codes;
  for (int i = 0; i < 15; ++i) codes[i] = rows.rows[i / 5][i % 5].code;
  return CodesBytes(codes);
}

std::optional<PayloadCodes> ParseArrangementPayload(std::string_view payload) {
  if (payload.size() != static_cast<size_t>(kPayloadBytes)) return std::nullopt;
  return ReadCodes(payload);
}

}  // namespace trilane::net

#include "net/club/club_codec.h"

#include <algorithm>

#include "net/core/stage_message.h"

namespace trilane::club {

namespace {

constexpr std::string_view kConnectWord = "connect";
constexpr std::string_view kNextWord = "bnext";
constexpr std::string_view kTimeOutWord = "TOut";
constexpr std::string_view kLeaveWord = "disA";
constexpr std::string_view kLeftWord = "aleft";

uint8_t At(std::string_view b, size_t i) {
  return static_cast<uint8_t>(b[i]);
}
bool IsDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}
int SeatDigit(uint8_t c) {
  return c >= '1' && c <= '4' ? c - '0' : 0;
}
char Digit(int value) {
  return static_cast<char>('0' + std::clamp(value, 0, 9));
}

std::optional<Message> ReadDeal(std::string_view b) {
  if (const std::optional<Deck> deck = net::ReadDealCards(b)) return Deal{*deck};
  return std::nullopt;
}

std::optional<Message> ReadStage(std::string_view b) {
  if (const std::optional<Stage> stage = net::ReadStage(b)) return *stage;
  return std::nullopt;
}

// The text of a chat: everything after the "s" up to the first "#", at most 15 bytes.
Chat ReadChat(std::string_view b) {
  std::string_view text = b.substr(1, kFrameBytes - 2);
  text = text.substr(0, std::min(text.find(kPadding), kChatTextBytes));
  return Chat{std::string(text)};
}

// Seven bytes: blanks, an optional minus, at least one digit.
std::optional<int32_t> ReadTotal(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  const bool negative = i < field.size() && field[i] == '-';
  if (negative) ++i;
  if (i == field.size()) return std::nullopt;
  int32_t value = 0;
  for (; i < field.size(); ++i) {
    if (!IsDigit(At(field, i))) return std::nullopt;
    value = value * 10 + (field[i] - '0');
  }
  return negative ? -value : value;
}

std::optional<Message> ReadResult(std::string_view b) {
  Result result;
  for (int s = 0; s < kSeats; ++s) {
    const auto total = ReadTotal(b.substr(1 + kTotalBytes * static_cast<size_t>(s), kTotalBytes));
    if (!total) return std::nullopt;
    result.totals[s] = *total;
  }
  return result;
}

std::optional<Message> ReadToServer(std::string_view b) {
  switch (At(b, 0)) {
    case 'c':
      if (b.starts_with(kConnectWord) && SeatDigit(At(b, kConnectWord.size())) != 0)
        return Connect{SeatDigit(At(b, kConnectWord.size()))};
      return std::nullopt;
    case 'h':
      return ReadStage(b);
    case 's':
      return ReadChat(b);
    case 'b':
      if (b.starts_with(kNextWord)) return NextDeal{};
      return std::nullopt;
    case 'T':
      if (b.starts_with(kTimeOutWord)) return TimeOut{};
      return std::nullopt;
    case 'o':
      return ReadResult(b);
    case 'd':
      if (b.starts_with(kLeaveWord)) return Leave{};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<Message> ReadToPlayer(std::string_view b) {
  switch (At(b, 0)) {
    case 'b':
      return b.size() == kDealBytes ? ReadDeal(b) : std::nullopt;
    case 'h':
      return ReadStage(b);
    case 's':
      return ReadChat(b);
    case 'e':
      return GameEnded{};
    case 'a':
      if (const int seat = SeatDigit(At(b, 5)); seat != 0) return PlayerLeft{seat};
      return std::nullopt;
    case 'T':
      if (const int seat = SeatDigit(At(b, kFrameBytes - 1)); seat != 0)
        return PlayerTimedOut{seat};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

size_t FrameLength(uint8_t first, Direction direction) {
  return direction == Direction::kToPlayer && first == 'b' ? kDealBytes : kFrameBytes;
}

}  // namespace

std::string Frame(std::string_view text, int seat) {
  std::string frame(text.substr(0, kFrameBytes - 1));
  frame.resize(kFrameBytes - 1, kPadding);
  frame += Digit(seat);
  return frame;
}

std::string WithSeat(std::string_view frame, int seat) {
  std::string out(frame);
  if (out.size() == kFrameBytes) out.back() = Digit(seat);
  return out;
}

std::string EncodeConnect(int seat) {
  return Frame(std::string(kConnectWord) + Digit(seat), seat);
}

std::string EncodeStep(int step, int seat) {
  return Frame(net::EncodeStep(step, seat), seat);
}

std::string EncodeArrangement(const Arrangement& rows, int seat) {
  return Frame(net::EncodeArrangement(rows, seat), seat);
}

std::string EncodeChat(std::string_view text, int seat) {
  std::string cut(text.substr(0, std::min(text.find(kPadding), kChatTextBytes)));
  // A control byte means nothing in a chat line; a blank keeps its place.
  for (char& c : cut) {
    if (static_cast<uint8_t>(c) < 0x20) c = ' ';
  }
  return Frame("s" + cut, seat);
}

std::string EncodeNextDeal(int seat) {
  return Frame(kNextWord, seat);
}

std::string EncodeTimeOut(int seat) {
  return Frame(kTimeOutWord, seat);
}

std::string EncodeResult(const SeatTotals& totals, int seat) {
  std::string text = "o";
  for (int32_t total : totals) {
    std::string digits = std::to_string(std::clamp(total, -999999, 9999999));
    text += std::string(kTotalBytes - digits.size(), ' ') + digits;
  }
  return Frame(text, seat);
}

std::string EncodeLeave(int seat) {
  return Frame(kLeaveWord, seat);
}

std::string EncodeDeal(const Deck& deck) {
  return net::EncodeDealCards(deck);  // no rule letter: a tournament deal is always "1-6"
}

std::string EncodeGameEnded() {
  return Frame("e", 0);
}

std::string EncodePlayerLeft(int seat) {
  return Frame(std::string(kLeftWord) + Digit(seat), seat);
}

std::string EncodePlayerTimedOut(int seat) {
  return Frame("T", seat);
}

Message ReadFrame(std::string_view bytes, Direction direction) {
  if (bytes.empty() || bytes.size() != FrameLength(At(bytes, 0), direction)) return Unknown{};
  const std::optional<Message> message =
      direction == Direction::kToServer ? ReadToServer(bytes) : ReadToPlayer(bytes);
  return message.value_or(Unknown{});
}

std::vector<Decoded> Decoder::Feed(std::string_view bytes) {
  buffer_.append(bytes);
  std::vector<Decoded> out;
  size_t pos = 0;
  while (pos < buffer_.size()) {
    const size_t length = FrameLength(At(buffer_, pos), direction_);
    if (buffer_.size() - pos < length) break;
    const std::string_view frame = std::string_view(buffer_).substr(pos, length);
    Decoded decoded{ReadFrame(frame, direction_), 0, std::string(frame)};
    if (length == kFrameBytes) decoded.seat = SeatDigit(At(frame, kFrameBytes - 1));
    out.push_back(std::move(decoded));
    pos += length;
  }
  buffer_.erase(0, pos);
  return out;
}

}  // namespace trilane::club

#include "net/direct/direct_codec.h"

#include <algorithm>

namespace trilane::direct {

namespace {

constexpr std::string_view kGreetingHead = "qor";
constexpr std::string_view kGreetingWord = "connect1";
constexpr std::string_view kSeatedHead = "connect2+";
constexpr std::string_view kConnectWord = "connect";
constexpr std::string_view kAbortWord = "abort";
constexpr size_t kGreetingBytes = 19;
constexpr size_t kSeatedBytes = 26;
constexpr size_t kJoinedBytes = 25;
constexpr size_t kChatBytes = 2 + kChatTextBytes;

uint8_t At(std::string_view b, size_t i) {
  return static_cast<uint8_t>(b[i]);
}
bool IsDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}
bool IsNameByte(uint8_t c) {
  return c >= 0x20;
}
int DigitValue(uint8_t c) {
  return c - '0';
}

std::string TwoDigits(int value) {
  value = std::clamp(value, 0, 99);
  return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

char Digit(int value) {
  return static_cast<char>('0' + std::clamp(value, 0, 9));
}

// --- layouts: does byte i fit, given the bytes before it?

bool GreetingByteFits(std::string_view b, size_t i) {
  const uint8_t c = At(b, i);
  if (i < 3) return c == kGreetingHead[i];
  if (i < 7) return IsDigit(c);
  if (i < 15) return c == kGreetingWord[i - 7];
  return IsNameByte(c);
}

bool SeatedByteFits(std::string_view b, size_t i) {
  const uint8_t c = At(b, i);
  if (i < 9) return c == kSeatedHead[i];
  if (i == 9) return c >= '2' && c <= '4';
  return IsNameByte(c);
}

bool JoinedByteFits(std::string_view b, size_t i) {
  const uint8_t c = At(b, i);
  if (i < 7) return c == kConnectWord[i];
  if (i == 7) return c == '3' || c == '4';
  if (i == 8) return c == '+';
  return IsNameByte(c);
}

bool AbortByteFits(std::string_view b, size_t i) {
  return At(b, i) == kAbortWord[i];
}

bool DealByteFits(std::string_view b, size_t i) {
  if (i < net::kDealCardBytes) return net::DealCardByteFits(b, i);
  return At(b, i) == kRuleLetterTwoFour || At(b, i) == kRuleLetterOneSix;
}

enum class Fit : uint8_t { kNo, kPartial, kWhole };
struct Match {
  Fit fit = Fit::kNo;
  size_t length = 0;
};

using ByteFits = bool (*)(std::string_view, size_t);

Match MatchLayout(std::string_view b, size_t length, ByteFits fits) {
  const size_t available = std::min(b.size(), length);
  for (size_t i = 0; i < available; ++i) {
    if (!fits(b, i)) return {};
  }
  return {available == length ? Fit::kWhole : Fit::kPartial, length};
}

// The messages too long to be typed into a chat text.
Match MatchLong(std::string_view b) {
  if (b.empty()) return {};
  switch (At(b, 0)) {
    case 'q':
      return MatchLayout(b, kGreetingBytes, GreetingByteFits);
    case 'c': {
      const Match seated = MatchLayout(b, kSeatedBytes, SeatedByteFits);
      return seated.fit != Fit::kNo ? seated : MatchLayout(b, kJoinedBytes, JoinedByteFits);
    }
    case 'b':
      return MatchLayout(b, kDealBytes, DealByteFits);
    case 'h':
      return MatchLayout(b, kStageBytes, net::StageByteFits);
    default:
      return {};
  }
}

// A chat's text runs to 15 bytes, or ends early at a control byte or where a complete long
// message starts; a long message that may still be completing there keeps it waiting.
Match MatchChat(std::string_view b) {
  if (At(b, 0) != 's') return {};
  if (b.size() < 2) return {Fit::kPartial, 0};
  if (At(b, 1) < '1' || At(b, 1) > '4') return {};
  for (size_t i = 2; i < kChatBytes; ++i) {
    if (i >= b.size()) return {Fit::kPartial, 0};
    if (At(b, i) < 0x20) return {Fit::kWhole, i};
    const Match inside = MatchLong(b.substr(i));
    if (inside.fit == Fit::kWhole) return {Fit::kWhole, i};
    if (inside.fit == Fit::kPartial) return {Fit::kPartial, 0};
  }
  return {Fit::kWhole, kChatBytes};
}

// The first byte of every message: whatever follows a chat on the wire starts with one.
constexpr std::string_view kMessageStarts = "abchqs";

// True when a long message starting at the front of `tail`, the end of a chat text, could
// be completed by the bytes of a message sent after the chat. A layout that already breaks
// inside the text, or that cannot take any message's first byte where the text ends, is
// no danger; every layout position that takes any byte (the names) is.
bool CouldStartMessage(std::string_view tail) {
  std::string probe(tail);
  probe.push_back(' ');
  for (char start : kMessageStarts) {
    probe.back() = start;
    if (MatchLong(probe).fit != Fit::kNo) return true;
  }
  return false;
}

// The chat rule: no byte of a text that this program writes or relays begins a longer
// message that the bytes after the chat could complete. The first byte of such a start is
// replaced by '?', which fits no layout position that a name byte does not, so a
// replacement never creates a start further left; one pass from the left is enough.
void BreakMessageStarts(std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (CouldStartMessage(std::string_view(text).substr(i))) text[i] = '?';
  }
}

Match MatchAny(std::string_view b) {
  switch (At(b, 0)) {
    case 'a':
      return MatchLayout(b, kAbortWord.size(), AbortByteFits);
    case 's':
      return MatchChat(b);
    default:
      return MatchLong(b);
  }
}

NetNames ReadNames(std::string_view b) {
  NetNames names;
  for (int k = 0; k < 4; ++k) names[k] = std::string(b.substr(4 * k, kNameBytes));
  return names;
}

// The message of bytes that MatchAny found whole.
Message Read(std::string_view b) {
  switch (At(b, 0)) {
    case 'q':
      return Greeting{DigitValue(At(b, 3)) * 10 + DigitValue(At(b, 4)),
                      DigitValue(At(b, 5)) * 10 + DigitValue(At(b, 6)), std::string(b.substr(15))};
    case 'c':
      if (At(b, 7) == '2') return Seated{DigitValue(At(b, 9)), ReadNames(b.substr(10))};
      return Joined{DigitValue(At(b, 7)), ReadNames(b.substr(9))};
    case 'a':
      return Abort{};
    case 's':
      return Chat{DigitValue(At(b, 1)), std::string(b.substr(2))};
    // MatchAny checked every byte of a deal and a stage against the same layouts.
    case 'b':
      return Deal{net::ReadDealCards(b).value_or(Deck{}), At(b, 209) == kRuleLetterTwoFour};
    default:
      return net::ReadStage(b).value_or(Stage{});
  }
}

std::string NamesBytes(const NetNames& names) {
  std::string out;
  for (const SeatName& name : names) out += FourByteName(name);
  return out;
}

struct Encoder {
  std::string operator()(const Greeting& m) const {
    return std::string(kGreetingHead) + TwoDigits(m.gameCode) + TwoDigits(m.mark) +
           std::string(kGreetingWord) + FourByteName(m.name);
  }
  std::string operator()(const Seated& m) const { return EncodeSeated(m.netId, m.names); }
  std::string operator()(const Joined& m) const { return EncodeJoined(m.players, m.names); }
  std::string operator()(const Abort&) const { return EncodeAbort(); }
  std::string operator()(const Chat& m) const {
    return std::string{'s', Digit(m.writer)} + m.text.substr(0, kChatTextBytes);
  }
  std::string operator()(const Deal& m) const { return EncodeDeal(m.deck, m.ruleTwoFour); }
  std::string operator()(const Stage& m) const { return net::EncodeStage(m); }
};

}  // namespace

SeatName FourByteName(std::string_view cp1251) {
  SeatName name(cp1251.substr(0, kNameBytes));
  name.resize(kNameBytes, ' ');
  return name;
}

std::string Encode(const Message& message) {
  return std::visit(Encoder{}, message);
}

std::string EncodeGreeting(std::string_view name) {
  return Encode(Greeting{kGameCode, kGreetingMark, std::string(name)});
}

std::string EncodeSeated(int netId, const NetNames& names) {
  return std::string(kSeatedHead) + Digit(netId) + NamesBytes(names);
}

std::string EncodeJoined(int players, const NetNames& names) {
  return std::string(kConnectWord) + Digit(players) + "+" + NamesBytes(names);
}

std::string EncodeAbort() {
  return std::string(kAbortWord);
}

std::string EncodeChat(int writer, std::string_view text) {
  std::string padded(text.substr(0, kChatTextBytes));
  // A control byte would end the text early on the other side.
  for (char& c : padded) {
    if (static_cast<uint8_t>(c) < 0x20) c = ' ';
  }
  padded.resize(kChatTextBytes, ' ');
  BreakMessageStarts(padded);
  return Encode(Chat{writer, padded});
}

std::string EncodeDeal(const Deck& deck, bool ruleTwoFour) {
  return net::EncodeDealCards(deck) +
         static_cast<char>(ruleTwoFour ? kRuleLetterTwoFour : kRuleLetterOneSix);
}

std::vector<Decoded> Decoder::Feed(std::string_view bytes) {
  buffer_.append(bytes);
  std::vector<Decoded> out;
  size_t pos = 0;
  while (pos < buffer_.size()) {
    const std::string_view rest = std::string_view(buffer_).substr(pos);
    const Match match = MatchAny(rest);
    if (match.fit == Fit::kWhole) {
      out.push_back({Read(rest.substr(0, match.length)), bufferOffset_ + pos, match.length});
      pos += match.length;
    } else if (match.fit == Fit::kPartial && rest.size() < kMaxBufferedBytes) {
      break;
    } else {
      ++pos;  // no message starts here: resynchronise at the next byte
      ++skipped_;
    }
  }
  buffer_.erase(0, pos);
  bufferOffset_ += pos;
  return out;
}

}  // namespace trilane::direct

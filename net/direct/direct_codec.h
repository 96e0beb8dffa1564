#pragma once
// The direct-play protocol between the host and up to three joiners: every message, how it
// is written, and a decoder that turns the bytes of a TCP stream back into whole messages.
//
// Message catalogue. Positions are 1-based byte positions; every byte is code page 1251.
// Nothing frames a message: the receiver recognises it by its first bytes and reads fixed
// positions, so none of these layouts may change, and the order of the fields inside them
// is what every peer reads.
//
//   Greeting  joiner -> host, once, when the connection is made           19 bytes
//     1-3 "qor"; 4-5 the game code, two digits ("94"); 6-7 "25"; 8-15 "connect1";
//     16-19 the first four bytes of the player's name, padded with blanks.
//     Host: while it is seating, a greeting with "94" and "25" seats the connection as the
//     next NetId; any other greeting, and any greeting once three joiners sit or the first
//     deal is out, gets no reply.
//   Seated    host -> the joiner just seated                             26 bytes
//     1-8 "connect2"; 9 "+"; 10 the joiner's NetId ("2".."4"); 11-26 the four-byte names of
//     NetId 1, 2, 3, 4 ("PC  " for a computer seat).
//     Joiner: becomes that NetId, takes the names and the number of joiners (NetId - 1).
//   Joined    host -> joiners seated earlier                             25 bytes
//     1-8 "connect3" (a second joiner seated) or "connect4" (a third); 9 "+"; 10-25 the
//     names of NetId 1..4.
//     Joiner: takes the names and the number of joiners (2 or 3).
//   Abort     host -> joiners                                             5 bytes
//     "abort". Joiner: the game is over. The host ignores it.
//   Chat      host -> joiners, joiner -> host, relayed by the host to the other joiners
//     1 "s"; 2 the writer's NetId ("1".."4"); 3-17 the text, at most 15 bytes.
//     Host and joiner: a line of the chat strip under the writer's number.
//     The text has no length and no terminator. This program always writes exactly 15 text
//     bytes, padding with blanks (receivers drop trailing blanks), so its chats are 17 bytes
//     and survive any split of the stream. A shorter text from an older peer ends at the
//     first byte below 0x20, or where a complete message of 19 bytes or more (a greeting,
//     seating, deal or stage message, none of which fits in a typed text) starts inside it;
//     until one of those is seen the decoder waits for more bytes. "abort" and "s" are never
//     looked for inside a text, so a player who types "abort" only chats.
//     The chat rule, which keeps that search from being turned against the other players:
//     no text this program writes, and none the host relays, holds a byte at which a
//     greeting, seating, deal or stage message could start and be completed by the message
//     sent after the chat (a text ending in "qor9425connect1" or "connect2+3", whose names
//     would be the next message's first bytes). EncodeChat replaces the first byte of any
//     such start with "?"; the host decodes every chat and relays it through EncodeChat,
//     never as the bytes that came in, so whatever a joiner types reaches the others as one
//     chat and nothing else. Ordinary texts, "h3 now" or "connect me" among them, pass
//     unchanged: a start that the text itself breaks, or that no message's first byte can
//     continue, is no danger. The rule lives with the writer because the reader cannot
//     have it: an older peer's short chat followed by a greeting is the same bytes as a
//     long chat holding one.
//   Deal      host -> every seated joiner                               210 bytes
//     1-209 the deal's cards of net/core/stage_message.h ("b", the 52 card codes in deck
//     order, their rank values); 210 the rule letter, 0xC8 for the "2-4" majority rule,
//     0xCB for "1-6".
//     Joiner: the new deal (the first one starts its game).
//   Stage     the host's steps -> joiners; a player's "h2" joiner -> host, relayed
//     The stage message of net/core/stage_message.h, 33 bytes, byte 33 the sender's NetId.
//     Host: only "h2" from the joiner on that connection; relayed to the other joiners once
//     the round flow has taken it. Joiner: "h1", "h3".."h7" and the host's "h2" move the
//     round on; another player's "h2" is stored.
//
// Decoding. Bytes that start no message, and a start whose bytes break its layout (a wrong
// constant, a non-digit where a digit belongs, a byte that is no card letter), are skipped
// one byte at a time, and decoding goes on at the next byte; a message is only taken once
// all of its bytes have arrived and fit. The decoder therefore never holds more than one
// unfinished message (at most kMaxBufferedBytes) and is never wedged by garbage.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "net/core/stage_message.h"
#include "rules/arrangement.h"
#include "rules/deck.h"
#include "rules/game.h"

namespace trilane::direct {

inline constexpr int kGreetingMark = 25;
inline constexpr int kNameBytes = 4;
inline constexpr int kChatTextBytes = 15;
using net::kPayloadBytes;
using net::kStageBytes;
inline constexpr uint8_t kRuleLetterTwoFour = 0xC8;  // "И"
inline constexpr uint8_t kRuleLetterOneSix = 0xCB;   // "Л"
inline constexpr int kDealBytes = 210;

// A four-byte seat name (code page 1251).
using SeatName = std::string;
// Names by NetId: index k - 1 is NetId k.
using NetNames = std::array<SeatName, 4>;
using net::PayloadCodes;

struct Greeting {
  int gameCode = kGameCode;  // 0..99
  int mark = kGreetingMark;  // 0..99
  SeatName name;             // four bytes
  friend bool operator==(const Greeting&, const Greeting&) = default;
};
struct Seated {
  int netId = 2;  // 2..4
  NetNames names;
  friend bool operator==(const Seated&, const Seated&) = default;
};
struct Joined {
  int players = 3;  // "connect3" or "connect4": the people now at the table
  NetNames names;
  friend bool operator==(const Joined&, const Joined&) = default;
};
struct Abort {
  friend bool operator==(const Abort&, const Abort&) = default;
};
struct Chat {
  int writer = 1;    // NetId 1..4
  std::string text;  // as it travelled, at most 15 bytes
  friend bool operator==(const Chat&, const Chat&) = default;
};
struct Deal {
  Deck deck{};
  bool ruleTwoFour = false;
  friend bool operator==(const Deal&, const Deal&) = default;
};
// The sender is a NetId.
using net::Stage;

using Message = std::variant<Greeting, Seated, Joined, Abort, Chat, Deal, Stage>;

// A seat name as it travels: the first four bytes, padded with blanks.
SeatName FourByteName(std::string_view cp1251);

// The bytes of a message, exactly as the catalogue lays them out. A chat's text is written
// as it stands (see EncodeChat); names are cut or padded to four bytes.
std::string Encode(const Message& message);

std::string EncodeGreeting(std::string_view name);  // game code 94, mark 25
std::string EncodeSeated(int netId, const NetNames& names);
std::string EncodeJoined(int players, const NetNames& names);
std::string EncodeAbort();
// The text cut to 15 bytes and padded with blanks to 15, control bytes blanked, and any
// message start inside it broken (the chat rule of the catalogue). Every chat this program
// sends or relays is written by this function; Encode(Chat) writes a text as it stands.
std::string EncodeChat(int writer, std::string_view text);
std::string EncodeDeal(const Deck& deck,
                       bool ruleTwoFour);  // The stage messages are written by net::EncodeStep and
                                           // net::EncodeArrangement.

struct Decoded {
  Message message;
  uint64_t streamOffset = 0;  // where its first byte stood in everything fed so far
  size_t length = 0;          // its bytes on the wire
};

class Decoder {
 public:
  // The longest unfinished message (a deal behind a chat text that may end before it).
  static constexpr size_t kMaxBufferedBytes = 2 + kChatTextBytes + kDealBytes;

  // The bytes of one read; returns every message they complete, in order.
  std::vector<Decoded> Feed(std::string_view bytes);

  // Bytes skipped as garbage so far, and bytes waiting for the rest of a message.
  uint64_t SkippedBytes() const { return skipped_; }
  size_t BufferedBytes() const { return buffer_.size(); }

 private:
  std::string buffer_;
  uint64_t bufferOffset_ = 0;  // stream offset of buffer_[0]
  uint64_t skipped_ = 0;
};

}  // namespace trilane::direct

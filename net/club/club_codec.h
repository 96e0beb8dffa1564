#pragma once
// The frames between the players at a tournament table and the tournament server, and a
// decoder that turns the bytes of a TCP stream back into whole frames.
//
// Frame catalogue. Positions are 1-based byte positions; every byte is code page 1251.
// Every frame but the deal is 50 bytes: its text, padded on the right with "#" to 50, and
// then byte 50 replaced by a seat digit. A frame a player sends carries the sender's seat
// there; the server relays it with byte 50 set to the seat the connection is bound to, so
// a player can never speak for another seat. The server's own frames carry "0" there, or
// the seat they report. None of these layouts may change: players read fixed positions.
//
// Player -> server
//   Connect   "connect" + the seat digit (8); once, when the connection is made.
//             Server: binds the connection to that seat if the club's store shows the seat
//             taken from the connection's address; otherwise the connection is closed.
//   Stage     the stage message of net/core/stage_message.h within the frame: 1 "h"; 2 the
//             step "1".."7"; 3-32 for "h2" the sender's fifteen slots (Front 1..5, Middle
//             1..5, Back 1..5, two bytes each, "##" for an empty slot), for every other step
//             thirty "0"; 33 the sender's seat.
//             Server: "h1", "h3".."h7" only from seat 1 and each only at its stage; "h2"
//             from each seat once a round, with byte 33 its own seat, the cards of its own
//             deck block and rows that rise, seat 1 last. Taken frames are relayed to the
//             other three.
//   Chat      1 "s"; 2.. the text, at most 15 bytes, ending at the first "#".
//             Server: relayed to the other three. Player: a line of the chat strip under
//             the seat in byte 50.
//   NextDeal  "bnext"; seat 1 only, after a result while the game has deals to go.
//   TimeOut   "TOut"; the sender's own turn clock ran out.
//             Server: "T" with that seat to the other three; the game is over.
//   Result    1 "o"; 2-29 the totals of seats 1, 2, 3, 4, each in decimal, right-aligned
//             with blanks in 7 bytes; seat 1 only, after the last deal.
//             Server: compares the claim with its own scoring (a difference is logged and
//             ignored), sends "e" and frees the table.
//   Leave     "disA"; a seat given up in the lobby before the game, just before closing.
//
// Server -> player
//   Deal      209 bytes, unframed, the deal's cards of net/core/stage_message.h: 1 "b";
//             2-105 the 52 card codes in deck order; 106-209 their rank values, two digits
//             each ("01".."13", matching the rank letters).
//             Seat s holds deck block 5 - s (deck positions 13(4-s)+1 .. 13(5-s)).
//   Stage, Chat   relayed as above.
//   GameEnded   "e"; the game is over and its results are booked.
//   PlayerLeft  1 "a"; 6 the seat digit of the player whose connection closed (bytes 2-5
//               "left"); the game is over.
//   PlayerTimedOut  1 "T"; 50 the seat digit of the player whose time ran out.
//
// Decoding. The two directions are decoded by their own catalogues, since "bnext" and a
// deal both begin with "b". Every frame has a known length from its first byte (209 for a
// deal towards a player, 50 otherwise), so a stream never loses its frame boundaries; a
// frame whose bytes break its layout, or whose first byte names no frame of that direction,
// comes out as Unknown with its bytes, and the next frame is read after it.

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

namespace trilane::club {

inline constexpr size_t kFrameBytes = 50;
inline constexpr size_t kDealBytes = net::kDealCardBytes;
inline constexpr size_t kChatTextBytes = 15;
inline constexpr size_t kTotalBytes = 7;
inline constexpr char kPadding = '#';
inline constexpr int kSeats = 4;

using net::PayloadCodes;
using SeatTotals = std::array<int32_t, 4>;  // index s - 1 is seat s

struct Connect {
  int seat = 1;
  friend bool operator==(const Connect&, const Connect&) = default;
};
// The sender (byte 33) is a seat.
using net::Stage;
struct Chat {
  std::string text;  // code page 1251, at most 15 bytes, no "#"
  friend bool operator==(const Chat&, const Chat&) = default;
};
struct NextDeal {
  friend bool operator==(const NextDeal&, const NextDeal&) = default;
};
struct TimeOut {
  friend bool operator==(const TimeOut&, const TimeOut&) = default;
};
struct Result {
  SeatTotals totals{};
  friend bool operator==(const Result&, const Result&) = default;
};
struct Leave {
  friend bool operator==(const Leave&, const Leave&) = default;
};
struct Deal {
  Deck deck{};
  friend bool operator==(const Deal&, const Deal&) = default;
};
struct GameEnded {
  friend bool operator==(const GameEnded&, const GameEnded&) = default;
};
struct PlayerLeft {
  int seat = 1;
  friend bool operator==(const PlayerLeft&, const PlayerLeft&) = default;
};
struct PlayerTimedOut {
  int seat = 1;
  friend bool operator==(const PlayerTimedOut&, const PlayerTimedOut&) = default;
};
// Bytes that are no frame of the direction read: kept for logs, never acted on.
struct Unknown {
  friend bool operator==(const Unknown&, const Unknown&) = default;
};

using Message = std::variant<Connect, Stage, Chat, NextDeal, TimeOut, Result, Leave, Deal,
                             GameEnded, PlayerLeft, PlayerTimedOut, Unknown>;

// Which side reads the stream.
enum class Direction : uint8_t {
  kToServer,  // what players send
  kToPlayer,  // what the server sends
};

// --- encoding; `seat` is the digit written at byte 50 (0 for the server's own frames)

// The text padded with "#" to 50 bytes (cut at 49), byte 50 the seat digit.
std::string Frame(std::string_view text, int seat);
// A whole frame with byte 50 replaced: how the server relays a player's frame.
std::string WithSeat(std::string_view frame, int seat);

std::string EncodeConnect(int seat);
// "h1", "h3".."h7" from `seat`.
std::string EncodeStep(int step, int seat);
// "h2": the seat's rows.
std::string EncodeArrangement(const Arrangement& rows, int seat);
// The text (code page 1251) cut at its first "#" and at 15 bytes, control bytes blanked.
std::string EncodeChat(std::string_view text, int seat);
std::string EncodeNextDeal(int seat);
std::string EncodeTimeOut(int seat);
// Totals beyond seven bytes are clamped to -999999..9999999.
std::string EncodeResult(const SeatTotals& totals, int seat);
std::string EncodeLeave(int seat);
std::string EncodeDeal(const Deck& deck);
std::string EncodeGameEnded();
std::string EncodePlayerLeft(int seat);
std::string EncodePlayerTimedOut(int seat);

struct Decoded {
  Message message;
  int seat = 0;  // the digit at byte 50, 0 when it is no seat digit (and for a deal)
  std::string bytes;
};

class Decoder {
 public:
  explicit Decoder(Direction direction) : direction_(direction) {}

  // The bytes of one read; returns every frame they complete, in order.
  std::vector<Decoded> Feed(std::string_view bytes);
  size_t BufferedBytes() const { return buffer_.size(); }

 private:
  Direction direction_;
  std::string buffer_;
};

// One whole frame of a direction (50 bytes, or the 209 of a deal towards a player).
Message ReadFrame(std::string_view bytes, Direction direction);

}  // namespace trilane::club

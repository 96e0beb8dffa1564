#pragma once
// This machine's side of a direct-play game, host or joiner alike, as the windows and the
// command-line tool use it: the networked side (the flow's sender, the chat, leaving) and
// what the waiting and player windows show.
#include <cstdint>

#include "net/core/controller.h"
#include "net/direct/direct_codec.h"
#include "net/direct/direct_texts.h"

namespace trilane::direct {

// Where hosting or joining stands (`LinkPhase`).
enum class LinkPhase : uint8_t {
  kIdle = 0,
  kSeating = 1,  // host: greetings seat joiners; joiner: waiting to be seated
  kSeated = 2,   // joiner: seated, the game waits for the first deal
  kPlaying = 3,  // host: the first deal is out, no more greetings
  kClosed = 4,   // the game ended or was interrupted; nothing more is taken
};

// The chat field takes input (ChatOpen) at the host once the game is dealt, at a joiner from
// its first deal.
class Controller : public net::Controller {
 public:
  virtual LinkPhase Phase() const = 0;
  // This machine's NetId: 1 the host, 2..4 a seated joiner.
  virtual int NetId() const = 0;
  virtual int Joiners() const = 0;
  // Four-byte names by NetId.
  virtual const NetNames& Names() const = 0;
  // The waiting window's error flag (a joiner that found no game).
  virtual bool JoinError() const { return false; }
};

}  // namespace trilane::direct

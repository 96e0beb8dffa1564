#pragma once
// This machine's side of a networked game, direct play or a tournament table alike: the
// round flow's sender, the chat and leaving. The transport hands the side its socket
// events; the side turns the messages into calls on the flow.

#include <string_view>

#include "table/round_flow.h"

namespace trilane::net {

class Controller : public StageSender {
 public:
  // The flow this side plays on; it must use this controller as its StageSender.
  virtual void Attach(RoundFlow& flow) = 0;
  // Enter in the chat field; false when nothing was sent.
  virtual bool SendChat(std::string_view utf8) = 0;
  // The end of the game or "Exit to menu": the connections close and nothing more is taken.
  virtual void Leave() = 0;
  // The chat field takes input.
  virtual bool ChatOpen() const = 0;
};

}  // namespace trilane::net

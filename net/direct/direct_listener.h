#pragma once
// What the windows show of direct play, as the host and joiner controllers report it.
// Every call is made from a controller's handling of a transport event or of a local
// action, after the round flow has been told; a listener may show a window or message box
// from here but must not call back into the controller before returning.

#include <string>

#include "table/table_text.h"

namespace trilane::direct {

class DirectListener {
 public:
  virtual ~DirectListener() = default;

  // Host, waiting window: a joiner took `netId` (2..4). `line` is "The second player was
  // connected..." and so on; the window shows every line up to it, enables "Ok" and
  // disables "Cancel".
  virtual void JoinerSeated(int /*netId*/, const TableText& /*line*/) {}
  // Joiner: the host seated this machine as `netId`; the waiting and player windows close
  // and the table waits for the first deal.
  virtual void SeatedAs(int /*netId*/) {}
  // The names at the table changed (a joiner was seated); read them from the controller.
  virtual void SeatsChanged() {}
  // A chat line under the writer's NetId, UTF-8 without trailing blanks; the window plays
  // "WToMenK" for lines of other players and adds the line to the chat strip.
  virtual void ChatLine(int /*writer*/, const std::string& /*utf8*/, bool /*own*/) {}
  // The game is over because a player left, the host sent "abort" or the connection
  // dropped: the window plays "WWrongs", shows `message` in an error box and returns to the
  // main screen. The controller has already closed its streams.
  virtual void GameInterrupted(const TableText& /*message*/) {}
  // Joiner: the connection failed or was refused before this machine was seated; the
  // waiting window reads `message` ("There are no accessible games") until "Cancel".
  virtual void JoinFailed(const TableText& /*message*/) {}
  // A message a peer sent was not taken (a greeting of another game, a fourth greeting,
  // a joiner's stage step, cards that are not its hand...): nothing is shown; for logs
  // and tests.
  virtual void Refused(int /*netId*/, const std::string& /*why*/) {}
};

}  // namespace trilane::direct

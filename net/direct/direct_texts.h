#pragma once
// The texts the host and the joiner controllers report, and the hidden face-up code.

#include <string>

#include "table/table_text.h"

namespace trilane::direct {

// The messages of an interrupted game: "One of the players" + " " + "has interrupted the game!" +
// line break + "Press OK for exit to the main menu...".
TableText InterruptedGameMessage();
// "There are no accessible games".
TableText NoAccessibleGamesMessage();

// The hidden face-up toggle: characters typed while the chat send button has the focus.
// When they read as the number 71948 the other hands turn face up (or down again).
class FaceUpCode {
 public:
  // True when this character completes the code; the typed characters are then cleared.
  bool Type(char c);
  // The send button gained or lost the focus.
  void Clear() { typed_.clear(); }

 private:
  std::string typed_;
};

}  // namespace trilane::direct

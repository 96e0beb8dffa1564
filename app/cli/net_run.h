#pragma once
// What the commands that play a seat over the network (host, join, tourney) share: the Qt
// application and its event loop, the lines they print, and how a game ends the command.

#include <QCoreApplication>
#include <functional>
#include <string>

#include "table/round_flow.h"
#include "table/table_text.h"

namespace trilane::cli {

// The application object a networked command needs for its sockets and timers.
struct QtApp {
  QtApp() : app(argc, argv) {}
  int argc = 1;
  char name[12] = "trilane-cli";
  char* argv[2] = {name, nullptr};
  QCoreApplication app;
};

// Runs until RunEnd ends the command; its exit code.
int RunEventLoop();

// One line on stdout, flushed at once: the tests read the lines as they come.
void PrintLine(const std::string& line);
// A message of the game on one line, in English: line breaks become blanks.
std::string OneLine(const TableText& text);
// The same with runs of blanks made one (direct play's messages break lines with "\n\r").
std::string SqueezedLine(const TableText& text);
// A finished round's totals in seat order 1..4, read from the flow of `ownSeat`:
// "round N totals a b c d", or {"round":N,"totals":[a,b,c,d]}.
void PrintRound(bool json, const RoundFlow& flow, int ownSeat);

// The end of a networked command: the exit of the event loop, with one stderr line for a
// failed game. Only the first end counts.
class RunEnd {
 public:
  explicit RunEnd(std::string command) : command_(std::move(command)) {}

  // "trilane-cli <command>: <line>" on stderr, exit code 1.
  void Fail(const std::string& line);
  // The game is over: exit 0 once `busy` says the last bytes are out (or after a while).
  void Finish(std::function<bool()> busy);
  bool Done() const { return done_; }

 private:
  std::string command_;
  bool done_ = false;
};

}  // namespace trilane::cli

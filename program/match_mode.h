#pragma once
// How a match ends and how it is left, one mode per kind of match: against the computer
// (local), direct play, the online tournament and the rated match. The end of a match is a
// step machine like the rated match's pre-charge: the mode does the work (files, web calls)
// and says what the window shows or asks next (a notice, a sound, "Repeat?", the
// end-of-cycle window); the window does only that, then calls Advance with the player's
// answer. Nothing here draws or waits, so every end can be run step by step in a test.
#include <cstdint>
#include <deque>
#include <string>

#include "program/match_end.h"
#include "table/round_flow.h"
#include "table/table_view.h"

namespace trilane {

// A completed cycle as the end-of-cycle window shows it.
struct CycleEnd {
  int place = 0;  // 1..10 in the top ten (or the account table), 0 when none
  int64_t cycleScore = 0;
  bool net = false;      // a network game's cycle
  bool account = false;  // a cycle of rated matches: the place is the account table's
  int64_t bonus = 0;     // the Qors the place earned
  bool operator==(const CycleEnd&) const = default;
};

struct MatchEndStep {
  enum class Kind : uint8_t {
    kRepeatBooking,    // ask "Could not connect to server!" and "Repeat?"; Advance(answer)
    kRepeatEntry,      // ask "Cannot write the result" and "Repeat?"; Advance(answer)
    kHistoryNotSaved,  // show "Cann`t save history!"
    kDiskWriteError,   // show "Error of disk writing!"
    kSound,            // play `sound`
    kEndOfCycle,       // play the verdict's sound and show the end-of-cycle window of `cycle`
    kEnterWorldCycle,  // the cycle's entry into the world table with `cycle.cycleScore`
    kHandedOver,       // another part of the program ends the match and brings the menu back itself
    kDone,             // the match is over: back to the menu
  };
  Kind kind = Kind::kDone;
  TableSound sound = TableSound::kMatchWon;
  CycleEnd cycle;
  bool operator==(const MatchEndStep&) const = default;

  static MatchEndStep Of(Kind kind) {
    MatchEndStep step;
    step.kind = kind;
    return step;
  }
  static MatchEndStep Sound(TableSound sound) {
    MatchEndStep step = Of(Kind::kSound);
    step.sound = sound;
    return step;
  }
  static MatchEndStep Cycle(Kind kind, const CycleEnd& cycle) {
    MatchEndStep step = Of(kind);
    step.cycle = cycle;
    return step;
  }
};

class MatchMode {
 public:
  virtual ~MatchMode() = default;

  // The end-of-game button ended the match (`now` for the history line): the end's first
  // step.
  virtual MatchEndStep End(const EndMatchRequest& request, const CalendarTime& now) = 0;
  // The step after the last one was shown; `answer` is the player's answer to a question.
  virtual MatchEndStep Advance(bool answer) = 0;
  // The match was left in the middle: what leaving costs. False when a file could not be
  // written ("Error of disk writing!").
  virtual bool Leave() = 0;
  // The player at the table took another name and password (code page 1251; the password's
  // code): the match ends under them.
  virtual void Rename(const std::string& name, const std::string& passwordCode) {
    static_cast<void>(name);
    static_cast<void>(passwordCode);
  }
};

// A match left in the middle costs its member line 1..5 the stored results (a new player's
// and the other games' matches have none); a protected club file is not written. False when
// the file could not be written.
bool ChargeLeftMatch(const LocalMatchEnd& match);

// Steps queued once their work is done, handed out one by one, then kDone.
class MatchEndSteps {
 public:
  void Push(MatchEndStep step) { steps_.push_back(step); }
  MatchEndStep Next();

 private:
  std::deque<MatchEndStep> steps_;
};

// A match against the computer or in direct play: the match end's files (rating, history
// line, member line and top ten), then the notices and sounds in the order the player meets
// them, the end-of-cycle window and, outside network play, the cycle's world-table entry.
// Leaving costs the member line.
class LocalMatchMode : public MatchMode {
 public:
  // `match`: the player and the club file in use; the score, games and time come with End.
  explicit LocalMatchMode(LocalMatchEnd match) : match_(std::move(match)) {}

  MatchEndStep End(const EndMatchRequest& request, const CalendarTime& now) override;
  MatchEndStep Advance(bool answer) override;
  bool Leave() override;
  void Rename(const std::string& name, const std::string& passwordCode) override;

  const LocalMatchEnd& Match() const { return match_; }

 protected:
  // Writes the match's files. Direct play writes the network club file and an "N" line.
  virtual LocalMatchEndOutcome WriteFiles(const LocalMatchEnd& match);

 private:
  LocalMatchEnd match_;
  MatchEndSteps steps_;
};

}  // namespace trilane

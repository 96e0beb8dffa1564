#pragma once
// A match for the world rating, around the match itself: the pre-charge before it (four
// games booked as a loss of 40 points, sent with up to two repeats), the booking after it
// (the points returned, the match score booked, the cycle carried on or completed) and the
// completed cycle's entry into the account table. Also the start-up counting of the
// statistics script.
//
// Nothing here waits or asks. The pre-charge says when to pause and with which sound, so
// the window program runs its pauses on a timer and never freezes, and the command-line tool
// simply sleeps; "Repeat?" after a failed booking or entry is the caller's question.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "program/account_in_use.h"
#include "program/match_mode.h"
#include "table/match.h"
#include "web/calls.h"

namespace trilane {

// --- Start-up counting ---

struct StartupCount {
  bool send = false;
  int64_t stat1 = 0;  // one more start
  int64_t stat2 = 0;  // one more first start
};

// Nothing is counted for a club file marked as a copy not to be counted ("oqr"); a start
// counts as a first start until one has been counted.
StartupCount DecideStartupCount(bool uncountedCopy, bool startRegistered);
// Sends the count and returns the new `StartRegistered`: a first start stays uncounted
// until its call succeeds. Failures are silent. The caller saves the settings.
bool CountStartup(web::WebClient& client, bool uncountedCopy, bool startRegistered);

// --- Before the match ---

// The match start of the account's own game: the nick, its games, the cycle's score and
// its rating; an account without rated games starts from nothing.
MatchStart RatedMatchStart(const AccountInUse& account);

struct PreChargeStep {
  enum class Kind : uint8_t {
    kNotRated,  // the account is not in state 3: no rated match, nothing was sent
    kWait,      // play the sound, wait, then call Advance again
    kStarted,   // the pre-charge is stored: deal
    kFailed,    // "Could not connect to server!": the account is dropped (state 1)
  };
  Kind kind = Kind::kNotRated;
  std::chrono::milliseconds wait{0};
  bool playWrongs = false;  // play the failure sound now
};

// The pre-charge as a sequence of calls: the results read and the first send, then a repeat
// after 2000 ms and a last one after 3000 ms (each repeat first looks whether the send before
// it was stored after all). On success the rated-match flag is set; the
// account's copy of the results keeps the values read (the cycle travels back with the
// booking), not the emptied cycle that was sent.
class PreCharge {
 public:
  static constexpr std::chrono::milliseconds kFirstPause{2000};
  static constexpr std::chrono::milliseconds kSecondPause{3000};

  explicit PreCharge(AccountInUse& account) : account_(account) {}

  // Runs the next call and says what follows. After kStarted, kFailed or kNotRated it does
  // nothing more and repeats that answer.
  PreChargeStep Advance();

 private:
  PreChargeStep Finish(PreChargeStep::Kind kind, bool playWrongs);

  AccountInUse& account_;
  int sends_ = 0;
  web::TQorGame read_;
  std::optional<PreChargeStep> done_;
};

// --- After the match ---

struct BookingOutcome {
  bool stored = false;          // false: "Could not connect to server!" + "Repeat?"
  bool cycleCompleted = false;  // the match was the last of the cycle
  int64_t cycleScore = 0;       // the cycle's score after the match
};

// The booking of one finished rated match. The cycle's games and score before the match are
// taken from the account's copy when the booking is made, and put back after every failed
// attempt, so a repeat books the same match; a repeat that finds the booking already stored
// (its reply was lost) counts it as stored. Keep one booking for all the repeats of a match.
class RatedBooking {
 public:
  RatedBooking(AccountInUse& account, int64_t matchScore);

  // One attempt: read the results, compute the rating and the cycle, send them.
  BookingOutcome Attempt();
  // The player answered "Repeat?" with No.
  void GiveUp();

 private:
  AccountInUse& account_;
  int64_t matchScore_;
  int64_t cycleGames_;
  int64_t cycleScore_;
  web::TQorGame booked_;  // what the service holds once the booking is stored
  bool cycleCompleted_ = false;
};

// The per-match counters of a rated match (a match against the computer).
std::array<int64_t, 12> RatedMatchCounters(int64_t games, int64_t score, bool cycleCompleted);

// The end of a rated match in its order: the booking, repeated while the player answers
// "Repeat?" with Yes (No leaves the pre-charge booked as a loss); the history line with the
// account's rating after the match; the per-match counters (a failure is silent); the
// match's sound unless a cycle was completed; a completed cycle entered into the account
// table with its bonus ("Repeat?" again on failure), then its verdict; and the account back
// from state 3 to 2, so that each rated match is started again through the account window.
// Leaving the match in the middle leaves the pre-charge booked as a loss; the account has no
// member line to lose.
class RatedMatchMode : public MatchMode {
 public:
  // The history line goes to the history folder under `programFolder`, its date written
  // with `datePattern`.
  RatedMatchMode(AccountInUse& account, std::filesystem::path programFolder,
                 std::string datePattern);

  MatchEndStep End(const EndMatchRequest& request, const CalendarTime& now) override;
  MatchEndStep Advance(bool answer) override;
  bool Leave() override;

 private:
  enum class Stage : uint8_t {
    kBook,
    kAskedBooking,
    kHistory,
    kCounters,
    kSound,
    kEntry,
    kAskedEntry,
    kVerdict,
    kState,
    kDone,
  };
  MatchEndStep Run();

  AccountInUse& account_;
  std::filesystem::path programFolder_;
  std::string datePattern_;
  Stage stage_ = Stage::kDone;
  EndMatchRequest request_;
  CalendarTime now_;
  std::optional<RatedBooking> booking_;
  BookingOutcome booked_;
  bool cycleCompleted_ = false;
  CycleEntry entry_;
};

}  // namespace trilane

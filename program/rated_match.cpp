#include "program/rated_match.h"

#include <algorithm>
#include <cmath>

#include "base/codepage.h"
#include "records/history_file.h"

namespace trilane {

using web::AccountState;

StartupCount DecideStartupCount(bool uncountedCopy, bool startRegistered) {
  if (uncountedCopy) return {};
  return {true, 1, startRegistered ? 0 : 1};
}

bool CountStartup(web::WebClient& client, bool uncountedCopy, bool startRegistered) {
  const StartupCount count = DecideStartupCount(uncountedCopy, startRegistered);
  if (!count.send) return startRegistered;
  const bool sent = client.WebCountStart(kWindowsTableId, count.stat1, count.stat2);
  return startRegistered || sent;
}

MatchStart RatedMatchStart(const AccountInUse& account) {
  const web::TQorGame& game = account.Game();
  MatchStart start;
  start.currentSlot = kSlotAccount;
  start.name = Cp1251ToUtf8(account.User().Nick);
  start.gamesPlayed = static_cast<int32_t>(game.Kon);
  start.initialScore = static_cast<int32_t>(game.Score);
  start.initialRating = game.Rating;
  start.accountHasRatedGames = game.Kon > 0;
  start.accountState = kAccountRated;
  start.accountBlockRounds = static_cast<int32_t>(game.KonL);
  return start;
}

PreChargeStep PreCharge::Finish(PreChargeStep::Kind kind, bool playWrongs) {
  PreChargeStep step;
  step.kind = kind;
  step.playWrongs = playWrongs;
  if (kind == PreChargeStep::Kind::kStarted) account_.SetRatedMatchRunning(true);
  if (kind == PreChargeStep::Kind::kFailed) account_.SetState(AccountState::kNone);
  // A repeated call must not play the sound again.
  done_ = step;
  done_->playWrongs = false;
  return step;
}

namespace {

// Whether the results read are `sent`: the fields a pre-charge or a booking changes, the
// rating as the service's text gives it back.
bool Holds(const web::TQorGame& read, const web::TQorGame& sent) {
  return read.Kon == sent.Kon && read.KonL == sent.KonL && read.Score == sent.Score &&
         read.Sessions == sent.Sessions && read.Best == sent.Best &&
         std::fabs(read.Rating - sent.Rating) <= 1e-9 * std::max(1.0, std::fabs(sent.Rating));
}

}  // namespace

PreChargeStep PreCharge::Advance() {
  if (done_) return *done_;
  web::WebClient& client = account_.Client();
  const web::TQorUser& user = account_.User();
  if (sends_ == 0) {
    if (account_.State() != AccountState::kRated) {
      return Finish(PreChargeStep::Kind::kNotRated, false);
    }
    const auto read = client.WebReadBest(user.Nick, user.Pw, account_.Game());
    if (!read.ok) return Finish(PreChargeStep::Kind::kFailed, false);
    read_ = read.value;
    // The match starts from what the service holds, and the booking carries this cycle on.
    account_.SetGame(read_);
  }
  const web::TQorGame charge = web::PreChargeRecord(read_);
  if (sends_ > 0) {
    // A send whose reply was lost may have been stored. Sent again it would be refused (the
    // service takes one pre-charge per match), and the player would lose the stored one's
    // 40 points and, with the next pre-charge, the cycle it emptied.
    const auto now = client.WebReadBest(user.Nick, user.Pw, account_.Game());
    if (now.ok && Holds(now.value, charge)) return Finish(PreChargeStep::Kind::kStarted, false);
  }
  ++sends_;
  if (client.WebSaveBest(user.Nick, user.Pw, charge)) {
    return Finish(PreChargeStep::Kind::kStarted, false);
  }
  PreChargeStep step;
  step.playWrongs = true;
  if (sends_ == 1) {
    step.kind = PreChargeStep::Kind::kWait;
    step.wait = kFirstPause;
    return step;
  }
  if (sends_ == 2) {
    step.kind = PreChargeStep::Kind::kWait;
    step.wait = kSecondPause;
    return step;
  }
  return Finish(PreChargeStep::Kind::kFailed, true);
}

RatedBooking::RatedBooking(AccountInUse& account, int64_t matchScore)
    : account_(account),
      matchScore_(matchScore),
      cycleGames_(account.Game().KonL),
      cycleScore_(account.Game().Score) {
  // What a stored booking leaves on the service, from the values the match started with.
  const web::TQorGame& before = account.Game();
  booked_ = web::PreChargeRecord(before);
  booked_.Rating = web::BookedRating(booked_.Kon, booked_.Rating, matchScore_);
  cycleCompleted_ = web::ApplyCycle(booked_, cycleGames_, cycleScore_ + matchScore_);
}

BookingOutcome RatedBooking::Attempt() {
  web::WebClient& client = account_.Client();
  const web::TQorUser& user = account_.User();
  const auto read = client.WebReadBest(user.Nick, user.Pw, account_.Game());
  if (!read.ok) return {};
  BookingOutcome outcome;
  outcome.cycleScore = cycleScore_ + matchScore_;
  if (Holds(read.value, booked_)) {
    // An earlier attempt was stored and only its reply was lost: sent again it would be
    // refused as a second booking, and "Repeat?" would never end.
    account_.SetGame(read.value);
    account_.SetRatedMatchRunning(false);
    outcome.stored = true;
    outcome.cycleCompleted = cycleCompleted_;
    return outcome;
  }
  // The service holds the pre-charge: K1 games at R1 and an emptied cycle; the cycle before
  // the match is ours.
  web::TQorGame game = read.value;
  game.Rating = web::BookedRating(read.value.Kon, read.value.Rating, matchScore_);
  outcome.cycleCompleted = web::ApplyCycle(game, cycleGames_, outcome.cycleScore);
  if (!client.WebSaveBest(user.Nick, user.Pw, game)) {
    // The cycle goes back into the copy with the record as read, so that a repeat books the
    // same match on the same cycle.
    web::TQorGame restored = read.value;
    restored.KonL = cycleGames_;
    restored.Score = cycleScore_;
    account_.SetGame(restored);
    return {};
  }
  account_.SetGame(game);
  account_.SetRatedMatchRunning(false);
  outcome.stored = true;
  return outcome;
}

void RatedBooking::GiveUp() {
  // Giving up leaves the pre-charge on the service, by design: the match stays booked as a
  // loss of 40 points and the cycle stands emptied. Only a booking can undo a pre-charge, so
  // a player who cannot reach the service cannot escape a bad match by walking away either.
  account_.SetRatedMatchRunning(false);
}

std::array<int64_t, 12> RatedMatchCounters(int64_t games, int64_t score, bool cycleCompleted) {
  web::MatchDescription match;
  match.kind = web::MatchKind::kComputer;
  match.games = games;
  match.score = score;
  match.cycleCompleted = cycleCompleted;
  return web::GameStatsCounters(match);
}

RatedMatchMode::RatedMatchMode(AccountInUse& account, std::filesystem::path programFolder,
                               std::string datePattern)
    : account_(account),
      programFolder_(std::move(programFolder)),
      datePattern_(std::move(datePattern)) {}

MatchEndStep RatedMatchMode::End(const EndMatchRequest& request, const CalendarTime& now) {
  request_ = request;
  now_ = now;
  // One booking for all the repeats of the match.
  booking_.emplace(account_, request.score);
  booked_ = {};
  cycleCompleted_ = false;
  entry_ = {};
  stage_ = Stage::kBook;
  return Run();
}

MatchEndStep RatedMatchMode::Advance(bool answer) {
  if (stage_ == Stage::kAskedBooking) {
    if (answer) {
      stage_ = Stage::kBook;
    } else {
      // The pre-charge stays on the service: the match stays booked as a loss of 40 and the
      // cycle as emptied, which is what a match that was never finished must cost.
      booking_->GiveUp();
      stage_ = Stage::kHistory;
    }
  } else if (stage_ == Stage::kAskedEntry) {
    stage_ = answer ? Stage::kEntry : Stage::kState;
  }
  return Run();
}

MatchEndStep RatedMatchMode::Run() {
  using Kind = MatchEndStep::Kind;
  for (;;) {
    switch (stage_) {
      case Stage::kBook:
        booked_ = booking_->Attempt();
        if (!booked_.stored) {
          stage_ = Stage::kAskedBooking;
          return MatchEndStep::Of(Kind::kRepeatBooking);
        }
        stage_ = Stage::kHistory;
        break;
      case Stage::kAskedBooking:
      case Stage::kAskedEntry:
        // Waiting for an answer: the question stands.
        return MatchEndStep::Of(stage_ == Stage::kAskedBooking ? Kind::kRepeatBooking
                                                               : Kind::kRepeatEntry);
      case Stage::kHistory: {
        account_.SetRatedMatchRunning(false);
        // The history line, with the account's rating after the match.
        HistoryRecord line;
        line.players = account_.User().Nick;
        line.games = request_.rounds;
        line.result = request_.score;
        line.rating = account_.Game().Rating;
        line.kind = kAccountMatch;
        stage_ = Stage::kCounters;
        if (!AppendHistory(programFolder_ / kHistoryFolderName, {line}, now_, datePattern_))
          return MatchEndStep::Of(Kind::kHistoryNotSaved);
        break;
      }
      case Stage::kCounters:
        cycleCompleted_ = booked_.stored && booked_.cycleCompleted;
        account_.Client().WebSaveGameStats(
            kWindowsTableId, RatedMatchCounters(request_.rounds, request_.score, cycleCompleted_));
        stage_ = Stage::kSound;
        break;
      case Stage::kSound:
        stage_ = Stage::kEntry;
        // The match's sound, unless the cycle's verdict follows.
        if (!cycleCompleted_ && request_.score > 0)
          return MatchEndStep::Sound(TableSound::kMatchWon);
        if (!cycleCompleted_ && request_.score < 0)
          return MatchEndStep::Sound(TableSound::kRoundLost);
        break;
      case Stage::kEntry:
        if (!cycleCompleted_) {
          stage_ = Stage::kState;
          break;
        }
        // A completed cycle goes into the account table and earns its bonus.
        entry_ = account_.EnterCycle(booked_.cycleScore);
        if (!entry_.entered) {
          stage_ = Stage::kAskedEntry;
          return MatchEndStep::Of(Kind::kRepeatEntry);
        }
        stage_ = Stage::kVerdict;
        break;
      case Stage::kVerdict: {
        stage_ = Stage::kState;
        CycleEnd cycle;
        cycle.place = static_cast<int>(entry_.place);
        cycle.cycleScore = entry_.score;
        cycle.account = true;
        cycle.bonus = entry_.bonus;
        return MatchEndStep::Cycle(Kind::kEndOfCycle, cycle);
      }
      case Stage::kState:
        // Each rated match is started again through the account window.
        if (account_.State() == AccountState::kRated) account_.SetState(AccountState::kSignedIn);
        stage_ = Stage::kDone;
        return {};
      case Stage::kDone:
        return {};
    }
  }
}

bool RatedMatchMode::Leave() {
  account_.SetRatedMatchRunning(false);
  if (account_.State() == AccountState::kRated) account_.SetState(AccountState::kSignedIn);
  return true;
}

}  // namespace trilane

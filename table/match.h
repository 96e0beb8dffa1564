#pragma once
// The match: the games the player has ever played, the games and score of this match, the
// cycle of 80 games of local play and the matches of four of network, club and rated
// play, and which table button may be pressed after each game. The words are those of
// docs/glossary.md.

#include <cstdint>
#include <string>

#include "records/club_file.h"
#include "rules/game.h"

namespace trilane {

enum class PlayMode : uint8_t { kComputer, kNet, kClub };

// Who is playing (`CurrentSlot`): a member line of the club file (1..5), a new player
// (kSlotNewPlayer, the club file's), the account's own game, or a tournament game at a
// club table.
inline constexpr int kSlotAccount = 7;
inline constexpr int kSlotClubGame = 8;

// Account states: 1 no account, 2 signed in, 3 signed in and playing for the world rating.
inline constexpr int kAccountRated = 3;

// The player's starting values, read by the caller from the member's line, the account or
// the club seat record. Names are UTF-8.
struct MatchStart {
  int currentSlot = kSlotNewPlayer;  // 1..5 member line, 6 new player, 7 account, 8 club game
  std::string name;
  int32_t gamesPlayed = 0;            // the member's, the account's or the seat's games
  int32_t initialScore = 0;           // the cycle's score / the account's Score / the seat's Score
  double initialRating = 0;           // the member's, the account's or the seat's rating
  bool accountHasRatedGames = false;  // slot 7: without rated games the account starts at 0
  int accountState = 1;
  int32_t accountBlockRounds = 0;  // rated play: the account's rounds of the current block
};

struct MatchCounters {
  int32_t gamesPlayed = 0;  // "General number of game": every game ever, raised at every deal
  int32_t matchGames = 0;   // games dealt in this match
  int32_t initialScore = 0;
  int32_t matchScore = 0;  // Totals of the local player (position 4)
  double initialRating = 0;
  bool gameOver = false;

  int32_t GeneralScore() const { return initialScore + matchScore; }
};

// The first-deal values for the slot in use: a new player, and an account without rated
// games, start from round 0, score 0 and rating 0.
MatchCounters FirstDealCounters(const MatchStart& start);

// The round within the cycle of 80, shown as 80 when the round number is a multiple of 80.
int32_t RoundInCycle(int32_t gamesPlayed);

struct EndOfRoundButtons {
  bool nextGame = false;    // the action button, reading "Next game"
  bool exitToMenu = false;  // the end-of-game button; GameOver follows it
  friend bool operator==(const EndOfRoundButtons&, const EndOfRoundButtons&) = default;
};

// After a result: local play may stop after any round and must stop after the 80th of a
// cycle; network, club and rated matches run until the round number is a multiple of 4,
// and only the pacing player (host, club seat 1) may go on. Club players other than seat 1
// wait for the server's end message to get the end button.
EndOfRoundButtons EndOfRoundRules(PlayMode mode, int accountState, bool pacer, int32_t gamesPlayed);

// The seven figures of the general-score window, as shown.
struct GeneralScoreFigures {
  std::string roundsInAll;      // every round the player has played
  std::string roundsThisMatch;  // rounds of this match
  std::string scoreAtStart;
  std::string scoreThisMatch;
  std::string scoreInAll;
  std::string ratingAtStart;
  std::string ratingNow;
  friend bool operator==(const GeneralScoreFigures&, const GeneralScoreFigures&) = default;
};

// A rating as the history files write it: two decimals, a comma, right-aligned to 6.
std::string FormatRating(double rating);

// `currentRating` is the rating the match would give now (the rating formula lives with
// the ratings); it is used in local play only.
GeneralScoreFigures ComputeGeneralScore(PlayMode mode, const MatchStart& start,
                                        const MatchCounters& counters, double currentRating);

}  // namespace trilane

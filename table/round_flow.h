#pragma once
// One round from the deal to the result, and the match around it, as a state machine that
// draws nothing and waits for nothing. The same flow runs against the computer, as the host
// or a joiner of direct play and at a club table: the local player's presses and clicks
// come in through OnActionButton and the click entry points, the network layers call the
// Received entry points, and the flow tells a TableView what to show and a StageSender
// what to send.
//
// Positions are table positions 1..4 (4 is the local player); arrays are indexed p - 1.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/arrangement.h"
#include "rules/deck.h"
#include "rules/scoring.h"
#include "table/arranging.h"
#include "table/match.h"
#include "table/table_text.h"
#include "table/table_view.h"

namespace trilane {

// The pacing player's action button stays disabled for this many one-second ticks after
// each stage step, so the other machines keep up.
inline constexpr int kLockTicks = 5;

// Where the shuffled decks come from.
using DeckSource = std::function<Deck()>;
// Decks from one generator seeded once: each shuffle goes on where the last one stopped.
DeckSource SeededDecks(uint32_t seed);

struct TableSetup {
  PlayMode mode = PlayMode::kComputer;
  int ownSeat = 1;  // NetId in direct play (1 the host), the seat at a club table
  int joiners = 0;    // direct play: seated joiners
  bool ruleTwoFour = false;
  bool awaitingFirstDeal = false;  // a joiner seated and not yet dealt
};

// What happened to a received message.
enum class Received : uint8_t {
  kApplied,
  kIgnored,   // not for this machine or this stage (a stale or early message)
  kRejected,  // malformed: wrong position, cards that are not that position's hand
  kDeferred,  // arrived while a transition ran; applied once it has ended
};

// What the end-of-game button decided.
struct EndMatchRequest {
  bool endMatch = false;                  // run the end-of-match sequence with score and rounds
  bool sendClubResult = false;            // club seat 1 sends the totals first
  int32_t score = 0;                      // the match's score (MatchCounters::matchScore)
  int32_t rounds = 0;                     // the match's games (MatchCounters::matchGames)
  std::array<int32_t, 4> totalsBySeat{};  // club seats 1..4 (index s - 1)
};

class RoundFlow {
 public:
  // Against the computer and on the host every deal takes the next deck of `decks` (the
  // caller seeds the shuffle; the flow itself reads no clock).
  RoundFlow(TableView& view, StageSender& sender, DeckSource decks);

  // What happens to a call that arrives while the flow is inside one of its own view or
  // sender calls (a view that ran an event loop, a sender that delivered at once): a
  // message, a tick or a stop waits until the running transition has ended and is then
  // applied; the player's own presses and clicks are dropped. Either way the handler, when
  // set, is told first (tests fail there); without a handler a debug build stops the
  // program and a release build goes on safely.
  using ReentryHandler = std::function<void(std::string_view entryPoint)>;
  void SetReentryHandler(ReentryHandler handler) { reentryHandler_ = std::move(handler); }

  // --- match
  void Configure(const TableSetup& setup);
  void SetJoiners(int joiners);
  void SetSeatName(int position, std::string name);  // UTF-8; trailing blanks not shown
  // Starts a match: the first deal against the computer and on the host, the waiting table
  // of a joiner not yet dealt; at a club table the first deal comes from the server.
  void StartMatch(const MatchStart& start);
  // The end-of-game button ("Exit to menu" once the match may end).
  EndMatchRequest OnEndButton();
  // The general-score window opens: its figures, with the rating the match would give now
  // (the rating formula lives with the ratings; used in local play only).
  GeneralScoreFigures OpenGeneralScore(double currentRating);
  // The hidden face-up toggle of direct play: the other hands are redrawn face up or down.
  void ToggleFaceUp();

  // --- the round: the action button and the one-second tick
  bool OnActionButton();
  void Tick();

  // --- entry points of the network layers (none of them sends anything)
  //
  // What a decoded message becomes:
  //   direct-play deal "b"      DealReceived(deck, rule letter is the "2-4" one)
  //   club deal "b"             ClubDealReceived(deck)
  //   "h1", "h3" .. "h7"        StepReceived(step, sender)
  //   "h2"                      ArrangementReceived(sender, codes)
  //   club "e"                  ClubGameEnded()
  //   club "a" / "T"            ClubPlayerGone()
  //   own time-out, lost link   StopRound()
  // Senders are player numbers (NetId in direct play, the seat at a club table). The
  // pacing player (host, club seat 1) takes only arrangements; everyone else takes steps
  // only from player 1, and each only at the stage it belongs to. A message that does not
  // fit is kIgnored, a malformed one kRejected; neither changes the round.
  Received DealReceived(const Deck& deck, bool ruleTwoFour);  // direct-play joiner
  Received ClubDealReceived(const Deck& deck);
  Received StepReceived(StageStep step, int sender);
  // A player's rows; the pacing player's rows reveal on every other machine.
  Received ArrangementReceived(int sender, const ArrangementCodes& codes);
  void ClubGameEnded();   // the server's end message: the end button may end the match
  void ClubPlayerGone();  // another player left or ran out of time: the round is over
  void StopRound();       // own time-out or lost connection: stage 90

  // --- arranging
  // A click (any button but the right one) on a place of the own rows while arranging.
  enum class Click : uint8_t { kNothing, kSelected, kDeselected, kSwapped };
  Click OnOwnSlotClicked(Slot slot);
  // Two places of the own rows exchanged at once (a dragged card, a scripted player).
  bool SwapSlots(Slot a, Slot b);
  // The card a right click speaks at a place the view found under the pointer: the own
  // hand before arranging, the own rows while arranging, the rows on the table once
  // revealed, every hand after a round settled by special combinations.
  std::optional<Card> CardToSpeak(const CardPlace& place) const;

  // --- state
  RoundStage Stage() const { return stage_; }
  const TableSetup& Setup() const { return setup_; }
  bool IsPacer() const;
  bool IsComputerSeat(int position) const;
  bool Locked() const { return locked_; }
  int ArrangementsReceived() const { return arrangementsReceived_; }
  bool ActionEnabled() const { return actionEnabled_; }
  const TableText& ActionCaption() const { return actionCaption_; }
  bool EndEnabled() const { return endEnabled_; }
  const MatchCounters& Counters() const { return counters_; }
  const Totals& RoundTotals() const { return totals_; }
  const RoundScore& Score() const { return score_; }
  bool SettledBySpecials() const { return settledBySpecials_; }
  const Hands& TableHands() const { return hands_; }
  const Deck& CurrentDeck() const { return deck_; }
  const Arrangement& TableRows(int position) const { return rows_[position - 1]; }
  const TableValues& Values() const { return values_; }
  const Arrangement& OwnRows() const { return own_; }
  Slot SelectedSlot() const { return selected_; }
  bool OwnArrangementLegal() const;
  const std::string& SeatName(int position) const { return seatNames_[position - 1]; }
  bool MatchEnded() const { return matchEnded_; }

 private:
  // The transitions, each run to its end before anything else is taken.
  void NewDeal(bool first, bool countDeal);
  void StartRound();
  bool RevealArrangements(bool send, bool reveal);
  bool RateRow(RowIndex row, bool send);
  bool RateHands(bool send);
  bool ShowResult(bool special, bool send);
  Received StartReceived();
  Received StoreArrangement(int position, const ArrangementCodes& codes);
  void UpdateRowNames();
  void SetJoinersNow(int joiners);
  bool SwapNow(Slot a, Slot b);

  class Scope;
  void ReportReentry(std::string_view entryPoint);
  void RunDeferred();

  void ShowSeatNamePlates();
  void StartLock();
  bool ActionAllowed() const;
  TableText CaptionForStage() const;
  void RefreshButtons();
  void ShowOwn();
  void PlaceInitialRows();
  void ShowRoundPanel();
  int PacerPosition() const;
  bool HoldsPerson(int position) const;

  TableView& view_;
  StageSender& sender_;
  DeckSource decks_;
  ReentryHandler reentryHandler_;
  bool inTransition_ = false;
  std::vector<std::function<void()>> deferred_;

  TableSetup setup_;
  MatchStart start_;
  MatchCounters counters_;
  std::array<std::string, kPositions> seatNames_;
  bool clubFirstDealPending_ = false;
  bool matchStarted_ = false;
  bool matchEnded_ = false;

  RoundStage stage_ = RoundStage::kNone;
  int startPhase_ = 0;
  Deck deck_{};
  Hands hands_{};
  std::array<Arrangement, kPositions> rows_{};
  TableValues values_{};
  std::array<bool, kPositions> received_{};
  int arrangementsReceived_ = 0;
  Arrangement own_{};
  Slot selected_;
  bool ownSent_ = false;
  std::array<Special, kPositions> specials_{};
  RoundScore score_{};
  Totals totals_{};
  bool settledBySpecials_ = false;
  bool locked_ = false;
  int lockTicks_ = 0;
  bool nextAllowed_ = false;  // the round's result: the end-of-round rules' "Next game"
  bool faceUp_ = false;       // the hidden face-up toggle of direct play
  bool pausing_ = false;      // the result pauses: the action button waits

  // What the view shows now, so that a button is only repainted when it changes.
  bool actionEnabled_ = false;
  bool endEnabled_ = false;
  TableText actionCaption_;
  bool buttonsShown_ = false;
};

}  // namespace trilane

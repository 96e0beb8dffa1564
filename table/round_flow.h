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

#include "rules/arrangement.h"
#include "rules/deck.h"
#include "rules/scoring.h"
#include "table/arranging.h"
#include "table/match.h"
#include "table/table_text.h"

namespace trilane {

// RoundStage values.
inline constexpr int kStageDealt = 1;
inline constexpr int kStageArranging = 25;
inline constexpr int kStageRevealed = 26;
inline constexpr int kStageBackRated = 27;
inline constexpr int kStageMiddleRated = 28;
inline constexpr int kStageFrontRated = 29;
inline constexpr int kStageHandsRated = 30;
inline constexpr int kStageRoundOver = 31;
inline constexpr int kStageStopped = 90;  // a club game stopped; the action button does nothing

// The pacing player's action button stays disabled for this many one-second ticks after
// each stage step, so the other machines keep up.
inline constexpr int kLockTicks = 5;

enum class PlateColour : char {
  kBlue = 'b',    // zero
  kGreen = 'g',   // a gain
  kRed = 'r',     // a loss, and "Is ready"
  kYellow = 'y',  // the player's name
  kViolet = 'o',  // a row that earned a strong-row bonus
};

// One small box of a score tablet (Front, Middle, Back points): a value to show, an order
// to blank it, or an order to leave it as it is.
struct TabletBox {
  enum Kind : uint8_t { kKeep, kBlank, kShow } kind = kKeep;
  int32_t value = 0;
  static TabletBox Keep() { return {kKeep, 0}; }
  static TabletBox Blank() { return {kBlank, 0}; }
  static TabletBox Show(int32_t v) { return {kShow, v}; }
  friend bool operator==(const TabletBox&, const TabletBox&) = default;
};
using TabletBoxes = std::array<TabletBox, 3>;  // Front, Middle, Back

// Where a flying card starts or lands.
struct CardPlace {
  enum Area : uint8_t { kHand, kOwnRows } area = kHand;
  int position = 4;  // kHand: the hand's table position
  int slot = 0;      // kHand: hand slot 1..13
  Slot rowSlot;      // kOwnRows: the place in the own rows
  friend bool operator==(const CardPlace&, const CardPlace&) = default;
};

// The round panel: "Game:" over the round within the cycle (or the match at a club table),
// and its hint.
struct RoundPanel {
  TableText heading;
  TableText count;
  TableText hint;
};

// The own rows while arranging: the cards, each row's name (empty text for an empty row)
// and the card picked for a swap.
struct OwnRowsView {
  Arrangement rows;
  std::array<TableText, 3> names;
  Slot selected;
};

class TableView {
 public:
  virtual ~TableView() = default;
  // A new deal: the table is laid out for the mode (the deck image's place, the chat strip
  // and, at a club table, the clock images), plates, hands and rows are cleared.
  virtual void PrepareTable(PlayMode mode) = 0;
  virtual void ShowPlate(int position, const TableText& text, PlateColour colour) = 0;
  virtual void ShowTablet(int position, int32_t total, const TabletBoxes& boxes) = 0;
  virtual void ShowHand(int position, const Hand& hand, bool faceUp) = 0;
  // A text over a position's hand area ("Expectation of the server...").
  virtual void ShowHandText(int position, const TableText& text) = 0;
  virtual void ShowOwnRows(const OwnRowsView& rows) = 0;
  // A position's three rows face up on the table; markedRow 1..3 gets the row mark of the
  // stage being rated (0 none).
  virtual void ShowTableRows(int position, const Arrangement& rows, int markedRow) = 0;
  virtual void ShowRoundPanel(const RoundPanel& panel) = 0;
  virtual void SetActionButton(const TableText& caption, bool enabled) = 0;
  virtual void SetEndButton(const TableText& caption, bool enabled) = 0;
  virtual void PlaySound(std::string_view name) = 0;
  // Paints what changed, then waits without taking input.
  virtual void Pause(int milliseconds) = 0;
  // The card glides from one place to the other; afterwards `from` shows empty.
  virtual void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) = 0;
  // Club tables only: a turn clock at a position, and all clocks cleared and stopped.
  virtual void SetTurnClock(int /*position*/, int /*seconds*/) {}
  virtual void StopTurnClocks() {}
  // A deal is on the table / a round's result is shown (game recording hooks).
  virtual void RoundDealt() {}
  virtual void RoundFinished() {}
};

class StageSender {
 public:
  virtual ~StageSender() = default;
  // Stage messages "h1".."h7"; `own` is the own arrangement for "h2", null otherwise.
  virtual void SendStage(int stage, const Arrangement* own) = 0;
  // The host's deal to every seated joiner.
  virtual void SendDeal(const Deck& deck, bool ruleTwoFour) = 0;
  // The club leader's request for the next deal ("bnext").
  virtual void SendNextDeal() = 0;
};

// The fifteen codes of an arrangement in travel order: Front 1..5, Middle 1..5, Back 1..5.
using ArrangementCodes = std::array<CardCode, 15>;
ArrangementCodes CodesOf(const Arrangement& rows);
// The 30-byte payload of "h2" and its reading; a payload of another length is rejected.
std::string ArrangementPayload(const Arrangement& rows);
std::optional<ArrangementCodes> ParseArrangementPayload(std::string_view payload);

// Where the shuffled decks come from.
using DeckSource = std::function<Deck()>;
// Decks from one generator seeded once: each shuffle goes on where the last one stopped.
DeckSource SeededDecks(uint32_t seed);

struct TableSetup {
  PlayMode mode = PlayMode::kComputer;
  int ownNumber = 1;  // NetId in direct play (1 the host), the seat at a club table
  int joiners = 0;    // direct play: seated joiners
  bool ruleTwoFour = false;
  bool awaitingFirstDeal = false;  // a joiner seated and not yet dealt
};

// What happened to a received message.
enum class Received : uint8_t {
  kApplied,
  kIgnored,   // not for this machine or this stage (a stale or early message)
  kRejected,  // malformed: wrong position, cards that are not that position's hand
};

// What the end-of-game button decided.
struct EndMatchRequest {
  bool endMatch = false;                  // run the end-of-match sequence with score and rounds
  bool sendClubResult = false;            // club seat 1 sends the totals first
  int32_t score = 0;                      // SessionScore
  int32_t rounds = 0;                     // SessionRounds
  std::array<int32_t, 4> totalsBySeat{};  // club seats 1..4 (index s - 1)
};

class RoundFlow {
 public:
  // Against the computer and on the host every deal takes the next deck of `decks` (the
  // caller seeds the shuffle; the flow itself reads no clock).
  RoundFlow(TableView& view, StageSender& sender, DeckSource decks);

  // --- match
  void Configure(const TableSetup& setup);
  void SetJoiners(int joiners);
  void SetSeatName(int position, std::string name);  // UTF-8; trailing blanks not shown
  // Starts a match: the first deal against the computer and on the host, the waiting table
  // of a joiner not yet dealt; at a club table the first deal comes from the server.
  void StartMatch(const MatchStart& start);
  void NewDeal(bool first);
  EndMatchRequest Button8Click();
  TCount GenCountClick(double currentRating);
  // The hidden face-up toggle of direct play: the other hands are redrawn face up or down.
  void ToggleFaceUp();

  // --- the round (Button7 and the stage steps)
  bool OnActionButton();
  void StartRound();
  bool RevealArrangements(bool send, bool reveal);
  bool RateRow(int row, bool send);  // 3 Back, 2 Middle, 1 Front
  bool RateHands(bool send);
  bool ShowResult(bool special, bool send);
  // One tick of the one-second timer during a network or club round.
  void Tick();

  // --- entry points of the network layers (none of them sends anything)
  //
  // What a decoded message becomes:
  //   direct-play deal "b"      DealReceived(deck, rule letter is the "2-4" one)
  //   club deal "b"             ClubDealReceived(deck)
  //   "h1" .. "h7"              StageReceived(stage digit, sender digit, payload of "h2")
  //                             "h1" starts arranging, "h2" stores a player's rows (the
  //                             pacing player's rows reveal), "h3".."h7" rate and show
  //   club "e"                  ClubGameEnded()
  //   club "a" / "T"            ClubPlayerGone()
  //   own time-out, lost link   StopRound()
  // The pacing player (host, club seat 1) takes only "h2"; everyone else takes stage steps
  // only from player 1, and each only at the stage it belongs to. A message that does not
  // fit is kIgnored, a malformed one kRejected; neither changes the round.
  Received DealReceived(const Deck& deck, bool ruleTwoFour);  // direct-play joiner
  Received ClubDealReceived(const Deck& deck);
  // A stage message "h<stage>" from player (NetId or seat) `sender`; the payload is read
  // for "h2" only.
  Received StageReceived(int stage, int sender, std::string_view payload);
  Received StartReceived();  // "h1"
  Received ArrangementReceived(int position, const ArrangementCodes& codes);
  void ClubGameEnded();   // the server's end message: the end button may end the match
  void ClubPlayerGone();  // another player left or ran out of time: the round is over
  void StopRound();       // own time-out or lost connection: stage 90

  // --- arranging
  // A click (any button but the right one) on a place of the own rows at stage 25.
  enum class Click : uint8_t { kNothing, kSelected, kDeselected, kSwapped };
  Click OnOwnSlotClicked(Slot slot);
  bool SwapSlots(Slot a, Slot b);
  void UpdateRowNames();
  // The card a right click would speak at a point of a position's area; the view hands
  // in its geometry (the hand image's width for hands, the grid for rows).
  std::optional<Card> CardToSpeak(int position, int x, int y, const GridGeometry& grid,
                                  int handWidth) const;

  // --- state
  int Stage() const { return stage_; }
  int StartPhase() const { return startPhase_; }
  const TableSetup& Setup() const { return setup_; }
  bool IsPacer() const;
  bool IsComputerSeat(int position) const;
  bool Locked() const { return locked_; }
  int HostLockTicks() const { return lockTicks_; }
  int ArrangementsReceived() const { return arrangementsReceived_; }
  bool ActionEnabled() const { return actionEnabled_; }
  const TableText& ActionCaption() const { return actionCaption_; }
  bool EndEnabled() const { return endEnabled_; }
  const MatchCounters& Counters() const { return counters_; }
  const Totals& RoundTotals() const { return totals_; }
  const RoundScore& Score() const { return score_; }
  const std::array<Special, kPositions>& Specials() const { return specials_; }
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
  void NewDealImpl(bool first, bool countDeal);
  void DealTo(const Hands& hands);
  void ShowSeatNamePlates();
  void StartLock();
  bool ActionAllowed() const;
  TableText CaptionForStage() const;
  void RefreshButtons();
  void ShowOwn();
  void PlaceInitialRows();
  void ShowRoundPanel();
  int LeaderPosition() const;
  bool HoldsPerson(int position) const;

  TableView& view_;
  StageSender& sender_;
  DeckSource decks_;

  TableSetup setup_;
  MatchStart start_;
  MatchCounters counters_;
  std::array<std::string, kPositions> seatNames_;
  bool clubFirstDealPending_ = false;
  bool matchStarted_ = false;
  bool matchEnded_ = false;

  int stage_ = 0;
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
  bool nextAllowed_ = false;  // stage 31: the end-of-round rules' "Next game"
  bool faceUp_ = false;       // the hidden face-up toggle of direct play
  bool pausing_ = false;      // the result pauses: the action button waits

  // What the view shows now, so that a button is only repainted when it changes.
  bool actionEnabled_ = false;
  bool endEnabled_ = false;
  TableText actionCaption_;
  bool buttonsShown_ = false;
};

}  // namespace trilane

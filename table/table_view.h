#pragma once
// The seam between the round flow and what shows it or carries it to other machines: the
// TableView the flow tells what to show, the StageSender it tells what to send, and the
// few value types that travel across it.
//
// The contract of every call on both interfaces: it returns without calling back into the
// flow. A view that wants to take its time (a pause, a card flight) queues the request and
// plays it later; a sender queues bytes. The flow refuses a call made from inside one of
// its own view or sender calls (see RoundFlow's re-entry guard), because every transition
// must run to its end before the next event is looked at.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "rules/arrangement.h"
#include "rules/deck.h"
#include "table/arranging.h"
#include "table/match.h"
#include "table/table_text.h"

namespace trilane {

// Where the round stands. The numbers are the ones the round has always had; they are
// kept so logs and saved transcripts keep reading the same.
enum class RoundStage : uint8_t {
  kNone = 0,        // before the first deal
  kDealt = 1,       // cards dealt, the action button reads "To begin"
  kArranging = 25,  // the own rows are being arranged
  kRevealed = 26,   // every position's rows are on the table
  kBackRated = 27,
  kMiddleRated = 28,
  kFrontRated = 29,
  kHandsRated = 30,
  kRoundOver = 31,  // the result is shown
  kStopped = 90,    // a network or club round was stopped; only a new deal leaves it
};
constexpr int StageNumber(RoundStage stage) {
  return static_cast<int>(stage);
}

// The pacing player's steps as they travel ("h1".."h7").
enum class StageStep : uint8_t {
  kStart = 1,        // "h1": arranging begins
  kArrangement = 2,  // "h2": a player's rows (the pacing player's reveal)
  kRateBack = 3,
  kRateMiddle = 4,
  kRateFront = 5,
  kRateHands = 6,
  kResult = 7,
};
constexpr int StepNumber(StageStep step) {
  return static_cast<int>(step);
}
// 1..7 to a step; nothing for any other number.
std::optional<StageStep> StepFromNumber(int number);

enum class PlateColour : char {
  kBlue = 'b',    // zero
  kGreen = 'g',   // a gain
  kRed = 'r',     // a loss, and "Is ready"
  kYellow = 'y',  // the player's name
  kViolet = 'o',  // a row that earned a strong-row bonus
};

// The program's sounds, at the table and around it; the program's wave resources carry the
// names of SoundResourceName, the one place those names are written.
enum class TableSound : uint8_t {
  kDeal,        // cards dealt
  kOpenWindow,  // a window opens (the general score, the menu's windows)
  kBonus,       // a special combination or a strong-row bonus
  kDing,        // a position's rows shown, a row rated
  kRoundWon,
  kRoundLost,  // also a match lost
  kRoundDrawn,
  kMatchWon,
  kMessage,    // a chat line from another player; an add-on downloaded
  kFailure,    // a game interrupted; a download that failed
  kCycleBest,  // the end-of-cycle verdicts
  kCycleGood,
  kCycleRegrets,
  kClockTick,         // the own turn clock counts down
  kClockLastSeconds,  // ... its last seven seconds
};
std::string_view SoundResourceName(TableSound sound);

// One small box of a score tablet (Front, Middle, Back points, indexed by RowIndex): a
// value to show, an order to blank it, or an order to leave it as it is.
struct TabletBox {
  enum Kind : uint8_t { kKeep, kBlank, kShow } kind = kKeep;
  int32_t value = 0;
  static TabletBox Keep() { return {kKeep, 0}; }
  static TabletBox Blank() { return {kBlank, 0}; }
  static TabletBox Show(int32_t v) { return {kShow, v}; }
  friend bool operator==(const TabletBox&, const TabletBox&) = default;
};
using TabletBoxes = std::array<TabletBox, 3>;

// A card's place on the table: a slot of a position's hand, a place of the own rows while
// arranging, or a place of a position's rows laid out on the table.
struct CardPlace {
  enum Area : uint8_t { kHand, kOwnRows, kTableRows } area = kHand;
  int position = 4;  // table position 1..4 (kOwnRows: always 4)
  int slot = 0;      // kHand: hand slot 1..13
  Slot rowSlot;      // kOwnRows, kTableRows: the place in the rows
  friend bool operator==(const CardPlace&, const CardPlace&) = default;
};

// The round panel: "Game:" over the round within the cycle (or the match at a club table),
// and its hint.
struct RoundPanel {
  TableText heading;
  TableText count;
  TableText hint;
};

// The own rows while arranging: the cards, each row's name (empty text for an empty row;
// indexed by RowIndex) and the card picked for a swap.
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
  // A text over a position's hand area ("Waiting for the server...").
  virtual void ShowHandText(int position, const TableText& text) = 0;
  virtual void ShowOwnRows(const OwnRowsView& rows) = 0;
  // A position's three rows face up on the table; `marked` gets the row mark of the stage
  // being rated.
  virtual void ShowTableRows(int position, const Arrangement& rows,
                             std::optional<RowIndex> marked) = 0;
  virtual void ShowRoundPanel(const RoundPanel& panel) = 0;
  virtual void SetActionButton(const TableText& caption, bool enabled) = 0;
  virtual void SetEndButton(const TableText& caption, bool enabled) = 0;
  virtual void PlaySound(TableSound sound) = 0;
  // What was asked for so far is seen for this long before anything later; the player's
  // clicks and presses are not taken meanwhile. Queued, never waited for here.
  virtual void Pause(int milliseconds) = 0;
  // The card glides from one place to the other; afterwards `from` shows empty. Queued.
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
  // The pacing player's step ("h1", "h3".."h7"); never kArrangement.
  virtual void SendStep(StageStep step) = 0;
  // The own rows ("h2").
  virtual void SendArrangement(const Arrangement& rows) = 0;
  // The host's deal to every seated joiner.
  virtual void SendDeal(const Deck& deck, bool ruleTwoFour) = 0;
  // The club pacer's request for the next deal ("bnext").
  virtual void SendNextDeal() = 0;
};

// The fifteen codes of an arrangement in travel order: Front 1..5, Middle 1..5, Back 1..5.
using ArrangementCodes = std::array<CardCode, 15>;
ArrangementCodes CodesOf(const Arrangement& rows);

}  // namespace trilane

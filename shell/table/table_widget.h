#pragma once
// The table window: the round of the game drawn and played. It implements the round flow's
// TableView as a timeline: every call of the flow is queued and returns at once; pauses and
// card flights are steps played in order by timers; the player's clicks, drags and keys are
// ignored while the timeline plays. The table owns no flow: the program's match owner
// (TableMatch) is made on this table's view and bound with ShowMatch; the table shows the
// owner's current flow and hands the player's input to it.

#include <QSize>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "shell/layout.h"
#include "table/round_flow.h"
#include "table/table_match.h"

namespace trilane {

struct TSettings;
class CardGraphics;
class Sounds;
class NoticeSink;

// Everything the table needs from the program, handed in by the main window. The pointers
// stay owned by the program and must outlive the table.
struct TableServices {
  TSettings* settings = nullptr;  // language, speed, sounds, designs; the speed dialog writes it
  CardGraphics* cards = nullptr;  // faces, backs, background and DrawCard
  Sounds* sounds = nullptr;       // effects and spoken card names
  NoticeSink* notices = nullptr;
};

class TableWidget : public QWidget {
  Q_OBJECT

 public:
  TableWidget(TableServices services, QWidget* parent);
  ~TableWidget() override;

  // Re-lays every element for a window size (1..5; 2 full screen) and the client size the
  // main window has for it.
  void ApplyWindowSize(int windowSize, QSize client);
  // What a match owner needs of the table: the view its flows show themselves on, and the
  // host told when a flow is replaced.
  TableView& View();
  FlowHost& Host();
  // Shows `match`'s flows from now on and hands the player's input to them; `match` must
  // have been made on View() and Host() and must outlive the table's use of it.
  void ShowMatch(TableMatch& match);
  // Plays what the flow asked for so far up to the first pause, without waiting for the
  // event loop (right after a match was started).
  void PlayNow();
  // The player's moves as a script makes them (the demo's autopilot): the own rows take
  // clicks and swaps now; two places exchanged with the card's flight; the action button's
  // state as shown, and a press of it. Refused, like the player's input, while the
  // timeline plays.
  bool OwnRowsActive() const;
  void SwapOwnSlots(Slot a, Slot b);
  bool ActionButtonEnabled() const;
  // The teaching parts, for the popup menu and scripts. While arranging: the computer's
  // arrangement laid out (F2), the last change taken back (Ctrl+Z), two whole rows
  // exchanged (a row's name dragged onto another's). After a result: the review panel of
  // the best rows against the three revealed (F3; a click or Esc closes it).
  void SuggestArrangement();
  void UndoSwap();
  void SwapOwnRows(RowIndex a, RowIndex b);
  void ToggleReview();
  bool CanSuggest() const;
  bool CanUndo() const;
  bool CanReview() const;
  bool ReviewShown() const;
  void PressActionButton();
  // Where the message box lies and the layout of the last size, for what lies over the
  // table (the chat strip of direct play); `laidOut` follows each change.
  QRect MessageBoxArea() const;
  const Layout& TableLayout() const;
  // The language changed: every caption, name and accessible name is written again.
  void Retranslate();

  // The popup menu's table items: "General score" (the general-score window), "Exit to
  // menu" (asks first; on Yes emits leaveRequested) and "Speed" (the flight-speed window).
  void ShowGeneralScore();
  void AskLeaveToMenu();
  void ShowSpeedWindow();

  // True while queued steps (pauses, flights) are still playing; input is ignored then.
  bool TimelineBusy() const;
  // Plays every queued step at once, without waiting (tests, and leaving the table).
  void FinishTimeline();

 signals:
  // The end button ended the match: the program runs the end-of-match sequence, then shows
  // the menu.
  void endMatchRequested(const trilane::EndMatchRequest& request);
  // "Exit to menu" was confirmed in the middle of a match.
  void leaveRequested();
  // A round's result is on the table (counted by the program's demo).
  void roundFinished(int gamesPlayed);
  // A deal is on the table, its cards shown (game recordings start here).
  void roundDealt();
  // ApplyWindowSize has laid every element out anew.
  void laidOut();
  // The timeline has played every queued step (screenshots and tests wait for it).
  void timelineIdle();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // A right click on a card that may be spoken speaks it; anywhere else the event goes on
  // to the main window (its popup menu).
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  friend struct Impl;
};

}  // namespace trilane

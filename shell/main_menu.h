#pragma once
// The main menu: the five member lines of the club file in use, "New Player", the local
// top ten, the options, the history, the display mode and "Exit", with the caption pictures
// and the two card pictures beside the list. It lies over the main window's background and
// draws nothing of its own behind its controls.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>

#include "shell/layout.h"
#include "shell/menu_clocks.h"

class QLabel;

namespace trilane {

struct TSettings;
struct ClubFile;
class QorCardsButton;
class AnimationLabel;

// Recolours the caption pictures for a tint 2..8 (1 and any other value keep the colours).
void TintCaptionPicture(QImage& picture, int tint);

class MainMenu : public QWidget {
  Q_OBJECT

 public:
  MainMenu(const TSettings& settings, QWidget* parent);

  // A full rebuild for the window's layout: places every control, writes every caption in
  // the current language and fills the member lines from `club` (nothing when it could not
  // be read, or null).
  void Build(const Layout& layout, const ClubFile* club);
  // Re-fills the member buttons (the mode or the club file changed).
  void FillMembers(const ClubFile* club);
  // Redraws the caption pictures in the current tint.
  void RefreshCaptions();
  void SetAnimationsRunning(bool running);
  // The options and history windows live in a library of their own; their buttons work
  // once the program has handed them in, and stay greyed before.
  void SetExtraWindowsAvailable(bool options, bool history);

  // The information clock's page (from the web figures the program reads for it).
  void SetInformationFace(const InformationFace& face);

  // The new-message siren on the board's picture (hint "Qor Chat!"), or the board's own
  // animation.
  void SetChatNews(bool news);
  bool ChatNews() const { return chatNews_; }
  // The account indicator "ImAc": the account picture with the lamp of the account's state
  // (1 none, 2 signed in, 3 playing for the rating) at its right, the state's star beside it
  // and the state's hint. Hidden until the program has an account to show.
  void SetAccountIndicator(int state, const QString& hint);
  // Member line 5 as the signed-in account's figures, in red; an empty caption gives the
  // line back to the club file.
  void SetAccountLine(const QString& caption);

  QorCardsButton* MemberButton(int slot) const { return members_[slot - 1]; }
  bool MemberEmpty(int slot) const { return empty_[slot - 1]; }

 signals:
  void memberChosen(int slot);
  void newPlayerChosen();
  void topTenChosen();
  void optionsChosen();
  void historyChosen();
  void modeChosen();
  void exitChosen();
  void captionClicked();
  // The account indicator was clicked.
  void accountChosen();
  // The information clock wants the page of this minute: when the menu is built and in the
  // second 01 of every minute while the clocks are shown.
  void informationWanted(int minute);
  // The web pictures: the online tournament, the world top ten, the statistics, the board.
  void tournamentChosen();
  void worldTopChosen();
  void statsChosen();
  void chatChosen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QorCardsButton* MakeButton(const char* name, bool member);
  void ApplyFonts();
  void PlaceClocks();
  void TickClocks();
  void MakeWebPictures();
  void PlaceWebPictures();
  void TranslateWebPictures();
  bool WebPictureClicked(QObject* watched, QEvent* event);
  void PlaceAccountIndicator();

  const TSettings& settings_;
  Layout layout_;
  std::array<QorCardsButton*, 5> members_{};
  std::array<bool, 5> empty_{};
  std::array<QLabel*, 3> topThree_{};
  QorCardsButton* newPlayer_;
  QorCardsButton* header_;
  QorCardsButton* topTen_;
  QorCardsButton* options_;
  QorCardsButton* exit_;
  QorCardsButton* mode_;
  QorCardsButton* history_;
  bool optionsAvailable_ = false;
  bool historyAvailable_ = false;
  QLabel* caption_;
  QLabel* elite_;
  QLabel* title_;
  AnimationLabel* leftAnimation_;
  AnimationLabel* rightAnimation_;
  TimeClock* timeClock_;
  InformationClock* infoClock_;
  QTimer clockTimer_;
  bool clocksShown_ = false;
  bool minuteAsked_ = false;  // the information page of this second 01 was asked for
  // The web pictures "ImTR", "ImageAdvR2", "ImageAdvR3" and "RxGIFAnChat", and the siren
  // over the board's picture while new messages wait.
  QLabel* tournament_ = nullptr;
  QLabel* worldTop_ = nullptr;
  QLabel* stats_ = nullptr;
  AnimationLabel* chat_ = nullptr;
  AnimationLabel* siren_ = nullptr;
  bool chatNews_ = false;
  QLabel* account_ = nullptr;
  AnimationLabel* accountStar_ = nullptr;
  int accountState_ = 0;      // 0: no indicator
  bool accountLine_ = false;  // member line 5 shows the account
};

}  // namespace trilane

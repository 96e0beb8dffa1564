#pragma once
// The main window of the game: the title screen, the main menu and the card table in one
// window, the settings and the club files behind them, the menu song, and the popup menu.
// The start-up work runs at the first paint; the title screen then waits for a key or a
// click.
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/audio.h"
#include "platform/graphics/card_graphics.h"
#include "platform/graphics/sounds.h"
#include "program/command_line.h"
#include "program/match_end.h"
#include "program/match_mode.h"
#include "program/sign_in.h"
#include "records/settings.h"
#include "shell/layout.h"
#include "shell/notice_window.h"
#include "table/table_match.h"

namespace trilane {

class TitleScreen;
class MainMenu;
class TableWidget;

enum class ScreenState { kTitleScreen, kMainMenu, kTable };

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow(CommandLine commandLine, const QString& programFolder);
  ~MainWindow() override;

  ScreenState Screen() const { return screen_; }
  // The start-up found a missing or broken club file; the window is closing.
  bool StartFailed() const { return startFailed_; }
  bool Initialised() const { return initialised_; }
  TSettings& Settings() { return settings_; }
  // The settings as the file should keep them: this run's --size, --lang and --speed give way
  // to the file's values unless the player picked another value in a window.
  TSettings SettingsToStore();
  TitleScreen* Title() const { return title_; }
  MainMenu* Menu() const { return menu_; }
  TableWidget* Table() const { return table_; }
  // The match on the table (its flow is the one the table shows).
  TableMatch& Match() { return *match_; }
  // Who is playing: 1..5 a member line, 6 a new player; 0 before a match.
  int CurrentSlot() const { return currentSlot_; }
  WindowNotices& Notices() { return notices_; }
  Sounds& SoundEffects() { return sounds_; }
  const QString& ProgramFolderPath() const { return programFolderText_; }

  // The options and history windows, handed in by the program (they live in a library on
  // top of this one). The menu's buttons call them after their sound.
  void SetExtraWindows(std::function<void()> openOptions, std::function<void()> openHistory);
  // After the options changed the record: the language, the window size, the pictures, the
  // fonts, the music and the menu follow it.
  void ReapplySettings();

  // Direct play, handed in by the program (it lives in a library on top of this one): the
  // player window of network play for a member line (1..5) or a new player (6). Once the
  // game is on the table it returns the match's mode, made from `match` (the player and the
  // network club file); nothing when no game came about.
  using DirectPlayOpener =
      std::function<std::unique_ptr<MatchMode>(int slot, const LocalMatchEnd& match)>;
  void SetDirectPlay(DirectPlayOpener open) { openDirectPlay_ = std::move(open); }
  // What the end of a match at `slot` writes on this machine: the club file in use, its
  // protection, the player at the table and the history line's date pattern.
  LocalMatchEnd MatchEndFor(int slot) const;
  // The world windows, the statistics and the message board, handed in by the program (they
  // live in a library on top of this one and read the web service). The main window plays
  // the opening sound before it calls them.
  struct WorldHooks {
    // The world top ten on a category 1..7; `fromMenuPicture` asks for the last of B, C, D.
    std::function<void(int category, bool fromMenuPicture)> openWorldTop;
    std::function<void()> openStats;
    // The board, or the notice that it is paused.
    std::function<void()> openChat;
    // After the end-of-cycle window outside network play: the cycle's world-table entry.
    std::function<void(int64_t cycleScore)> enterCycle;
    // The menu has been entered (the start-up's menu and every way back from a table).
    std::function<void()> menuEntered;
  };
  void SetWorldWindows(WorldHooks hooks);
  // The tournament picture once the player is signed in: the lobby.
  void SetTournamentOpener(std::function<bool()> signedIn, std::function<void()> open);
  // The popup item "Chat" and the board's picture.
  void OpenChat();
  // Writes the settings file now, with this run's command-line choices left as the file
  // had them (a like, a passport).
  bool SaveSettingsNow();
  // The account in use, handed in by the program (the account windows and the web calls
  // live in a library on top of this one). Without it the menu shows no account.
  struct AccountHooks {
    // The start-up checks passed (the first paint): the sign-in from the user file and the
    // start counting. `uncountedCopy`: the club files ask not to be counted.
    std::function<void(bool uncountedCopy)> startUp;
    // The account indicator: the account window.
    std::function<void()> open;
    // Member line 5 while an account is signed in, outside network mode: the rated match's
    // way in (the account window, then the pre-charge). It starts the match itself with
    // StartAccountMatch, perhaps later, once the pre-charge is stored.
    std::function<void()> openRated;
    // The indicator's state (1..3) and hint, and member line 5's caption (empty: the club's).
    std::function<void(MainMenu& menu)> showOnMenu;
    // True when member line 5 belongs to the signed-in account.
    std::function<bool()> ownsLineFive;
  };
  void SetAccountHooks(AccountHooks hooks);
  // Starts the account's own game (slot 7) on the table, from the menu; `mode` ends it.
  void StartAccountMatch(const MatchStart& start, std::unique_ptr<MatchMode> mode);
  // Redraws the menu's account indicator and member line 5.
  void ShowAccountOnMenu();
  // The marker of the club files found at start-up.
  const std::string& ClubMarker() const { return clubMarker_; }

  // A network game that a player interrupted (its message has been shown): back to the menu.
  void EndInterruptedGame();

  // The online tournament's lobby, handed in by the program (it lives in a library on top
  // of this one): the menu's tournament picture opens it.
  void SetClubPlay(std::function<void()> openLobby) { openLobby_ = std::move(openLobby); }
  // The menu's tournament picture.
  void OpenTourney();
  // The first deal of a tournament game: the table shows it; `mode` ends it.
  void ShowClubTable(std::unique_ptr<MatchMode> mode);

  // The screens' actions, as the controls call them.
  void LeaveTitleScreen();
  void OpenMember(int slot);
  void NewPlayer();
  void OpenTopTen();
  void ToggleMode();
  // The end-of-game button ended the match: its files, sounds and windows, then the menu.
  void EndMatch(const EndMatchRequest& request);
  // Closes the program without asking (the demo's end; a measured run).
  void CloseWithoutAsking();
  // Matches against the computer started in this run.
  int MatchesStarted() const { return matchesStarted_; }
  // The popup item "Exit to menu": asks, then leaves the match.
  void QuitToMenu();
  void OpenOptions();
  // The popup item "To change a name": a new name and password for the player at the table.
  void ChangeName();
  void OpenHistory();
  // The help page of the current language in the desktop's browser (F1 and the popup item
  // "Help"). By default the page generated into the program folder's "help" folder; the
  // program or a test may hand in another way to open it.
  void SetHelpOpener(std::function<void()> open) { helpOpener_ = std::move(open); }
  void OpenHelp();

 signals:
  // The start-up checks passed and the title screen is up.
  void started();
  // The title screen's first paint has reached the screen.
  void titleShown();
  // The screen changed (title screen, menu, table).
  void screenChanged(trilane::ScreenState screen);
  // The end of a match has been written and the menu is back.
  void matchEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DeferredInit();
  void ApplyWindowSize();
  void BuildMainMenu();
  void ShowScreen(ScreenState screen);
  void StartMatch(int slot, const SignInResult& player);
  void OpenNetGame(int slot);
  void LeaveMatch();
  // Shows or asks what the match's mode says, step by step; false when the mode handed the
  // end over (the menu comes back later).
  bool PlayEndSteps(MatchEndStep step);
  void BackToMenu();
  void MusicTick();
  void StartSong();
  void StopSong();
  void ResumeSong();
  void PlaySound(TableSound sound);
  bool SaveSettingsOnClose();
  void AddHelpPopupItem(QMenu& menu, const QIcon& helpIcon);
  void AddChatPopupItem(QMenu& menu, const QIcon& chatIcon);
  QSize FullScreenClient() const;

  CommandLine commandLine_;
  std::function<void()> helpOpener_;
  std::filesystem::path programFolder_;
  QString programFolderText_;
  TSettings settings_;
  // The settings file's values that this run's command line replaced: written back at close
  // unless the player picked another value in a window.
  std::optional<RunChoices> runChoices_;

  WindowNotices notices_;
  ResourceLocator locator_;
  CardGraphics cards_;
  Sounds sounds_;
  MidiPlayer midi_;
  bool songLoaded_ = false;

  ScreenState screen_ = ScreenState::kTitleScreen;
  bool firstPaint_ = true;
  bool initialised_ = false;
  bool startFailed_ = false;
  bool clubUnusable_ = false;
  bool clubWriteLock_ = false;
  bool closingConfirmed_ = false;

  WindowGeometry geometry_;
  Layout layout_;
  QImage menuLeft_, menuRight_;

  TitleScreen* title_;
  MainMenu* menu_;
  TableWidget* table_;
  QTimer musicTimer_;

  // The match on the table.
  int currentSlot_ = 0;
  SignInResult player_;
  std::unique_ptr<TableMatch> match_;
  // How the match on the table ends and is left.
  std::unique_ptr<MatchMode> mode_;
  uint32_t seedBase_ = 0;
  int matchesStarted_ = 0;

  bool titleShown_ = false;

  std::function<void()> openOptions_;
  std::function<void()> openHistory_;
  DirectPlayOpener openDirectPlay_;
  WorldHooks world_;
  std::function<bool()> tournamentSignedIn_;
  std::function<void()> openTournament_;
  AccountHooks account_;
  std::string clubMarker_;
  std::function<void()> openLobby_;
};

}  // namespace trilane

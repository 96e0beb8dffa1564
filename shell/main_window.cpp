#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QUrl>
#include <cstdio>

#include "base/rounding.h"
#include "platform/paths.h"
#include "program/club_access.h"
#include "program/match_end.h"
#include "program/startup.h"
#include "records/club_file.h"
#include "shell/about_window.h"
#include "shell/card_look.h"
#include "shell/clock.h"
#include "shell/end_game_window.h"
#include "shell/fonts.h"
#include "shell/main_menu.h"
#include "shell/modal.h"
#include "shell/password_dialog.h"
#include "shell/pictures.h"
#include "shell/table/table_widget.h"
#include "shell/text.h"
#include "shell/title_screen.h"
#include "shell/top_ten_window.h"
#include "words/words.h"

namespace trilane {
namespace {

int R(double v) {
  return static_cast<int>(RoundHalfEvenToInt(v));
}

}  // namespace

MainWindow::MainWindow(CommandLine commandLine, const QString& programFolder)
    : QWidget(nullptr),
      commandLine_(std::move(commandLine)),
      programFolder_(programFolder.toStdString()),
      programFolderText_(programFolder),
      notices_(this),
      locator_(programFolder),
      cards_(locator_, notices_),
      sounds_(locator_, notices_) {
  setObjectName("Form1");
  KeepLargePicturesOutOfTheHeap();
  InstallFontSubstitutes();
  setWindowTitle(FromUtf8(ProductTitle()));
  // The window comes up in the small size with only the title screen; the chosen size is
  // applied when the title screen is left.
  setFixedSize(kBaseWidth, kBaseHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(palette);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);

  title_ = new TitleScreen(this);
  title_->setGeometry(rect());
  connect(title_, &TitleScreen::left, this, &MainWindow::LeaveTitleScreen);

  menu_ = new MainMenu(settings_, this);
  menu_->hide();
  connect(menu_, &MainMenu::memberChosen, this, &MainWindow::OpenMember);
  connect(menu_, &MainMenu::newPlayerChosen, this, &MainWindow::NewPlayer);
  connect(menu_, &MainMenu::topTenChosen, this, &MainWindow::OpenTopTen);
  connect(menu_, &MainMenu::modeChosen, this, &MainWindow::ToggleMode);
  connect(menu_, &MainMenu::exitChosen, this, &QWidget::close);
  connect(menu_, &MainMenu::optionsChosen, this, &MainWindow::OpenOptions);
  connect(menu_, &MainMenu::historyChosen, this, &MainWindow::OpenHistory);
  connect(menu_, &MainMenu::worldTopChosen, this, [this] {
    if (screen_ != ScreenState::kMainMenu || !world_.openWorldTop) return;
    PlaySound(TableSound::kOpenWindow);
    world_.openWorldTop(0, true);
  });
  connect(menu_, &MainMenu::statsChosen, this, [this] {
    if (screen_ != ScreenState::kMainMenu || !world_.openStats) return;
    PlaySound(TableSound::kOpenWindow);
    world_.openStats();
  });
  connect(menu_, &MainMenu::chatChosen, this, &MainWindow::OpenChat);
  connect(menu_, &MainMenu::tournamentChosen, this, [this] {
    if (screen_ != ScreenState::kMainMenu) return;
    PlaySound(TableSound::kOpenWindow);
    // Signed in, the lobby opens once the program has one to hand in.
    if (!tournamentSignedIn_ || !tournamentSignedIn_()) {
      notices_.ShowNotice(NoticeLine{kWordLogInToAccount, {}}, NoticeLine{}, NoticeLine{});
    } else if (openTournament_) {
      openTournament_();
    }
  });
  connect(menu_, &MainMenu::accountChosen, this, [this] {
    if (screen_ != ScreenState::kMainMenu || !account_.open) return;
    PlaySound(TableSound::kOpenWindow);
    account_.open();
    ShowAccountOnMenu();
  });
  // F1 opens the help page on every screen.
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  helpKey->setContext(Qt::WindowShortcut);
  connect(helpKey, &QShortcut::activated, this, &MainWindow::OpenHelp);
  connect(menu_, &MainMenu::captionClicked, this, [this] {
    settings_.CaptionTint = settings_.CaptionTint >= 7 ? 1 : settings_.CaptionTint + 1;
    menu_->RefreshCaptions();
  });

  TableServices services;
  services.settings = &settings_;
  services.cards = &cards_;
  services.sounds = &sounds_;
  services.notices = &notices_;
  table_ = new TableWidget(services, this);
  table_->hide();
  match_ = std::make_unique<TableMatch>(table_->View(), &table_->Host());
  table_->ShowMatch(*match_);
  connect(table_, &TableWidget::endMatchRequested, this, &MainWindow::EndMatch);
  connect(table_, &TableWidget::leaveRequested, this, &MainWindow::LeaveMatch);
  // Whenever the table comes to rest, what it drew and let go goes back to the system.
  connect(table_, &TableWidget::timelineIdle, this, [] { ReturnFreedMemory(); });

  musicTimer_.setInterval(1000);
  connect(&musicTimer_, &QTimer::timeout, this, &MainWindow::MusicTick);

  seedBase_ = commandLine_.seed ? *commandLine_.seed
                                : static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
}

MainWindow::~MainWindow() = default;

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstPaint_) {
    firstPaint_ = false;
    // The start-up work runs once the window is on the screen, right after its first paint
    // (it may show messages, which must not run inside a paint).
    QTimer::singleShot(0, this, &MainWindow::DeferredInit);
  }
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(
      rect(), screen_ == ScreenState::kTitleScreen ? QColor(Qt::black) : WindowColour(settings_));
  if (screen_ == ScreenState::kTitleScreen) return;
  const QImage& background = cards_.BackgroundPicture();
  if (!background.isNull()) painter.drawImage(0, 0, background);
  // The card pictures beside the menu's list rest here while their animations are off.
  if (screen_ == ScreenState::kMainMenu && !background.isNull() && !settings_.GifAnimationOn) {
    const double kx = layout_.Kx(), ky = layout_.Ky();
    const int y = R(290 * ky) + R((ky - 1) * 100);
    if (!menuLeft_.isNull()) painter.drawImage(R(7 * kx) + R((kx - 1) * 80), y, menuLeft_);
    if (!menuRight_.isNull()) painter.drawImage(R(592 * kx) + R((kx - 1) * 80), y, menuRight_);
  }
}

void MainWindow::DeferredInit() {
  // 1. Settings.
  const SettingsRead read = LoadSettings(programFolder_ / kSettingsFileName);
  settings_ = read.settings;
  const TSettings fromFile = settings_;
  if (commandLine_.flightSpeed) settings_.FlightSpeed = *commandLine_.flightSpeed;

  // 2-3. Club files: a missing or broken one closes the program.
  StartupChecks checks = CheckClubFiles(programFolder_);
  if (checks.startInRussian) settings_.LanguageIndex = kRussian;
  if (commandLine_.language) settings_.LanguageIndex = *commandLine_.language;
  if (commandLine_.windowSize) settings_.WindowSize = *commandLine_.windowSize;
  runChoices_.emplace(commandLine_, fromFile, settings_);
  SetLanguageIndex(DisplayLanguage(settings_));
  setWindowTitle(FromUtf8(ProductTitle()));
  // The checks tell the language (line 17 may ask for Russian), so their messages were
  // composed before it was set: once it is, they are composed again in it.
  if (LanguageIndex() != kEnglish) checks = CheckClubFiles(programFolder_);
  if (!checks.ok) {
    startFailed_ = true;
    clubUnusable_ = true;
    // The program ends with status 1; an unattended run (--demo, a script) has nobody to read
    // the box, so the reason goes to the error stream as well.
    QString plain = QString::fromStdString(checks.fatalMessage);
    plain.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    std::fprintf(stderr, "trilane: %s\n", plain.toLocal8Bit().constData());
    std::fflush(stderr);
    ShowError(this, QString::fromStdString(checks.fatalMessage));
    closingConfirmed_ = true;
    close();
    return;
  }
  clubWriteLock_ = checks.writeLock;
  clubMarker_ = checks.marker;
  for (const std::string& warning : checks.warnings)
    ShowError(this, QString::fromStdString(warning));

  // 5. The look: cursor, menu pictures, the window's colour.
  if (settings_.OwnCursor) {
    const QImage arrow = ProgramPng("CURARROW");
    if (!arrow.isNull()) setCursor(QCursor(QPixmap::fromImage(arrow), 1, 1));
  }
  menuLeft_ = ProgramPng("PngMenu1");
  menuRight_ = ProgramPng("PngMenu2");

  // 8. The song of the title screen and the menu starts once the title screen has been
  // painted: loading the synthesiser takes a moment the player should not wait for.
  initialised_ = true;
  title_->installEventFilter(this);
  title_->Prepare();
  title_->setFocus();
  update();
  if (account_.startUp) account_.startUp(clubMarker_ == kQuietMarker);
  emit started();
}

QSize MainWindow::FullScreenClient() const {
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  const QSize work = screen ? screen->availableGeometry().size() : QSize(1280, 800);
  // The work area less the window's frame.
  const QSize frame = frameGeometry().size() - geometry().size();
  return work - frame;
}

void MainWindow::ApplyWindowSize() {
  geometry_ = GeometryForWindowSize(settings_.WindowSize, FullScreenClient());
  layout_ = Layout(geometry_.k);
  setFixedSize(geometry_.client);
  if (const QScreen* screen = this->screen()) {
    const QRect work = screen->availableGeometry();
    move(work.left() + (work.width() - frameGeometry().width()) / 2,
         work.top() + (work.height() - frameGeometry().height()) / 2);
  }
  CardLook look = LookOf(settings_);
  cards_.SetScale(geometry_.k.kc);
  cards_.LoadBackground(settings_.MenuDesign == 1, look, geometry_.client,
                        settings_.WindowSize == kSmallWindow);
  cards_.LoadCardFaces(look);
  cards_.LoadCardBacks(look);
  TakeLook(settings_, look);
  if (settings_.WindowSize != kSmallWindow) settings_.GifRecording = false;
  title_->setGeometry(rect());
  menu_->setGeometry(rect());
  table_->setGeometry(rect());
  table_->ApplyWindowSize(settings_.WindowSize, geometry_.client);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  title_->setGeometry(rect());
  menu_->setGeometry(rect());
  table_->setGeometry(rect());
}

void MainWindow::LeaveTitleScreen() {
  if (screen_ != ScreenState::kTitleScreen || !initialised_) return;
  title_->Stop();
  title_->hide();
  ApplyWindowSize();
  BuildMainMenu();
  ShowScreen(ScreenState::kMainMenu);
  if (world_.menuEntered) world_.menuEntered();
}

void MainWindow::BuildMainMenu() {
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  menu_->Build(layout_, club.get());
  if (account_.showOnMenu) account_.showOnMenu(*menu_);
}

void MainWindow::SetAccountHooks(AccountHooks hooks) {
  account_ = std::move(hooks);
}

void MainWindow::ShowAccountOnMenu() {
  // Line 5 goes back to the club's when the account has left it.
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  menu_->FillMembers(club.get());
  if (account_.showOnMenu) account_.showOnMenu(*menu_);
}

void MainWindow::StartAccountMatch(const MatchStart& start, std::unique_ptr<MatchMode> mode) {
  if (screen_ != ScreenState::kMainMenu) return;
  currentSlot_ = kSlotAccount;
  mode_ = std::move(mode);
  player_ = SignInResult{};
  player_.name = start.name;
  StopSong();
  ShowScreen(ScreenState::kTable);
  match_->StartLocal(start, seedBase_ + static_cast<uint32_t>(matchesStarted_++),
                     settings_.RuleTwoFour);
  table_->PlayNow();
}

void MainWindow::ShowScreen(ScreenState screen) {
  screen_ = screen;
  title_->setVisible(screen == ScreenState::kTitleScreen);
  menu_->setVisible(screen == ScreenState::kMainMenu);
  menu_->SetAnimationsRunning(screen == ScreenState::kMainMenu && settings_.GifAnimationOn);
  table_->setVisible(screen == ScreenState::kTable);
  if (screen == ScreenState::kTable) table_->setFocus();
  update();
  emit screenChanged(screen);
  // The screen left has let go of its pictures; the freed pages go back to the system.
  QTimer::singleShot(0, this, [] { ReturnFreedMemory(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_ && event->type() == QEvent::Paint && !titleShown_) {
    titleShown_ = true;
    // Once this paint has reached the screen.
    QTimer::singleShot(0, this, [this] {
      emit titleShown();
      if (!closingConfirmed_) StartSong();
    });
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::StartSong() {
  songLoaded_ = sounds_.LoadSong(midi_);
  if (settings_.MusicOn && screen_ != ScreenState::kTable) sounds_.PlaySong(true, midi_);
  musicTimer_.start();
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  // A key released anywhere on the title screen leaves it, even before the title has focus.
  if (screen_ == ScreenState::kTitleScreen && initialised_) {
    LeaveTitleScreen();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void MainWindow::PlaySound(TableSound sound) {
  sounds_.PlaySoundRes(SoundResourceName(sound), false, settings_.SoundOn);
}

void MainWindow::OpenMember(int slot) {
  if (screen_ != ScreenState::kMainMenu || slot < 1 || slot > 5 || menu_->MemberEmpty(slot)) return;
  if (settings_.NetMode && openDirectPlay_) return OpenNetGame(slot);
  if (slot == 5 && account_.openRated && account_.ownsLineFive && account_.ownsLineFive()) {
    PlaySound(TableSound::kOpenWindow);
    account_.openRated();
    ShowAccountOnMenu();
    return;
  }
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  if (!club) return;
  const MemberStart member = ReadMemberStart(*club, slot);
  if (member.empty) return;
  PlaySound(TableSound::kOpenWindow);
  PasswordDialog dialog(settings_, slot, member.nameUtf8, member.passwordCode, this);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  StartMatch(slot, dialog.Result());
}

void MainWindow::NewPlayer() {
  if (screen_ != ScreenState::kMainMenu) return;
  if (settings_.NetMode && openDirectPlay_) return OpenNetGame(kSlotNewPlayer);
  PlaySound(TableSound::kOpenWindow);
  PasswordDialog dialog(settings_, kSlotNewPlayer, {}, {}, this);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  StartMatch(kSlotNewPlayer, dialog.Result());
}

void MainWindow::OpenTopTen() {
  if (screen_ != ScreenState::kMainMenu) return;
  PlaySound(TableSound::kOpenWindow);
  // In the purple design the button opens the world window on the local (or network) table.
  if (settings_.AuxPurple && world_.openWorldTop) {
    world_.openWorldTop(settings_.NetMode ? 7 : 6, false);
    return;
  }
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  TopTenWindow window(settings_, club ? TopTenRows(*club) : std::vector<TopTenRow>{},
                      settings_.NetMode, this);
  ExecModal(window);
}

void MainWindow::ToggleMode() {
  if (screen_ != ScreenState::kMainMenu) return;
  PlaySound(TableSound::kOpenWindow);
  settings_.MenuMode = settings_.MenuMode == 2 ? 1 : 2;
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  menu_->FillMembers(club.get());
  if (account_.showOnMenu) account_.showOnMenu(*menu_);
}

void MainWindow::StartMatch(int slot, const SignInResult& player) {
  currentSlot_ = slot;
  player_ = player;
  mode_ = std::make_unique<LocalMatchMode>(MatchEndFor(slot));
  ClubFilePtr club = LoadClubInUse(programFolder_, settings_.NetMode);
  const MatchStart start = MatchStartFor(club.get(), slot, player);
  StopSong();
  ShowScreen(ScreenState::kTable);
  match_->StartLocal(start, seedBase_ + static_cast<uint32_t>(matchesStarted_++),
                     settings_.RuleTwoFour);
  table_->PlayNow();
}

void MainWindow::OpenNetGame(int slot) {
  // The player window, the waiting window and the first deal are direct play's.
  std::unique_ptr<MatchMode> mode = openDirectPlay_(slot, MatchEndFor(slot));
  if (!mode) return;
  mode_ = std::move(mode);
  currentSlot_ = slot;
  StopSong();
  ShowScreen(ScreenState::kTable);
}

void MainWindow::OpenTourney() {
  if (screen_ == ScreenState::kMainMenu && openLobby_) openLobby_();
}

void MainWindow::ShowClubTable(std::unique_ptr<MatchMode> mode) {
  currentSlot_ = kSlotClubGame;
  mode_ = std::move(mode);
  StopSong();
  ShowScreen(ScreenState::kTable);
}

void MainWindow::EndInterruptedGame() {
  if (screen_ != ScreenState::kTable) return;
  table_->FinishTimeline();
  BackToMenu();
}

LocalMatchEnd MainWindow::MatchEndFor(int slot) const {
  LocalMatchEnd match;
  match.programFolder = programFolder_;
  match.netMode = settings_.NetMode;
  match.slot = slot;
  match.name = player_.name;
  match.passwordCode = player_.passwordCode;
  match.clubWriteLock = clubWriteLock_;
  match.datePattern = ShortDatePattern();
  return match;
}

void MainWindow::EndMatch(const EndMatchRequest& request) {
  if (!request.endMatch || screen_ != ScreenState::kTable) return;
  table_->FinishTimeline();
  if (!mode_) mode_ = std::make_unique<LocalMatchMode>(MatchEndFor(currentSlot_));
  if (!PlayEndSteps(mode_->End(request, Now()))) return;
  BackToMenu();
  emit matchEnded();
}

bool MainWindow::PlayEndSteps(MatchEndStep step) {
  using Kind = MatchEndStep::Kind;
  // The mode stays with this loop even if something shown brings the menu back.
  std::unique_ptr<MatchMode> mode = std::move(mode_);
  for (;;) {
    bool answer = true;
    switch (step.kind) {
      case Kind::kDone:
        return true;
      case Kind::kHandedOver:
        mode_ = std::move(mode);
        return false;
      case Kind::kRepeatBooking:
        answer = AskYesNo(this, WordText(kWordCantConnectToServer) + "\n" + WordText(kWordRepeat),
                          false);
        break;
      case Kind::kRepeatEntry:
        answer =
            AskYesNo(this, WordText(kWordCantWriteResult) + " " + WordText(kWordRepeat), false);
        break;
      case Kind::kHistoryNotSaved:
        ShowError(this, WordText(kWordCantSaveHistory));
        break;
      case Kind::kDiskWriteError:
        ShowError(this, WordText(kWordDiskWriteError));
        break;
      case Kind::kSound:
        PlaySound(step.sound);
        break;
      case Kind::kEndOfCycle: {
        EndOfCycle cycle;
        cycle.place = step.cycle.place;
        cycle.cycleScore = step.cycle.cycleScore;
        cycle.net = step.cycle.net;
        cycle.account = step.cycle.account;
        cycle.bonus = step.cycle.bonus;
        sounds_.PlaySoundRes(VerdictSound(VerdictFor(cycle.place)), false, settings_.SoundOn);
        EndGameWindow window(settings_, cycle, this);
        ExecModal(window);
        break;
      }
      case Kind::kEnterWorldCycle:
        if (world_.enterCycle) world_.enterCycle(step.cycle.cycleScore);
        break;
    }
    step = mode->Advance(answer);
  }
}

void MainWindow::LeaveMatch() {
  if (screen_ != ScreenState::kTable) return;
  // The mode lets go of the game first (connections, the tournament seat), then the table
  // finishes what it was showing.
  if (!mode_) mode_ = std::make_unique<LocalMatchMode>(MatchEndFor(currentSlot_));
  const bool charged = mode_->Leave();
  table_->FinishTimeline();
  if (!charged) ShowError(this, WordText(kWordDiskWriteError));
  BackToMenu();
}

void MainWindow::QuitToMenu() {
  // The table asks and, on Yes, reports leaveRequested (LeaveMatch).
  if (screen_ == ScreenState::kTable) table_->AskLeaveToMenu();
}

void MainWindow::ChangeName() {
  if (screen_ != ScreenState::kTable) return;
  PlaySound(TableSound::kOpenWindow);
  PasswordDialog dialog(settings_, kSlotNewPlayer, {}, {}, this);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  const SignInResult& renamed = dialog.Result();
  if (currentSlot_ >= 1 && currentSlot_ <= 5) {
    if (clubWriteLock_ || !RenameMemberLine(programFolder_, settings_.NetMode, currentSlot_,
                                            renamed.name, renamed.passwordCode)) {
      ShowError(this, WordText(kWordDiskWriteError));
      return;
    }
  }
  player_ = renamed;
  if (mode_) mode_->Rename(renamed.name, renamed.passwordCode);
  match_->Rename(renamed.nameUtf8);
  ShowInformation(this, WordText(kWordNameChanged) + QString::fromStdString(renamed.nameUtf8));
}

void MainWindow::SetExtraWindows(std::function<void()> openOptions,
                                 std::function<void()> openHistory) {
  openOptions_ = std::move(openOptions);
  openHistory_ = std::move(openHistory);
  menu_->SetExtraWindowsAvailable(static_cast<bool>(openOptions_), static_cast<bool>(openHistory_));
}

void MainWindow::OpenOptions() {
  if (screen_ != ScreenState::kMainMenu || !openOptions_) return;
  PlaySound(TableSound::kOpenWindow);
  openOptions_();
  ReapplySettings();
}

void MainWindow::OpenHistory() {
  if (screen_ != ScreenState::kMainMenu || !openHistory_) return;
  PlaySound(TableSound::kOpenWindow);
  openHistory_();
}

void MainWindow::ReapplySettings() {
  if (runChoices_) runChoices_->Follow(settings_);
  SetLanguageIndex(DisplayLanguage(settings_));
  setWindowTitle(FromUtf8(ProductTitle()));
  if (settings_.MusicOn) {
    if (!midi_.IsPlaying() && screen_ != ScreenState::kTable) ResumeSong();
  } else {
    sounds_.PlaySong(false, midi_);
  }
  if (screen_ == ScreenState::kTitleScreen) return;
  ApplyWindowSize();
  table_->Retranslate();
  if (screen_ == ScreenState::kMainMenu) BuildMainMenu();
  update();
}

void MainWindow::BackToMenu() {
  currentSlot_ = 0;
  mode_.reset();
  BuildMainMenu();
  ShowScreen(ScreenState::kMainMenu);
  ResumeSong();
  if (world_.menuEntered) world_.menuEntered();
}

void MainWindow::StopSong() {
  if (settings_.MusicOn) sounds_.PlaySong(false, midi_);
  // The table is silent: the synthesiser and its instruments are let go until the menu.
  midi_.Close();
  songLoaded_ = false;
}

void MainWindow::ResumeSong() {
  if (!songLoaded_ && initialised_) songLoaded_ = sounds_.LoadSong(midi_);
  if (settings_.MusicOn) sounds_.PlaySong(true, midi_);
}

void MainWindow::MusicTick() {
  if (!settings_.MusicOn || !songLoaded_ || midi_.IsPlaying()) return;
  if (screen_ == ScreenState::kTable) return;
  sounds_.PlaySong(true, midi_);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (!initialised_ || startFailed_) return;
  QMenu menu(this);
  menu.setObjectName("PopupMenu1");
  const QImage icons = ProgramPng("ILPopup");
  auto icon = [&icons](int index) {
    return QIcon(QPixmap::fromImage(StripFrame(icons, 24, index)));
  };
  const bool atTable = screen_ == ScreenState::kTable;
  QAction* score = menu.addAction(icon(0), WordText(kWordGeneralScore));
  score->setObjectName("GenCount");
  score->setEnabled(atTable);
  connect(score, &QAction::triggered, table_, &TableWidget::ShowGeneralScore);
  QAction* quit = menu.addAction(icon(1), WordText(kWordExitToMenu));
  quit->setObjectName("Quit");
  quit->setEnabled(atTable);
  connect(quit, &QAction::triggered, this, &MainWindow::QuitToMenu);
  QAction* rename = menu.addAction(icon(2), WordText(kWordChangeName));
  rename->setObjectName("ChangeName");
  // The account's game is played under the account's nick.
  rename->setEnabled(atTable && currentSlot_ != kSlotAccount);
  connect(rename, &QAction::triggered, this, &MainWindow::ChangeName);
  // The table that teaches, at the table only: the computer's rows, the last change taken
  // back, the review of a round.
  if (atTable) {
    QAction* suggest = menu.addAction(WordText(kWordSuggest));
    suggest->setObjectName("Suggest");
    suggest->setShortcut(QKeySequence(Qt::Key_F2));
    suggest->setEnabled(table_->CanSuggest());
    connect(suggest, &QAction::triggered, table_, &TableWidget::SuggestArrangement);
    QAction* undo = menu.addAction(WordText(kWordUndoSwap));
    undo->setObjectName("UndoSwap");
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(table_->CanUndo());
    connect(undo, &QAction::triggered, table_, &TableWidget::UndoSwap);
    QAction* review = menu.addAction(WordText(kWordReview));
    review->setObjectName("Review");
    review->setShortcut(QKeySequence(Qt::Key_F3));
    review->setEnabled(table_->CanReview());
    connect(review, &QAction::triggered, table_, &TableWidget::ToggleReview);
  }
  menu.addSeparator();
  QAction* speed = menu.addAction(icon(3), WordText(kWordSpeed));
  speed->setObjectName("MSpeed");
  connect(speed, &QAction::triggered, this, [this] {
    PlaySound(TableSound::kOpenWindow);
    table_->ShowSpeedWindow();
  });
  AddHelpPopupItem(menu, icon(4));
  QAction* about = menu.addAction(icon(5), WordText(kWordAbout));
  about->setObjectName("About");
  connect(about, &QAction::triggered, this, [this] {
    PlaySound(TableSound::kOpenWindow);
    AboutWindow window(settings_, this);
    ExecModal(window);
  });
  AddChatPopupItem(menu, icon(7));
  menu.exec(event->globalPos());
}

void MainWindow::SetWorldWindows(WorldHooks hooks) {
  world_ = std::move(hooks);
}

void MainWindow::SetTournamentOpener(std::function<bool()> signedIn, std::function<void()> open) {
  tournamentSignedIn_ = std::move(signedIn);
  openTournament_ = std::move(open);
}

void MainWindow::OpenChat() {
  if (screen_ == ScreenState::kTitleScreen || !initialised_ || !world_.openChat) return;
  PlaySound(TableSound::kOpenWindow);
  world_.openChat();
}

void MainWindow::AddHelpPopupItem(QMenu& menu, const QIcon& helpIcon) {
  QAction* help = menu.addAction(helpIcon, WordText(kWordHelp));
  help->setObjectName("Help");
  connect(help, &QAction::triggered, this, &MainWindow::OpenHelp);
}

void MainWindow::AddChatPopupItem(QMenu& menu, const QIcon& chatIcon) {
  QAction* chat = menu.addAction(chatIcon, WordText(kWordChat));
  chat->setObjectName("MChat");
  chat->setEnabled(screen_ != ScreenState::kTitleScreen && static_cast<bool>(world_.openChat));
  connect(chat, &QAction::triggered, this, &MainWindow::OpenChat);
}

bool MainWindow::SaveSettingsNow() {
  if (clubUnusable_ || !initialised_) return false;
  return !SaveSettings(programFolder_ / kSettingsFileName, SettingsToStore()).has_value();
}

TSettings MainWindow::SettingsToStore() {
  if (!runChoices_) return settings_;
  runChoices_->Follow(settings_);
  return runChoices_->ToStore(settings_);
}

bool MainWindow::SaveSettingsOnClose() {
  QFile::remove(sounds_.MusicFile());
  if (clubUnusable_) return true;
  const TSettings saved = SettingsToStore();
  return !SaveSettings(programFolder_ / kSettingsFileName, saved).has_value();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (startFailed_ || !initialised_) {
    event->accept();
    return;
  }
  if (screen_ == ScreenState::kTable && !closingConfirmed_) {
    PlaySound(TableSound::kOpenWindow);
    if (!AskYesNo(this, WordText(kWordLeaveGameQuestion) + " " + WordText(kWordDataWillBeLost))) {
      event->ignore();
      return;
    }
  }
  musicTimer_.stop();
  midi_.Stop();
  midi_.Close();
  if (!SaveSettingsOnClose()) ShowError(this, WordText(kWordCantSaveOptions));
  if (screen_ == ScreenState::kTable) {
    table_->FinishTimeline();
    // Closing at the table leaves the match: it costs the member line as leaving does.
    if (!ChargeLeftMatch(MatchEndFor(currentSlot_))) ShowError(this, WordText(kWordDiskWriteError));
  }
  event->accept();
}

void MainWindow::OpenHelp() {
  if (helpOpener_) {
    helpOpener_();
    return;
  }
  // The pages are generated beside the program, one per language; an installed program
  // finds them in its data folder.
  const QString page = HelpPage(QString::fromStdString(programFolder_.string()),
                                InstalledDataFolder(), LanguageIndex());
  if (!QFile::exists(page)) {
    ShowError(this, WordText(kWordCantFindFile) + QLatin1Char('\n') + page);
    return;
  }
  PlaySound(TableSound::kOpenWindow);
  OpenWithShell(QUrl::fromLocalFile(page).toString());
}

void MainWindow::CloseWithoutAsking() {
  closingConfirmed_ = true;
  close();
}

}  // namespace trilane

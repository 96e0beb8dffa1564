// The game: the main window with its title screen, menu and table.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "game_recording.h"
#include "platform/paths.h"
#include "platform/termination.h"
#include "program/command_line.h"
#include "shell/demo_driver.h"
#include "shell/history/history_window.h"
#include "shell/main_window.h"
#include "shell/options/options_window.h"
#include "shell/recording/game_recorder.h"
#ifdef TRILANE_DIRECT_WINDOWS
#include "shell/direct/program_direct_play.h"
#endif
#ifdef TRILANE_WEB_FEED
#include "information_feed.h"
#endif
#ifdef TRILANE_WORLD_WINDOWS
#include "shell/modal.h"
#include "shell/world/online_top_window.h"
#include "shell/world/program_world.h"
#endif
#ifdef TRILANE_ACCOUNT_WINDOWS
#include "shell/account/account_program.h"
#include "shell/account/passport_window.h"
#endif
#ifdef TRILANE_TOURNEY_WINDOWS
#include "shell/tourney/tourney_front.h"
#endif

int main(int argc, char** argv) {
  // The help and the version need no display: they are answered before the window system
  // is opened.
  if (trilane::AsksForHelp(std::vector<std::string>(argv + 1, argv + argc))) {
    std::fputs(trilane::CommandLineHelp().c_str(), stdout);
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--version") {
      std::printf("trilane %s\n", TRILANE_VERSION);
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Trilane");
  trilane::InitAssets();

  // Qt has taken its own options out of argv; the rest are the game's.
  std::vector<std::string> args;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  const trilane::CommandLine commandLine = trilane::ParseCommandLine(args);
  if (!commandLine.error.empty()) {
    std::fprintf(stderr, "trilane: %s\n%s", commandLine.error.c_str(),
                 trilane::CommandLineUsage().c_str());
    return 2;
  }

  trilane::MainWindow window(commandLine, trilane::ProgramFolder());
  // Asked to end from outside (a logout, Ctrl+C): the window closes as after "Exit" but
  // without the question, so the settings and the club file are kept, and the loop of any
  // open dialog ends with the program's.
  trilane::OnTerminationRequest(&window, [&window] {
    window.CloseWithoutAsking();
    QCoreApplication::exit(0);
  });
  // --demo, --screenshot-dir and --measure: the window owns the driver.
  new trilane::DemoDriver(window, commandLine);
  window.SetExtraWindows(
      [&window] {
        trilane::OptionsServices services;
        services.locator = trilane::ResourceLocator(window.ProgramFolderPath());
        services.notices = &window.Notices();
        services.sounds = &window.SoundEffects();
        // Every change shows at once on the menu behind the options window.
        trilane::OpenOptionsWindow(
            window.Settings(), services, &window, [&window](trilane::OptionsWindow& options) {
              QObject::connect(&options, &trilane::OptionsWindow::settingChanged, &window,
                               [&window] { window.ReapplySettings(); });
#ifdef TRILANE_ACCOUNT_WINDOWS
              QObject::connect(&options, &trilane::OptionsWindow::passportRequested, &options,
                               [&window, &options] {
                                 trilane::OpenPassportWindow(window.Settings(), &options);
                               });
#endif
            });
      },
      [&window] {
        trilane::OpenHistoryWindow(window.Settings(), window.ProgramFolderPath(), &window);
      });
#ifdef TRILANE_DIRECT_WINDOWS
  const auto directPlay = trilane::OfferDirectPlay(window);
#endif
#ifdef TRILANE_WEB_FEED
  trilane::FeedInformationClock(*window.Menu());
#endif
#ifdef TRILANE_WORLD_WINDOWS
  const auto worldWindows = trilane::OfferWorldWindows(window);
#endif
#ifdef TRILANE_ACCOUNT_WINDOWS
  // The account: the sign-in at start-up, the menu's indicator and line 5, rated matches.
  trilane::AccountProgram& accounts = trilane::OfferAccounts(window);
#ifdef TRILANE_WEB_FEED
  trilane::SetInformationAccount([&accounts] {
    return accounts.Account().SignedIn() ? accounts.Account().User().Nick : std::string();
  });
#endif
#endif
#ifdef TRILANE_TOURNEY_WINDOWS
  // The online tournament: the menu's tournament picture opens the lobby for a signed-in
  // account and asks anyone else to sign in first.
  trilane::tourney::TourneyContext tourney;
  tourney.window = &window;
#ifdef TRILANE_ACCOUNT_WINDOWS
  tourney.signedIn = [&accounts]() -> std::optional<trilane::web::TQorUser> {
    if (!accounts.Account().SignedIn()) return std::nullopt;
    return accounts.Account().User();
  };
#endif
#ifdef TRILANE_WORLD_WINDOWS
  tourney.openTopTen = [&worldWindows](QWidget* parent) {
    trilane::OnlineTopWindow topTen(worldWindows->Services(), parent);
    trilane::ExecModal(topTen);
  };
#endif
  const auto tourneyFront = trilane::tourney::OfferTourney(std::move(tourney));
#endif
#if defined(TRILANE_WORLD_WINDOWS) && defined(TRILANE_ACCOUNT_WINDOWS)
  // The world windows' passport buttons open the passport; the account's table, the online
  // top ten and the tournament picture follow the signed-in account.
  worldWindows->Services().openPassport = [&window](QWidget* parent) {
    trilane::PassportWindow passport(window.Settings(), parent);
    trilane::ExecModal(passport);
    return true;
  };
  worldWindows->Services().account = [&accounts]() -> std::optional<trilane::WorldIdentity> {
    if (!accounts.Account().SignedIn()) return std::nullopt;
    const auto& user = accounts.Account().User();
    return trilane::WorldIdentity{user.Nick, user.City, user.Country2, std::string(1, user.Sex)};
  };
#ifdef TRILANE_TOURNEY_WINDOWS
  window.SetTournamentOpener([&accounts] { return accounts.Account().SignedIn(); },
                             [&window] { window.OpenTourney(); });
#else
  window.SetTournamentOpener([&accounts] { return accounts.Account().SignedIn(); }, {});
#endif
#endif
  // Game recordings: each game from its deal to its result, also a game left or cut short
  // by closing the program; the recorder reads the setting at every deal.
  trilane::GameRecorder recorder(window.Settings(), window.ProgramFolderPath());
  trilane::RecordGames(app, *window.Table(), recorder);

  window.show();
  const int status = app.exec();
  return window.StartFailed() ? 1 : status;
}

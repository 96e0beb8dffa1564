// The game: the main window with its title screen, menu and table.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "game_recording.h"
#include "platform/paths.h"
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
#ifdef TRILANE_ACCOUNT_WINDOWS
#include "shell/account/account_program.h"
#include "shell/account/passport_window.h"
#endif

int main(int argc, char** argv) {
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
#ifdef TRILANE_ACCOUNT_WINDOWS
  // The account: the sign-in at start-up, the menu's indicator and line 5, rated matches.
  trilane::AccountProgram& accounts = trilane::OfferAccounts(window);
#ifdef TRILANE_WEB_FEED
  trilane::SetInformationAccount([&accounts] {
    return accounts.Session().SignedIn() ? accounts.Session().User().Nick : std::string();
  });
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

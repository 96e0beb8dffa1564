#include "shell/world/program_world.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include "program/world_rules.h"
#include "records/settings.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/world/chat_window.h"
#include "shell/world/server_write_window.h"
#include "shell/world/stat_window.h"
#include "shell/world/world_top_window.h"
#include "web/curl_transport.h"
#include "words/word_entries.h"

namespace trilane {

ChatCheck CheckChat(web::WebClient& client, const std::filesystem::path& programFolder) {
  ChatCheck check;
  // The board first: while it cannot be read there is nothing to compare, and the shared
  // folder above the program gets no file from a program that never reached the board.
  const BoardRead board = ReadBoard(client);
  check.read = !board.failed;
  check.newest = board.Newest();
  if (check.read) check.lastSeen = LoadChatSettings(ChatSettingsPath(programFolder)).lastSeen;
  return check;
}

WorldWiring::WorldWiring(MainWindow& window)
    : QObject(nullptr),
      window_(window),
      services_(window.Settings(), window.ProgramFolderPath().toStdString(), &window.SoundEffects(),
                &window.Notices()) {
  services_.saveSettings = [this] { return window_.SaveSettingsNow(); };
  calendar_.setInterval(kCalendarTickMs);
  connect(&calendar_, &QTimer::timeout, this, &WorldWiring::CalendarTick);
  calendar_.start();
}

WorldWiring::~WorldWiring() {
  // The window may outlive the wiring: its pictures then do nothing.
  window_.SetWorldWindows({});
}

void WorldWiring::CalendarTick() {
  // While new messages wait, the siren already says so: no need to ask again.
  if (news_) return;
  if (++calendarTicks_ < kChatCheckTicks) return;
  calendarTicks_ = 0;
  CheckChatNow();
}

void WorldWiring::CheckChatNow() {
  if (checking_) return;
  checking_ = true;
  std::optional<web::ServiceAddresses> known;
  if (services_.HasAddresses()) known = services_.Addresses();
  const std::filesystem::path folder = services_.ProgramFolder();
  const TSettings settings = services_.Settings();
  struct Outcome {
    web::ServiceAddresses addresses;
    ChatCheck check;
  };
  auto* watcher = new QFutureWatcher<Outcome>(this);
  connect(watcher, &QFutureWatcher<Outcome>::finished, this, [this, watcher] {
    checking_ = false;
    const Outcome outcome = watcher->result();
    watcher->deleteLater();
    if (!services_.HasAddresses()) services_.UseAddresses(outcome.addresses);
    ChatChecked(outcome.check);
  });
  watcher->setFuture(QtConcurrent::run([known, folder, settings]() -> Outcome {
    web::CurlTransport transport;
    Outcome outcome;
    outcome.addresses =
        known ? *known
              : web::ChooseAddresses(transport, &settings, web::WebClient::kRecordsReadTimeout);
    // A paused board is not asked.
    if (!outcome.addresses.chatAvailable) return outcome;
    web::WebClient client(transport, outcome.addresses);
    client.SetReadTimeout(web::WebClient::kRecordsReadTimeout);
    outcome.check = CheckChat(client, folder);
    return outcome;
  }));
}

void WorldWiring::ChatChecked(const ChatCheck& check) {
  if (check.read) newest_ = check.newest;
  if (check.NewMessages() && !chatOpen_) {
    news_ = true;
    window_.Menu()->SetChatNews(true);
    services_.PlaySound(TableSound::kMessage);
    // A player at the table who asked for it gets the board at once.
    const ChatSettings options = LoadChatSettings(ChatSettingsPath(services_.ProgramFolder()));
    if (window_.Screen() == ScreenState::kTable && options.openOnNew) window_.OpenChat();
  }
  emit chatChecked(check.NewMessages());
}

void WorldWiring::OpenWorldTop(int category, bool fromMenuPicture) {
  if (!services_.Addresses().worldTopAvailable) {
    services_.Notice(kWordWorldTopUnavailable);
    return;
  }
  const WorldCategory start = fromMenuPicture ? WorldPictureCategory(services_.lastCategory)
                                              : static_cast<WorldCategory>(category);
  WorldTopWindow window(services_, start, !services_.GraphicsLibraryPresent(), &window_);
  ExecModal(window);
}

void WorldWiring::OpenStats() {
  StatWindow window(services_, &window_);
  ExecModal(window);
}

void WorldWiring::OpenChat() {
  if (chatOpen_) return;
  if (!services_.Addresses().chatAvailable) {
    services_.Notice(kWordChatUnavailable);
    return;
  }
  // Every message on the board now counts as seen; the window still marks those above the
  // number seen before.
  const std::filesystem::path path = ChatSettingsPath(services_.ProgramFolder());
  ChatSettings options = LoadChatSettings(path);
  const int64_t lastRead = options.lastSeen;
  if (newest_ > options.lastSeen) {
    options.lastSeen = newest_;
    SaveChatSettings(path, options);
  }
  window_.Menu()->SetChatNews(false);
  chatOpen_ = true;
  ChatWindow window(services_, lastRead, &window_);
  ExecModal(window);
  chatOpen_ = false;
  news_ = false;
  calendarTicks_ = 0;
}

void WorldWiring::EnterCycle(int64_t cycleScore) {
  ServerWriteWindow window(services_, cycleScore, &window_);
  ExecModal(window);
}

std::unique_ptr<WorldWiring> OfferWorldWindows(MainWindow& window) {
  auto wiring = std::make_unique<WorldWiring>(window);
  WorldWiring* w = wiring.get();
  MainWindow::WorldHooks hooks;
  hooks.openWorldTop = [w](int category, bool fromPicture) {
    w->OpenWorldTop(category, fromPicture);
  };
  hooks.openStats = [w] { w->OpenStats(); };
  hooks.openChat = [w] { w->OpenChat(); };
  hooks.enterCycle = [w](int64_t score) { w->EnterCycle(score); };
  hooks.menuEntered = [w] { w->CheckChatNow(); };
  window.SetWorldWindows(std::move(hooks));
  return wiring;
}

}  // namespace trilane

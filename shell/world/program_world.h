#pragma once
// The world windows wired into the main window: the menu's world top ten, statistics and
// board pictures, the purple "Top Ten", the popup item "Chat", the cycle's world-table entry
// after the end-of-cycle window, and the board's watch for new messages (when the menu is
// entered and every 90 ticks of a ten-second calendar timer while none is pending).
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "shell/world/world_services.h"

namespace trilane {

class MainWindow;

// What the new-message check found: the board's newest number and the last one seen.
struct ChatCheck {
  bool read = false;  // the board could be read
  int64_t newest = 0;
  int64_t lastSeen = 0;
  bool NewMessages() const { return read && lastSeen < newest; }
};
// Reads the board and, when it could be read, the chat settings file (creating it when
// missing).
ChatCheck CheckChat(web::WebClient& client, const std::filesystem::path& programFolder);

class WorldWiring : public QObject {
  Q_OBJECT

 public:
  explicit WorldWiring(MainWindow& window);
  ~WorldWiring() override;

  WorldServices& Services() { return services_; }
  // The board's watch: runs the check now on a worker thread, so the menu never waits for
  // the service; a check asked while one runs is dropped.
  void CheckChatNow();
  bool NewMessages() const { return news_; }
  bool ChatOpen() const { return chatOpen_; }

  void OpenWorldTop(int category, bool fromMenuPicture);
  void OpenStats();
  void OpenChat();
  void EnterCycle(int64_t cycleScore);

 signals:
  // A check has been handled (tests wait for it).
  void chatChecked(bool newMessages);

 private:
  void CalendarTick();
  void ChatChecked(const ChatCheck& check);

  MainWindow& window_;
  WorldServices services_;
  QTimer calendar_;
  int calendarTicks_ = 0;
  bool checking_ = false;
  bool news_ = false;
  bool chatOpen_ = false;
  int64_t newest_ = 0;
};

// Hands the world windows to the main window; the wiring lives as long as the window.
std::unique_ptr<WorldWiring> OfferWorldWindows(MainWindow& window);

// The ticks of the calendar timer between two checks, and the tick's length.
inline constexpr int kChatCheckTicks = 90;
inline constexpr int kCalendarTickMs = 10000;

}  // namespace trilane

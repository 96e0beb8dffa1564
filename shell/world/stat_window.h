#pragma once
// The world statistics of the game: ten rows of counters from the statistics script, the
// note since which version they are kept, and "I like this game!", which a player sends
// once, under a passport name.
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "program/world_reads.h"
#include "shell/aux_window.h"
#include "shell/world/world_services.h"

namespace trilane {

class QorCardsButton;

class StatWindow : public AuxWindow {
  Q_OBJECT

 public:
  StatWindow(WorldServices& services, QWidget* parent);

  // The like: asks for a name first while the passport's nick is the default one. True when
  // the service took it.
  bool Like();
  const StatisticsRead& Shown() const { return read_; }
  QorCardsButton* LikeButton() const { return like_; }

  // Asks for a name (UTF-8); nothing when the player cancels. Tests replace it.
  std::function<std::optional<QString>(const QString& prompt)> askName;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WorldServices& services_;
  StatisticsRead read_;
  QorCardsButton* like_;
  QorCardsButton* close_;
};

// The default nick of the passport, which a like may not be sent with.
inline constexpr char kDefaultPassportNick[] = "Incognito";

}  // namespace trilane

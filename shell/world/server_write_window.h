#pragma once
// The entry of a finished cycle into this program's world table, for a player without an
// account: the cycle's score and the passport it is sent with, "Send", and the place the
// table gives it.
#include <cstdint>
#include <optional>

#include "shell/aux_window.h"
#include "shell/world/world_services.h"

namespace trilane {

class QorCardsButton;

class ServerWriteWindow : public AuxWindow {
  Q_OBJECT

 public:
  ServerWriteWindow(WorldServices& services, int64_t cycleScore, QWidget* parent);

  // Sends the entry; true when the table took it (the place is then shown).
  bool Send();
  std::optional<int64_t> Place() const { return place_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WorldServices& services_;
  int64_t cycleScore_;
  std::optional<int64_t> place_;
  QorCardsButton* send_;
  QorCardsButton* passport_;
  QorCardsButton* close_;
};

}  // namespace trilane

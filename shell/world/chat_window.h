#pragma once
// The message board shared by the maker's games: the ten messages the service returns, one
// row of 50 pixels each, a field to write in with its send picture, the passport the
// messages go out under, and the two options the chat settings file keeps.
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <filesystem>

#include "program/world_rules.h"
#include "shell/aux_window.h"
#include "shell/world/world_services.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace trilane {

class QorCardsButton;

// The board as read: ten records, newest first; `failed` when it could not be read.
struct BoardRead {
  bool failed = true;
  web::RecordList records{};
  // The highest message number on the board (the first record's), 0 when empty.
  int64_t Newest() const;
};
BoardRead ReadBoard(web::WebClient& client);

// The header line of a message: city, the stamp with blanks, the version, the nick (UTF-8).
QString MessageHeader(const web::TQorRecord& record);

class ChatWindow : public AuxWindow {
  Q_OBJECT

 public:
  // `lastRead`: the newest message number the player had seen before this opening; the
  // messages above it carry the "new" mark.
  ChatWindow(WorldServices& services, int64_t lastRead, QWidget* parent);

  // Posts the field's text; true when the board took it.
  bool Send();
  // Reads the board again and draws it.
  void Reload();
  // The input field may be used only under a valid passport.
  bool InputAllowed() const;

  const BoardRead& Board() const { return board_; }
  const ChatSettings& Options() const { return options_; }
  QLineEdit* Input() const { return input_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tick();
  void CheckPassport();
  void DrawBoard();
  void SaveOptions();

  WorldServices& services_;
  std::filesystem::path settingsPath_;
  ChatSettings options_;
  int64_t lastRead_;
  BoardRead board_;
  QImage picture_;
  QLineEdit* input_;
  QLabel* send_;
  QCheckBox* lastAtBottom_;
  QCheckBox* openOnNew_;
  QorCardsButton* passport_;
  QorCardsButton* close_;
  QTimer timer_;
  QImage sendUp_, sendDown_, newMark_;
};

}  // namespace trilane

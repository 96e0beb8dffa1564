#include "shell/direct/direct_play_front.h"

#include <QGridLayout>
#include <QLayoutItem>
#include <QLineEdit>

#include "program/club_access.h"
#include "program/net_match_end.h"
#include "records/settings.h"
#include "shell/direct/chat_panel.h"
#include "shell/layout.h"
#include "shell/modal.h"
#include "shell/table/table_widget.h"

namespace trilane {

namespace {

// Names at a network table travel as four characters.
constexpr int kNetNameCharacters = 4;
// The player window grows by the network fields.
constexpr int kPlayerBodyWidth = 340;
constexpr int kPlayerBodyHeight = 230;
constexpr int kNetFieldsHeight = 300;

}  // namespace

NetPlayerDialog::NetPlayerDialog(TSettings& settings, int slot, const std::string& memberName,
                                 const std::string& storedCode, OpenTable open, QWidget* parent)
    : PasswordDialog(settings, slot, memberName, storedCode, parent), open_(std::move(open)) {
  if (auto* name = findChild<QLineEdit*>("Edit1"); name != nullptr && !name->isReadOnly()) {
    name->setMaxLength(kNetNameCharacters);
    name->setText(name->text().left(kNetNameCharacters));
    name->selectAll();
  }
  fields_ = new NetworkFieldsPanel(settings, Body());
  fields_->SetOutsideAddressSource(ServiceOutsideAddress());
  // The fields go between the password rows and the window's buttons.
  if (auto* grid = qobject_cast<QGridLayout*>(Body()->layout())) {
    const int last = grid->rowCount() - 1;
    if (QLayoutItem* buttons = grid->itemAtPosition(last, 0)) {
      grid->takeAt(grid->indexOf(buttons));
      grid->addWidget(fields_, last, 0);
      grid->addItem(buttons, last + 1, 0);
    } else {
      grid->addWidget(fields_, last + 1, 0);
    }
  }
  SetBodySize(kPlayerBodyWidth, kPlayerBodyHeight + kNetFieldsHeight);
}

void NetPlayerDialog::done(int result) {
  if (result != QDialog::Accepted) {
    PasswordDialog::done(result);
    return;
  }
  // The name and password have passed; now the network fields, then the waiting window.
  const std::optional<NetChoice> choice = fields_->Accept();
  if (!choice) return;
  QString error;
  if (!open_ || !open_(Result(), *choice, &error)) {
    if (!error.isEmpty()) fields_->ShowFault(NetFieldFault::kIncorrectPort, error);
    return;
  }
  PasswordDialog::done(result);
}

DirectPlayFront::DirectPlayFront(DirectPlayContext window, QObject* parent)
    : QObject(parent), w_(std::move(window)) {
  // The chat strip follows the table's message box at every window size.
  if (w_.table != nullptr) connect(w_.table, &TableWidget::laidOut, this, [this] { PlaceChat(); });
}

DirectPlayFront::~DirectPlayFront() = default;

bool DirectPlayFront::OpenPlayerWindow(int slot) {
  if (w_.settings == nullptr) return false;
  std::string memberName, storedCode;
  if (slot >= 1 && slot <= 5) {
    ClubFilePtr club = LoadClubInUse(w_.programFolder, true);
    if (!club) return false;
    const MemberStart member = ReadMemberStart(*club, slot);
    if (member.empty) return false;
    memberName = member.nameUtf8;
    storedCode = member.passwordCode;
  }
  if (w_.playSound) w_.playSound(SoundResourceName(TableSound::kOpenWindow));
  slot_ = slot;
  NetPlayerDialog dialog(
      *w_.settings, slot, memberName, storedCode,
      [this](const SignInResult& player, const NetChoice& choice, QString* error) {
        return OpenTable(player, choice, error);
      },
      w_.window);
  if (ExecModal(dialog) != QDialog::Accepted || !connection_) return false;
  if (w_.showTable) w_.showTable();
  return true;
}

MatchStart DirectPlayFront::StartFor(const SignInResult& player) const {
  ClubFilePtr club;
  if (slot_ >= 1 && slot_ <= 5) club = LoadClubInUse(w_.programFolder, true);
  return MatchStartFor(club.get(), slot_, player);
}

bool DirectPlayFront::OpenTable(const SignInResult& player, const NetChoice& choice,
                                QString* error) {
  if (connection_) EndConnection();
  DirectPlayServices services;
  services.match = w_.match;
  services.seed = w_.seed;
  services.playSound = w_.playSound;
  connection_ = std::make_unique<DirectPlayConnection>(services);
  connection_->SetTickInterval(tickMs_);
  player_ = player;
  const bool go =
      WaitForTable(*connection_, *w_.settings, choice, StartFor(player), w_.window, error);
  if (!go) {
    DisposeConnection();
    return false;
  }

  chat_ = new ChatPanel(*w_.settings, w_.table);
  PlaceChat();
  chat_->SetChatEnabled(connection_->ChatAllowed());
  chat_->show();
  chat_->raise();
  DirectPlayConnection* connection = connection_.get();
  connect(connection, &DirectPlayConnection::chatLine, chat_,
          [this](int writer, const QString& text, bool) { chat_->AddLine(writer, text); });
  connect(connection, &DirectPlayConnection::chatAllowedChanged, chat_, &ChatPanel::SetChatEnabled);
  connect(chat_, &ChatPanel::sendRequested, connection, &DirectPlayConnection::SendChat);
  connect(chat_, &ChatPanel::typedAtSendButton, connection,
          &DirectPlayConnection::TypeAtSendButton);
  connect(chat_, &ChatPanel::sendButtonFocusChanged, connection,
          &DirectPlayConnection::SendButtonFocusChanged);
  connect(connection, &DirectPlayConnection::gameInterrupted, this, [this](const QString& message) {
    ShowError(w_.window, message);
    EndConnection();
    if (w_.backToMenu) w_.backToMenu();
  });
  return true;
}

void DirectPlayFront::PlaceChat() {
  if (chat_ == nullptr || w_.table == nullptr || w_.settings == nullptr) return;
  chat_->Place(w_.table->MessageBoxArea(), w_.table->TableLayout(),
               w_.settings->WindowSize == kSmallWindow);
}

LocalMatchEndOutcome DirectPlayFront::FinishMatch(LocalMatchEnd match) {
  NetMatchEnd end;
  end.match = std::move(match);
  end.match.programFolder = w_.programFolder;
  end.match.netMode = true;
  end.match.slot = slot_;
  end.match.name = player_.name;
  end.match.passwordCode = player_.passwordCode;
  if (connection_) end.players = connection_->PlayerNames();
  const LocalMatchEndOutcome outcome = FinishNetMatch(end);
  EndConnection();
  return outcome;
}

void DirectPlayFront::Leave() {
  EndConnection();
}

void DirectPlayFront::EndConnection() {
  if (chat_ != nullptr) {
    chat_->hide();
    chat_->deleteLater();
    chat_ = nullptr;
  }
  DisposeConnection();
}

void DirectPlayFront::DisposeConnection() {
  if (!connection_) return;
  connection_->Leave();
  // This may run inside one of the connection's own signals: it goes once that has returned
  // (or with this front, whichever comes first).
  DirectPlayConnection* old = connection_.release();
  old->setParent(this);
  old->deleteLater();
}

}  // namespace trilane

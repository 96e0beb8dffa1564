#include "shell/direct/wait_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/animation_label.h"
#include "shell/modal.h"
#include "words/word_entries.h"

namespace trilane {

namespace {

constexpr int kSeatedLineEntries[] = {kWordSecondPlayerConnected, kWordThirdPlayerConnected,
                                      kWordFourthPlayerConnected};

}  // namespace

WaitWindow::WaitWindow(const TSettings& settings, Role role, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordWaitCaption), 300, 34}, parent), role_(role) {
  setObjectName("FormWait");
  setWindowTitle(WordText(kWordWaitCaption));

  auto* column = new QVBoxLayout(Body());
  column->setContentsMargins(16, 10, 16, 12);
  column->setSpacing(4);
  auto* top = new QHBoxLayout;
  animation_ = new AnimationLabel("GClubG", Body());
  animation_->setFixedSize(64, 64);
  animation_->setScaledContents(true);
  top->addWidget(animation_, 0, Qt::AlignTop);
  state_ = new QLabel(Body());
  state_->setObjectName("Label1");
  state_->setWordWrap(true);
  top->addWidget(state_, 1);
  column->addLayout(top);
  for (size_t i = 0; i < seated_.size(); ++i) {
    auto* line = new QLabel(WordText(kSeatedLineEntries[i]), Body());
    line->setObjectName(QString("Label%1").arg(i + 2));
    line->setVisible(false);
    column->addWidget(line);
    seated_[i] = line;
  }
  column->addStretch(1);

  auto* buttons = new QHBoxLayout;
  ok_ = MakeButton(WordText(kWordOk), Body());
  ok_->setObjectName("Button1");
  cancel_ = MakeButton(WordText(kWordCancel), Body());
  cancel_->setObjectName("Button2");
  for (QorCardsButton* b : {ok_, cancel_}) {
    b->setFixedHeight(30);
    buttons->addWidget(b);
  }
  column->addLayout(buttons);
  connect(ok_, &QAbstractButton::clicked, this, [this] {
    if (role_ == Role::kHost && ok_->isEnabled()) CloseToPlay();
  });
  connect(cancel_, &QAbstractButton::clicked, this, &WaitWindow::reject);

  state_->setText(WordText(role == Role::kHost ? kWordWaitingForPlayers : kWordWaitingForGame));
  ok_->setEnabled(false);
  cancel_->setEnabled(true);

  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &WaitWindow::Tick);
  SetBodySize(360, 200);
}

void WaitWindow::showEvent(QShowEvent* event) {
  AuxWindow::showEvent(event);
  animation_->SetRunning(true);
  timer_.start();
}

void WaitWindow::JoinerSeated(int netId) {
  if (role_ != Role::kHost || netId < 2 || netId > 4) return;
  for (int id = 2; id <= netId; ++id) seated_[static_cast<size_t>(id - 2)]->setVisible(true);
  ok_->setEnabled(true);
  cancel_->setEnabled(false);
}

void WaitWindow::Tick() {
  if (joinError_ && joinError_()) state_->setText(WordText(kWordNoGamesAvailable));
}

void WaitWindow::CloseToPlay() {
  go_ = true;
  animation_->SetRunning(false);
  timer_.stop();
  accept();
}

void WaitWindow::CloseWithoutPlay() {
  go_ = false;
  animation_->SetRunning(false);
  timer_.stop();
  AuxWindow::reject();
}

void WaitWindow::reject() {
  // Esc obeys the same rule as the button: once a joiner is seated the host can only start.
  if (!cancel_->isEnabled()) return;
  go_ = false;
  animation_->SetRunning(false);
  timer_.stop();
  emit cancelled();
  AuxWindow::reject();
}

QString WaitWindow::StateLine() const {
  return state_->text();
}

bool WaitWindow::OkEnabled() const {
  return ok_->isEnabled();
}

bool WaitWindow::CancelEnabled() const {
  return cancel_->isEnabled();
}

bool WaitWindow::LineShown(int netId) const {
  if (netId < 2 || netId > 4) return false;
  return !seated_[static_cast<size_t>(netId - 2)]->isHidden();
}

}  // namespace trilane

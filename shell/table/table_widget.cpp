#include "shell/table/table_widget.h"

#include "shell/table/table_widget_impl.h"

namespace trilane {

TableWidget::TableWidget(TableServices services, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TableWidget"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  impl_ = std::make_unique<Impl>(this, std::move(services));
}

TableWidget::~TableWidget() = default;

void TableWidget::ApplyWindowSize(int windowSize, QSize client) {
  impl_->FinishTimeline();
  resize(client);
  impl_->Relayout(windowSize, client);
  impl_->ApplyLook();
  update();
  emit laidOut();
}

QRect TableWidget::MessageBoxArea() const {
  return impl_->geo.memo;
}

const Layout& TableWidget::TableLayout() const {
  return impl_->layout;
}

void TableWidget::SetTurnClockHandler(std::function<void(int, int)> handler) {
  impl_->turnClock = std::move(handler);
}

TableView& TableWidget::View() {
  return *impl_;
}

FlowHost& TableWidget::Host() {
  return *impl_;
}

void TableWidget::ShowMatch(TableMatch& match) {
  impl_->match = &match;
  impl_->FlowArrived(match.Flow());
  impl_->RenderAll();
}

void TableWidget::PlayNow() {
  impl_->Play();
}

bool TableWidget::OwnRowsActive() const {
  return !impl_->Busy() && impl_->OwnRowsActive();
}

void TableWidget::SwapOwnSlots(Slot a, Slot b) {
  if (impl_->Busy() || !impl_->OwnRowsActive()) return;
  impl_->coach.Swap(*impl_->Flow(), a, b);
  impl_->Play();
}

void TableWidget::SuggestArrangement() {
  impl_->Suggest();
}

void TableWidget::UndoSwap() {
  impl_->Undo();
}

void TableWidget::SwapOwnRows(RowIndex a, RowIndex b) {
  impl_->SwapRows(a, b);
}

void TableWidget::ToggleReview() {
  impl_->ToggleReview();
}

bool TableWidget::CanSuggest() const {
  return impl_->CanSuggest();
}

bool TableWidget::CanUndo() const {
  return impl_->CanUndo();
}

bool TableWidget::CanReview() const {
  return impl_->CanReview();
}

bool TableWidget::ReviewShown() const {
  return impl_->reviewOpen;
}

bool TableWidget::ActionButtonEnabled() const {
  return impl_->actionEnabled;
}

void TableWidget::PressActionButton() {
  impl_->PressAction();
}

void TableWidget::Retranslate() {
  impl_->RenderAll();
}

void TableWidget::ShowGeneralScore() {
  if (!impl_->match) return;
  const auto figures = impl_->match->OpenGeneralScore();
  if (!figures) return;
  impl_->Play();  // the window's sound
  if (!impl_->s.settings) return;
  GeneralScoreWindow window(*impl_->s.settings,
                            QString::fromStdString(impl_->Flow()->SeatName(4)).trimmed(), *figures,
                            this);
  ExecModal(window);
}

void TableWidget::AskLeaveToMenu() {
  if (!impl_->Flow() || impl_->Flow()->Stage() == RoundStage::kNone) return;
  if (impl_->s.sounds && impl_->s.settings)
    impl_->s.sounds->PlaySoundRes(SoundResourceName(TableSound::kOpenWindow), false,
                                  impl_->s.settings->SoundOn);
  const QString question =
      WordText(kWordLeaveToMenuQuestion) + QLatin1Char('\n') + WordText(kWordDataWillBeLost);
  if (!AskYesNo(this, question, true)) return;
  impl_->DropTimeline();
  emit leaveRequested();
}

void TableWidget::ShowSpeedWindow() {
  if (!impl_->s.settings) return;
  SpeedWindow window(*impl_->s.settings, this);
  ExecModal(window);
}

bool TableWidget::TimelineBusy() const {
  return impl_->Busy();
}

void TableWidget::FinishTimeline() {
  impl_->FinishTimeline();
}

void TableWidget::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QColor colour = impl_->s.settings ? WindowColour(*impl_->s.settings) : QColor(0, 128, 0);
  const QRect r = event->rect();
  if (impl_->background.isNull() || !impl_->background.rect().contains(r)) p.fillRect(r, colour);
  if (impl_->s.cards) {
    // Kept as a pixmap in the screen's format: every frame of a flight repaints the table
    // under the card, which then costs a copy, not a conversion. (The picture is already in
    // that format, so the pixmap shares its pixels.)
    const QImage& background = impl_->s.cards->BackgroundPicture();
    if (background.cacheKey() != impl_->backgroundKey) {
      impl_->backgroundKey = background.cacheKey();
      impl_->background = background.isNull() ? QPixmap() : QPixmap::fromImage(background);
    }
    if (!impl_->background.isNull()) p.drawPixmap(r, impl_->background, r);
  }
}

void TableWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
}

void TableWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
}

}  // namespace trilane

#include "shell/table/table_widget.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "base/rounding.h"
#include "platform/graphics/card_graphics.h"
#include "platform/graphics/sounds.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/layout.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/table/card_flight.h"
#include "shell/table/general_score_window.h"
#include "shell/table/speed_window.h"
#include "shell/table/table_geometry.h"
#include "shell/widgets/qor_button.h"
#include "table/table_match.h"
#include "words/words.h"

namespace trilane {

namespace {

QString Compose(const TableText& text) {
  return QString::fromStdString(ComposeText(text, [](int entry) { return Word(entry); }));
}

// A picture element of the table (hand, plate, tablet, round box). It only shows the
// picture it is given; the table finds what lies under the pointer itself.
class TableImage : public QWidget {
 public:
  TableImage(const char* name, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  void SetPicture(QImage picture) {
    picture_ = std::move(picture);
    Touched(geometry());
    update();
  }
  void setVisible(bool visible) override {
    if (visible != isVisible()) Touched(geometry());
    QWidget::setVisible(visible);
  }
  // Tells the table which of its pixels this element changed (for the flights' saved picture).
  std::function<void(const QRect&)> touched;
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, picture_);
  }
  void moveEvent(QMoveEvent* event) override {
    Touched(QRect(event->oldPos(), size()));
    Touched(geometry());
  }
  void resizeEvent(QResizeEvent* event) override {
    Touched(QRect(pos(), event->oldSize()));
    Touched(geometry());
  }

 private:
  void Touched(const QRect& r) {
    if (touched && r.isValid()) touched(r);
  }
  QImage picture_;
};

// The flying card. The table keeps a saved picture of itself; this small window shows the
// saved picture's patch under the card with the card drawn over it, and moves with the
// card, so each frame repaints only the card's old and new rectangles.
class FlightLayer : public QWidget {
 public:
  static constexpr int kMargin = 2;

  FlightLayer(const QPixmap& saved, QWidget* parent) : QWidget(parent), saved_(saved) {
    setObjectName(QStringLiteral("FlightLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
  }
  void Start(QImage sprite, QPoint at) {
    sprite_ = std::move(sprite);
    at_ = at;
    setGeometry(Frame());
    raise();
    show();
    update();
  }
  void MoveTo(QPoint at) {
    if (at == at_) return;
    at_ = at;
    setGeometry(Frame());
  }
  void Stop() {
    hide();
    sprite_ = QImage();
  }
  bool Active() const { return isVisible(); }
  // While the table draws itself into the saved picture, the card stays out of it.
  void SetPassThrough(bool on) { passThrough_ = on; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (passThrough_) return;
    QPainter p(this);
    const QRect r = event->rect();
    const QRect source = r.translated(pos());
    const qreal dpr = saved_.devicePixelRatio();
    p.drawPixmap(
        r, saved_,
        QRectF(source.x() * dpr, source.y() * dpr, source.width() * dpr, source.height() * dpr));
    p.drawImage(kMargin, kMargin, sprite_);
  }

 private:
  QRect Frame() const {
    return QRect(at_, sprite_.size()).adjusted(-kMargin, -kMargin, kMargin, kMargin);
  }
  const QPixmap& saved_;
  QImage sprite_;
  QPoint at_;
  bool passThrough_ = false;
};

// The burst at the pointer when a button or a card is pressed (with the options on).
class SaluteLayer : public QWidget {
 public:
  SaluteLayer(QImage strip, QWidget* parent) : QWidget(parent), strip_(std::move(strip)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(100, 100);
    timer_.setInterval(12);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      if (++frame_ >= kFrames) {
        timer_.stop();
        deleteLater();
        return;
      }
      update();
    });
  }
  void Play(QPoint centre) {
    move(centre - QPoint(50, 50));
    raise();
    show();
    timer_.start();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, strip_, frame_ * 100, 0, 100, 100);
  }

 private:
  static constexpr int kFrames = 30;
  QImage strip_;
  QTimer timer_;
  int frame_ = 0;
};

const char* PlatePicture(PlateColour colour) {
  switch (colour) {
    case PlateColour::kBlue:
      return "SPBlue";
    case PlateColour::kGreen:
      return "SPGreen";
    case PlateColour::kRed:
      return "SPRed";
    case PlateColour::kYellow:
      return "SPYellow";
    case PlateColour::kViolet:
      return "SPFiolet";
  }
  return "SPBlue";
}

// The overlay of the row being rated: Back, Middle, Front.
const char* RowMark(RowIndex row) {
  switch (row) {
    case kBack:
      return "Xo";
    case kMiddle:
      return "Xa";
    case kFront:
      return "Xy";
  }
  return "Xo";
}

QColor PointsColour(int32_t value) {
  if (value > 0) return QColor(0, 150, 40);
  if (value < 0) return QColor(210, 20, 20);
  return QColor(20, 60, 200);
}

// A card as people read it whatever the language: rank and suit symbol.
QString CardLabel(const Card& card) {
  static const char* kRanks[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
  static const char16_t kSuits[] = {u'\u2665', u'\u2666', u'\u2663', u'\u2660'};
  if (!card.code.IsCard() || card.rank < 1 || card.rank > 13) return QString();
  const int suit = SuitIndexOf(card.code.suit);
  QString label = QString::fromLatin1(kRanks[card.rank - 1]);
  if (suit >= 1 && suit <= 4) label += QChar(kSuits[suit - 1]);
  return label;
}

}  // namespace

// ---------------------------------------------------------------------------------------

struct TableWidget::Impl : public TableView, public FlowHost {
  // What the table shows of one seat.
  struct Seat {
    Hand hand{};
    bool handShown = false;
    bool faceUp = false;
    TableText handText;
    std::optional<Arrangement> rows;
    std::optional<RowIndex> marked;
    TableText plate;
    PlateColour plateColour = PlateColour::kYellow;
    bool tabletShown = false;
    int32_t total = 0;
    std::array<std::optional<int32_t>, 3> boxes{};
  };

  struct Flight {
    Card card;
    CardPlace from;
    CardPlace to;
    bool carried = false;  // the player dragged it there already: no glide
  };
  using Apply = std::function<void()>;
  struct Step {
    enum Kind : uint8_t { kApply, kPause, kFly } kind = kApply;
    Apply apply;
    int milliseconds = 0;
    Flight flight{};
  };

  Impl(TableWidget* widget, TableServices services) : w(widget), s(std::move(services)) {
    for (int i = 0; i < 4; ++i) {
      hands[i] = new TableImage(("ImageCards" + std::to_string(i + 1)).c_str(), w);
      tablets[i] = new TableImage(("ImageTab" + std::to_string(i + 1)).c_str(), w);
      plates[i] = new TableImage(("ImageSay" + std::to_string(i + 1)).c_str(), w);
    }
    centre = new TableImage("ImageStol", w);
    roundBox = new TableImage("ImageKon", w);
    memo = new TableImage("ImageMemo", w);
    for (TableImage* image :
         {hands[0], hands[1], hands[2], hands[3], tablets[0], tablets[1], tablets[2], tablets[3],
          plates[0], plates[1], plates[2], plates[3], centre, roundBox, memo}) {
      image->touched = [this](const QRect& r) { changed += r; };
    }
    // Plates float over the cards: the own grid reaches under the bottom plate.
    for (TableImage* plate : plates) plate->raise();
    action = new QorCardsButton(w);
    action->setObjectName(QStringLiteral("Button7"));
    end = new QorCardsButton(w);
    end->setObjectName(QStringLiteral("Button8"));
    for (QorCardsButton* b : {action, end}) b->setFocusPolicy(Qt::TabFocus);
    layer = new FlightLayer(saved, w);

    QObject::connect(action, &QAbstractButton::clicked, w, [this] { PressAction(); });
    QObject::connect(end, &QAbstractButton::clicked, w, [this] { PressEnd(); });
    pauseTimer.setSingleShot(true);
    QObject::connect(&pauseTimer, &QTimer::timeout, w, [this] {
      timedRunning = false;
      Play();
    });
    frameTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&frameTimer, &QTimer::timeout, w, [this] { FlightFrame(); });

    ApplyLook();
    Relayout(kSmallWindow, QSize(kBaseWidth, kBaseHeight));
  }

  ~Impl() override {
    frameTimer.stop();
    pauseTimer.stop();
  }

  // The flow shown here, once a match owner was bound.
  RoundFlow* Flow() const { return match ? &match->Flow() : nullptr; }

  // --- FlowHost: the match owner replaces its flow; nothing queued for the old one may
  // run, and the new one reports re-entries here.
  void FlowLeaving() override { DropTimeline(); }
  void FlowArrived(RoundFlow& flow) override {
    ApplyLook();
    flow.SetReentryHandler([](std::string_view entry) {
      qWarning("table: %.*s called while the round was changing; deferred",
               static_cast<int>(entry.size()), entry.data());
    });
  }

  // --- TableView: every call becomes a step of the timeline

  void Queue(Step step) {
    steps.push_back(std::move(step));
    SchedulePlay();
  }
  void QueueApply(Apply apply) { Queue(Step{Step::kApply, std::move(apply), 0, {}}); }

  void PrepareTable(PlayMode m) override {
    QueueApply([this, m] {
      mode = m;
      for (Seat& seat : seats) seat = Seat{};
      arranging = false;
      own = OwnRowsView{};
      highlight.reset();
      memo->setVisible(mode != PlayMode::kComputer);
      RenderAll();
    });
  }
  void ShowPlate(int position, const TableText& text, PlateColour colour) override {
    if (position < 1 || position > 4) return;
    QueueApply([this, position, text, colour] {
      seats[position - 1].plate = text;
      seats[position - 1].plateColour = colour;
      RenderPlate(position);
    });
  }
  void ShowTablet(int position, int32_t total, const TabletBoxes& boxes) override {
    if (position < 1 || position > 4) return;
    QueueApply([this, position, total, boxes] {
      Seat& seat = seats[position - 1];
      seat.tabletShown = true;
      seat.total = total;
      for (size_t i = 0; i < 3; ++i) {
        if (boxes[i].kind == TabletBox::kShow)
          seat.boxes[i] = boxes[i].value;
        else if (boxes[i].kind == TabletBox::kBlank)
          seat.boxes[i].reset();
      }
      RenderTablet(position);
    });
  }
  void ShowHand(int position, const Hand& hand, bool faceUp) override {
    if (position < 1 || position > 4) return;
    QueueApply([this, position, hand, faceUp] {
      Seat& seat = seats[position - 1];
      seat.hand = hand;
      seat.handShown = true;
      seat.faceUp = faceUp;
      seat.handText = {};
      RenderSeat(position);
    });
  }
  void ShowHandText(int position, const TableText& text) override {
    if (position < 1 || position > 4) return;
    QueueApply([this, position, text] {
      seats[position - 1].handText = text;
      RenderSeat(position);
    });
  }
  void ShowOwnRows(const OwnRowsView& rows) override {
    QueueApply([this, rows] {
      own = rows;
      arranging = true;
      RenderSeat(4);
    });
  }
  void ShowTableRows(int position, const Arrangement& rows,
                     std::optional<RowIndex> marked) override {
    if (position < 1 || position > 4) return;
    QueueApply([this, position, rows, marked] {
      Seat& seat = seats[position - 1];
      seat.rows = rows;
      seat.marked = marked;
      if (position == 4) {
        arranging = false;
        highlight.reset();
      }
      RenderSeat(position);
    });
  }
  void ShowRoundPanel(const RoundPanel& p) override {
    QueueApply([this, p] {
      panel = p;
      RenderRoundBox();
    });
  }
  void SetActionButton(const TableText& caption, bool enabled) override {
    QueueApply([this, caption, enabled] {
      actionCaption = caption;
      actionEnabled = enabled;
      RenderButtons();
    });
  }
  void SetEndButton(const TableText& caption, bool enabled) override {
    QueueApply([this, caption, enabled] {
      endCaption = caption;
      endEnabled = enabled;
      RenderButtons();
    });
  }
  void PlaySound(TableSound sound) override {
    QueueApply([this, sound] {
      if (s.sounds && s.settings)
        s.sounds->PlaySoundRes(SoundResourceName(sound), false, s.settings->SoundOn);
    });
  }
  void Pause(int milliseconds) override {
    Queue(Step{Step::kPause, {}, std::max(0, milliseconds), {}});
  }
  void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) override {
    Queue(Step{Step::kFly, {}, 0, Flight{card, from, to, std::exchange(carryNextFlight, false)}});
  }
  void RoundDealt() override {
    QueueApply([this] { emit w->roundDealt(); });
  }
  void RoundFinished() override {
    QueueApply([this] {
      if (RoundFlow* flow = Flow()) emit w->roundFinished(flow->Counters().roundNumber);
    });
  }

  // --- the timeline

  bool Busy() const { return timedRunning || !steps.empty(); }

  void SchedulePlay() {
    if (playScheduled) return;
    playScheduled = true;
    QTimer::singleShot(0, w, [this] {
      playScheduled = false;
      Play();
    });
  }

  void Play() {
    if (timedRunning || playing) return;
    playing = true;
    // Idle is told once per stretch of work, also when a pause or flight ended it.
    active = active || !steps.empty();
    while (!steps.empty() && !timedRunning) {
      Step step = std::move(steps.front());
      steps.pop_front();
      if (step.kind != Step::kFly && layer->Active()) layer->Stop();
      switch (step.kind) {
        case Step::kApply:
          step.apply();
          break;
        case Step::kPause:
          if (instant || step.milliseconds == 0) break;
          timedRunning = true;
          pauseTimer.start(step.milliseconds);
          break;
        case Step::kFly:
          StartFlight(step.flight);
          break;
      }
    }
    playing = false;
    if (!Busy() && layer->Active()) layer->Stop();
    if (!Busy() && active) {
      active = false;
      Idle();
    }
  }

  void Idle() { emit w->timelineIdle(); }

  void FinishTimeline() {
    instant = true;
    if (flying) LandFlight();
    if (timedRunning && pauseTimer.isActive()) {
      pauseTimer.stop();
      timedRunning = false;
    }
    Play();
    instant = false;
  }

  void DropTimeline() {
    steps.clear();
    pauseTimer.stop();
    frameTimer.stop();
    flying = false;
    layer->Stop();
    timedRunning = false;
  }

  // --- flights

  // Where a place lies in the table's coordinates.
  QPoint PlacePoint(const CardPlace& place) {
    const int p = std::clamp(place.position, 1, 4);
    switch (place.area) {
      case CardPlace::kOwnRows:
        return OwnRowsArea(geo).topLeft() + GridCellAt(geo, place.rowSlot);
      case CardPlace::kTableRows:
        return SeatRowsArea(geo, p).topLeft() + SeatRowCellAt(geo, p, place.rowSlot);
      case CardPlace::kHand:
        break;
    }
    const Hand& hand = seats[p - 1].hand;
    const int n = CardsIn(hand);
    int ordinal = 0;
    for (int i = 0; i < place.slot - 1 && i < kCardsPerHand; ++i)
      if (hand[i].code.IsCard()) ++ordinal;
    return geo.hands[p - 1].topLeft() + HandCellAt(geo, p, ordinal, std::max(n, 1));
  }

  Card* ModelCard(const CardPlace& place) {
    const int p = std::clamp(place.position, 1, 4);
    switch (place.area) {
      case CardPlace::kHand:
        if (place.slot < 1 || place.slot > kCardsPerHand) return nullptr;
        return &seats[p - 1].hand[place.slot - 1];
      case CardPlace::kOwnRows:
        if (!IsCardSlot(place.rowSlot)) return nullptr;
        return &CardAt(own.rows, place.rowSlot);
      case CardPlace::kTableRows:
        if (!IsCardSlot(place.rowSlot) || !seats[p - 1].rows) return nullptr;
        return &CardAt(*seats[p - 1].rows, place.rowSlot);
    }
    return nullptr;
  }

  // The saved picture follows the table: taken whole once, then redrawn only where the
  // table changed since.
  void RefreshSavedPicture() {
    const QSize size = w->size() * w->devicePixelRatioF();
    layer->SetPassThrough(true);
    if (saved.isNull() || saved.size() != size) {
      saved = w->grab();
    } else {
      for (const QRect& r : changed) w->render(&saved, r.topLeft(), QRegion(r));
    }
    layer->SetPassThrough(false);
    changed = QRegion();
  }

  // Takes the whole table into the saved picture while nothing moves, so that the first
  // flight after a new size or background only patches what changed since: a whole grab of
  // the largest table costs more than a frame.
  void WarmSavedPicture() {
    if (flying || timedRunning || !w->isVisible() || !saved.isNull()) return;
    RefreshSavedPicture();
  }

  void StartFlight(const Flight& f) {
    // The own rows take their grid as soon as the first card flies into them.
    if (f.to.area == CardPlace::kOwnRows && !arranging) {
      arranging = true;
      RenderSeat(4);
    }
    const QPoint from = PlacePoint(f.from);
    if (Card* c = ModelCard(f.from); c && *c == f.card) {
      *c = kEmptySlot;
      RenderSeat(f.from.position);
    }
    const QPoint to = PlacePoint(f.to);
    flight = f;
    if (instant || f.carried || !w->isVisible()) {
      flying = true;
      LandFlight();
      return;
    }
    QImage sprite(geo.cardW, geo.cardH, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    if (s.cards) s.cards->DrawCard(0, 0, f.card.code.Bytes(), sprite);
    RefreshSavedPicture();
    layer->Start(std::move(sprite), from);
    path = FlightPath(from, to);
    flying = true;
    timedRunning = true;
    clock.start();
    stepsPerMs = FlightStepsPerSecond(s.settings ? s.settings->FlightSpeed : 4) / 1000.0;
    const qreal hz = w->screen() ? w->screen()->refreshRate() : 60.0;
    frameTimer.start(std::max(4, static_cast<int>(1000.0 / std::max<qreal>(hz, 1.0))));
  }

  void FlightFrame() {
    if (!flying) return;
    const size_t due = static_cast<size_t>(static_cast<double>(clock.elapsed()) * stepsPerMs);
    if (due + 1 >= path.size()) {
      LandFlight();
      Play();
      return;
    }
    layer->MoveTo(path[due]);
  }

  void LandFlight() {
    frameTimer.stop();
    flying = false;
    timedRunning = false;
    if (Card* c = ModelCard(flight.to)) *c = flight.card;
    RenderSeat(flight.to.position);
    // The layer stays up while flights follow one another; the next step that is no
    // flight takes it down.
  }

  // --- drawing

  QFont Font(int baseHeight, bool bold = true) const {
    const int px = std::max(6, layout.Scale(baseHeight));
    if (s.settings) return RoleFont(*s.settings, FontRole::kDecor, px, bold);
    QFont f;
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
  }

  QImage Blank(QSize size) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
  }

  void DrawCode(QImage& image, QPoint at, std::string_view code) const {
    if (s.cards) s.cards->DrawCard(at.x(), at.y(), code, image);
  }

  // A mark over a card (the picked card, the row being rated): see-through, so the card
  // stays readable under it.
  void DrawMark(QImage& image, QPoint at, std::string_view code, const QColor& frame) const {
    QImage mark = Blank(QSize(geo.cardW, geo.cardH));
    DrawCode(mark, QPoint(0, 0), code);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(0.45);
    p.drawImage(at, mark);
    p.setOpacity(1.0);
    p.setPen(QPen(frame, std::max(2, layout.Scale(2))));
    p.setBrush(Qt::NoBrush);
    const double radius = geo.cardW / 14.0;
    p.drawRoundedRect(QRectF(at, QSizeF(geo.cardW, geo.cardH)).adjusted(1, 1, -1, -1), radius,
                      radius);
  }

  static QColor MarkColour(RowIndex row) {
    switch (row) {
      case kBack:
        return QColor(240, 130, 20);
      case kMiddle:
        return QColor(40, 110, 230);
      case kFront:
        return QColor(230, 200, 20);
    }
    return QColor(240, 130, 20);
  }

  void DrawPlate(QPainter& p, const QRect& r, PlateColour colour, const QString& text) const {
    const QImage plate = ProgramPng(PlatePicture(colour));
    if (!plate.isNull())
      p.drawImage(r, plate);
    else {
      p.setBrush(QColor(40, 60, 160));
      p.setPen(Qt::NoPen);
      p.drawRoundedRect(r, r.height() / 2.0, r.height() / 2.0);
    }
    QFont f = Font(13);
    QFontMetrics fm(f);
    while (fm.horizontalAdvance(text) > r.width() - 6 && f.pixelSize() > 7) {
      f.setPixelSize(f.pixelSize() - 1);
      fm = QFontMetrics(f);
    }
    p.setFont(f);
    p.setPen(colour == PlateColour::kYellow ? QColor(40, 20, 0) : QColor(255, 255, 255));
    p.drawText(r, Qt::AlignCenter, fm.elidedText(text, Qt::ElideRight, r.width() - 4));
  }

  void RenderSeat(int position) {
    if (position < 1 || position > 4) return;
    Seat& seat = seats[position - 1];
    TableImage* image = hands[position - 1];
    QStringList spoken;
    std::vector<std::pair<QRect, QString>> spots;  // each card's place and name, area-relative
    auto spot = [&](QPoint at, const Card& card) {
      spots.emplace_back(QRect(at, QSize(geo.cardW, geo.cardH)), CardLabel(card));
      spoken << spots.back().second;
    };
    if (position == 4 && arranging && !seat.rows) {
      const QRect area = OwnRowsArea(geo);
      image->setGeometry(area);
      QImage picture = Blank(area.size());
      // While the cards are laid out, the ones not yet flown stay in the hand below.
      const int left = CardsIn(seat.hand);
      const QPoint handOffset = geo.hands[3].topLeft() - area.topLeft();
      int ordinal = 0;
      for (const Card& card : seat.hand) {
        if (!card.code.IsCard()) continue;
        const QPoint at = handOffset + HandCellAt(geo, 4, ordinal++, left);
        DrawCode(picture, at, card.code.Bytes());
        spot(at, card);
      }
      for (RowIndex row : kAllRows) {
        for (int s2 = 1; s2 <= CardsInRow(row); ++s2) {
          const Slot slot{row, s2};
          const Card& card = CardAt(own.rows, slot);
          if (!card.code.IsCard()) continue;
          DrawCode(picture, GridCellAt(geo, slot), card.code.Bytes());
          if (own.selected == slot)
            DrawMark(picture, GridCellAt(geo, slot), "Xb", QColor(255, 230, 0));
          spot(GridCellAt(geo, slot), card);
        }
      }
      QPainter p(&picture);
      p.setRenderHint(QPainter::Antialiasing);
      const int plateX = 3 * (geo.cardW + geo.gap);
      const int plateW = std::min(2 * geo.cardW + geo.gap, area.width() - plateX);
      for (int r = 0; r < 3; ++r) {
        const QString name = Compose(own.names[static_cast<size_t>(r)]);
        if (name.isEmpty()) continue;
        DrawPlate(p, QRect(plateX, layout.Scale(8 + 30 * r), plateW, layout.Scale(20)),
                  PlateColour::kBlue, name);
      }
      if (highlight) {
        p.setPen(QPen(QColor(255, 220, 0), std::max(2, layout.Scale(3))));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(
            QRect(GridCellAt(geo, *highlight), QSize(geo.cardW, geo.cardH)).adjusted(1, 1, -1, -1),
            6, 6);
      }
      p.end();
      image->SetPicture(std::move(picture));
    } else if (seat.rows) {
      const QRect area = SeatRowsArea(geo, position);
      image->setGeometry(area);
      QImage picture = Blank(area.size());
      for (RowIndex row : kAllRows) {
        for (int s2 = 1; s2 <= CardsInRow(row); ++s2) {
          const Slot slot{row, s2};
          const Card& card = CardAt(*seat.rows, slot);
          if (!card.code.IsCard()) continue;
          const QPoint at = SeatRowCellAt(geo, position, slot);
          DrawCode(picture, at, card.code.Bytes());
          if (seat.marked == row) DrawMark(picture, at, RowMark(row), MarkColour(row));
          spot(at, card);
        }
      }
      image->SetPicture(std::move(picture));
    } else {
      const QRect area = geo.hands[position - 1];
      image->setGeometry(area);
      QImage picture = Blank(area.size());
      if (seat.handShown) {
        const int n = CardsIn(seat.hand);
        int ordinal = 0;
        for (const Card& card : seat.hand) {
          if (!card.code.IsCard()) continue;
          const QPoint at = HandCellAt(geo, position, ordinal++, n);
          DrawCode(picture, at, seat.faceUp ? card.code.Bytes() : std::string("00"));
          if (seat.faceUp) spot(at, card);
        }
        if (!seat.faceUp && n > 0) spoken << QString::number(n);
      }
      const QString text = Compose(seat.handText);
      if (!text.isEmpty()) {
        QPainter p(&picture);
        p.setFont(Font(14));
        p.setPen(QColor(0, 0, 0, 160));
        p.drawText(picture.rect().translated(1, 1), Qt::AlignCenter | Qt::TextWordWrap, text);
        p.setPen(QColor(255, 255, 210));
        p.drawText(picture.rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
        spoken << text;
      }
      image->SetPicture(std::move(picture));
    }
    PlaceCardNames(position, spots);
    if (position == 4 || position == 2) {
      // These two plates move with the rows and make room for each other.
      RenderPlate(2);
      RenderPlate(4);
    }
    QString who =
        QString::fromStdString(Flow() ? Flow()->SeatName(position) : std::string()).trimmed();
    image->setAccessibleName(who.isEmpty()
                                 ? spoken.join(QLatin1Char(' '))
                                 : who + QStringLiteral(": ") + spoken.join(QLatin1Char(' ')));
  }

  // Every visible face-up card has an unpainted stand-in widget over it that carries its
  // name, so screen readers can walk the cards one by one.
  void PlaceCardNames(int position, const std::vector<std::pair<QRect, QString>>& spots) {
    std::vector<QWidget*>& pool = cardNames[static_cast<size_t>(position - 1)];
    const QPoint origin = hands[position - 1]->pos();
    for (size_t i = 0; i < spots.size(); ++i) {
      if (i == pool.size()) {
        auto* stand = new QWidget(w);
        stand->setObjectName(QStringLiteral("Card%1_%2").arg(position).arg(i + 1));
        stand->setAttribute(Qt::WA_TransparentForMouseEvents);
        stand->setAttribute(Qt::WA_NoSystemBackground);
        stand->stackUnder(layer);
        pool.push_back(stand);
      }
      pool[i]->setGeometry(spots[i].first.translated(origin));
      pool[i]->setAccessibleName(spots[i].second);
      pool[i]->show();
    }
    for (size_t i = spots.size(); i < pool.size(); ++i) pool[i]->hide();
  }

  void RenderPlate(int position) {
    TableImage* image = plates[position - 1];
    const Seat& seat = seats[position - 1];
    const QString text = Compose(seat.plate);
    QRect place = geo.plates[position - 1];
    const QRect grid = OwnRowsArea(geo);
    const bool ownRevealed = seats[3].rows.has_value();
    if (position == 4 && ownRevealed) {
      // The own grid covers the plate's place. Once the rows are open, the plate stands
      // beside the Front row, where the row names were while arranging.
      const int left = grid.left() + 3 * (geo.cardW + geo.gap) + layout.Scale(4);
      const int right = SeatRowsArea(geo, 3).left() - layout.Scale(4);
      place.setWidth(std::min(place.width(), right - left));
      place.moveTopLeft(QPoint(left, grid.top() + (geo.cardH - place.height()) / 2));
    } else if (position == 4 && arranging) {
      // While arranging the row names are beside the Front row: the plate rides just
      // above the grid.
      place.moveBottom(grid.top() - layout.Scale(4));
    } else if (position == 2 && seat.rows && (ownRevealed || !arranging)) {
      // The top seat's open rows grow down over the plate's place: the plate moves below
      // them, as far as the own grid leaves room.
      const int below = SeatRowsArea(geo, 2).bottom() + 1 + layout.Scale(4);
      const int limit = grid.top() - layout.Scale(4) - place.height();
      place.moveTop(std::max(place.top(), std::min(below, limit)));
    }
    image->setGeometry(place);
    image->setVisible(!text.isEmpty());
    if (text.isEmpty()) return;
    QImage picture = Blank(image->size());
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    DrawPlate(p, picture.rect(), seat.plateColour, text);
    p.end();
    image->SetPicture(std::move(picture));
    image->setAccessibleName(text);
  }

  void RenderTablet(int position) {
    TableImage* image = tablets[position - 1];
    const Seat& seat = seats[position - 1];
    image->setGeometry(geo.tablets[position - 1]);
    image->setVisible(seat.tabletShown);
    if (!seat.tabletShown) return;
    QImage picture = Blank(image->size());
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = picture.rect();
    const QImage back = ProgramPng("GTablet");
    if (!back.isNull())
      p.drawImage(r, back);
    else {
      p.setBrush(QColor(245, 240, 220));
      p.setPen(QColor(90, 60, 20));
      p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 8, 8);
    }
    // The total across the top, the three rows' points in boxes below.
    const int inset = layout.Scale(8);
    const QRect totalBox(inset, inset, r.width() - 2 * inset, r.height() * 11 / 20 - inset);
    p.setFont(Font(30));
    p.setPen(PointsColour(seat.total));
    p.drawText(totalBox, Qt::AlignCenter, QString::fromStdString(SignedNumber(seat.total)));
    const int boxTop = r.height() * 11 / 20 + layout.Scale(2);
    const int boxW = (r.width() - 2 * inset - 2 * layout.Scale(4)) / 3;
    const int boxH = r.height() - boxTop - inset;
    QStringList spoken{QString::fromStdString(SignedNumber(seat.total))};
    for (int i = 0; i < 3; ++i) {
      const QRect box(inset + i * (boxW + layout.Scale(4)), boxTop, boxW, boxH);
      p.setPen(QPen(QColor(120, 100, 70), 1));
      p.setBrush(QColor(255, 255, 255, 150));
      p.drawRoundedRect(box, 4, 4);
      if (!seat.boxes[i]) continue;
      p.setFont(Font(16));
      p.setPen(PointsColour(*seat.boxes[i]));
      const QString v = QString::fromStdString(SignedNumber(*seat.boxes[i]));
      p.drawText(box, Qt::AlignCenter, v);
      spoken << v;
    }
    p.end();
    image->SetPicture(std::move(picture));
    image->setAccessibleName(spoken.join(QLatin1Char(' ')));
  }

  void RenderRoundBox() {
    roundBox->setGeometry(geo.roundBox);
    const QString heading = Compose(panel.heading);
    const QString count = Compose(panel.count);
    roundBox->setVisible(!heading.isEmpty() || !count.isEmpty());
    QImage picture = Blank(roundBox->size());
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage back = ProgramPng("GKonBox");
    if (!back.isNull()) p.drawImage(picture.rect(), back);
    const QRect r = picture.rect();
    p.setPen(QColor(255, 230, 120));
    p.setFont(Font(18));
    p.drawText(QRect(0, layout.Scale(8), r.width(), r.height() / 2 - layout.Scale(8)),
               Qt::AlignCenter, heading);
    p.setPen(QColor(255, 255, 255));
    p.setFont(Font(22));
    p.drawText(QRect(0, r.height() / 2, r.width(), r.height() / 2 - layout.Scale(8)),
               Qt::AlignCenter, count);
    p.end();
    roundBox->SetPicture(std::move(picture));
    roundBox->setToolTip(Compose(panel.hint));
    roundBox->setAccessibleName(heading + QLatin1Char(' ') + count);
  }

  void RenderMemo() {
    memo->setGeometry(geo.memo);
    const bool small = windowSize == kSmallWindow;
    QImage frame = ProgramPng(small ? "RamkaERSm" : "RamkaERBg");
    QImage picture = Blank(memo->size());
    if (!frame.isNull()) {
      QPainter p(&picture);
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(picture.rect(), frame);
    }
    memo->SetPicture(std::move(picture));
  }

  void RenderButtons() {
    changed += action->geometry();
    changed += end->geometry();
    action->setText(Compose(actionCaption));
    action->setEnabled(actionEnabled);
    action->setVisible(!actionCaption.Empty());
    end->setText(Compose(endCaption));
    end->setEnabled(endEnabled);
    end->setVisible(!endCaption.Empty());
  }

  void ApplyLook() {
    const bool cardLook = s.settings && s.settings->TableDesign == 1;
    for (QorCardsButton* b : {action, end}) {
      b->SetBody(cardLook ? QorCardsButton::BodyColour::kCards : QorCardsButton::BodyColour::kRed);
      b->SetCaptionColour(cardLook ? kDesignGold : QColor(255, 255, 255));
      b->SetHoverColour(QColor(255, 255, 0));
      b->SetAlternativeLook(s.settings && s.settings->NewButtons);
    }
  }

  void RenderAll() {
    for (int p = 1; p <= 4; ++p) {
      RenderSeat(p);
      RenderPlate(p);
      RenderTablet(p);
    }
    RenderRoundBox();
    RenderMemo();
    RenderButtons();
  }

  void Relayout(int size, QSize client) {
    windowSize = size;
    saved = QPixmap();  // a new size or background: the table is taken whole again
    QTimer::singleShot(0, w, [this] { WarmSavedPicture(); });
    const WindowGeometry g = GeometryForWindowSize(size, client);
    layout = trilane::Layout(g.k);
    int cardW = 71, cardH = 96;
    if (s.cards) {
      cardW = s.cards->CardW();
      cardH = s.cards->CardH();
    } else {
      const CardSize cs = CardSizeFor(g.k.kc, true);
      cardW = cs.width;
      cardH = cs.height;
    }
    geo = ComputeTableGeometry(layout, cardW, cardH);
    centre->setGeometry(geo.centre);
    action->setGeometry(geo.actionButton);
    end->setGeometry(geo.endButton);
    // Button captions: the decor role, bold, 20 design pixels, a little smaller when larger.
    const double d = size == kSmallWindow ? 1.0 : 0.9;
    const int px = s.settings ? static_cast<int>(RoundHalfEvenToInt(
                                    FontHeight(*s.settings, 20, FontRole::kDecor) * g.k.kc * d))
                              : layout.Scale(20);
    for (QorCardsButton* b : {action, end}) {
      b->setFont(s.settings ? RoleFont(*s.settings, FontRole::kDecor, std::max(8, px), true)
                            : b->font());
      b->SetDesignHeight(QorCardsButton::HeightClass::k45);
    }
    RenderAll();
  }

  // --- the player's input

  void Salute(bool forButtons) {
    if (!s.settings || !s.cards) return;
    if (!(forButtons ? s.settings->SaluteButtons : s.settings->SaluteCards)) return;
    QImage strip;
    if (!s.cards->LoadPng("GTouch", "QorCGraph1.dll", strip) || strip.width() < 100 * 30) return;
    auto* salute = new SaluteLayer(std::move(strip), w);
    salute->Play(w->mapFromGlobal(QCursor::pos()));
    // The burst may be caught in the saved picture: that patch is taken again later.
    const QRect burst = salute->geometry();
    QObject::connect(salute, &QObject::destroyed, w, [this, burst] { changed += burst; });
  }

  void PressAction() {
    if (Busy() || !actionEnabled || !Flow()) return;
    Salute(true);
    Flow()->OnActionButton();
    Play();
  }

  void PressEnd() {
    if (Busy() || !endEnabled || !Flow()) return;
    Salute(true);
    const EndMatchRequest request = Flow()->OnEndButton();
    FinishTimeline();
    if (request.endMatch) emit w->endMatchRequested(request);
  }

  bool OwnRowsActive() const {
    return arranging && !seats[3].rows && Flow() && Flow()->Stage() == RoundStage::kArranging;
  }

  std::optional<Slot> OwnSlotAt(QPoint p) const {
    const QRect area = OwnRowsArea(geo);
    if (!area.contains(p)) return std::nullopt;
    const QPoint local = p - area.topLeft();
    return SlotAt(local.x(), local.y(), GridGeometry{geo.cardW, geo.cardH, geo.gap});
  }

  void ClickSlot(Slot slot) {
    if (Busy() || !OwnRowsActive()) return;
    if (Flow()->OnOwnSlotClicked(slot) != RoundFlow::Click::kNothing) Salute(false);
    Play();
  }

  void DragSwap(Slot a, Slot b) {
    if (Busy() || !OwnRowsActive() || a == b) return;
    carryNextFlight = true;  // the dragged card is already where it goes
    if (!Flow()->SwapSlots(a, b)) carryNextFlight = false;
    Play();
  }

  // The card a right click may speak at a point, as the flow names places.
  std::optional<CardPlace> PlaceAt(QPoint p) const {
    for (int position = 1; position <= 4; ++position) {
      const Seat& seat = seats[position - 1];
      if (seat.rows) {
        const QRect area = SeatRowsArea(geo, position);
        if (!area.contains(p)) continue;
        if (auto slot = SeatRowSlotAt(geo, position, p - area.topLeft()))
          return CardPlace{CardPlace::kTableRows, position, 0, *slot};
      } else if (position == 4 && arranging) {
        if (auto slot = OwnSlotAt(p)) return CardPlace{CardPlace::kOwnRows, 4, 0, *slot};
      } else if (seat.handShown) {
        const QRect area = geo.hands[position - 1];
        if (!area.contains(p)) continue;
        if (auto slot = HandSlotAt(p.x() - area.left(), seat.hand, area.width(), geo.cardW))
          return CardPlace{CardPlace::kHand, position, *slot, {}};
      }
    }
    return std::nullopt;
  }

  void MoveHighlight(int dRow, int dSlot) {
    if (!highlight) {
      highlight = Slot{kFront, 1};
    } else {
      int row = std::clamp(static_cast<int>(highlight->row) + dRow, 0, 2);
      const int cards = CardsInRow(static_cast<RowIndex>(row));
      int slot = highlight->slot + dSlot;
      if (slot < 1) slot = cards;  // wrap within the row
      if (slot > cards) slot = dSlot > 0 ? 1 : cards;
      highlight = Slot{static_cast<RowIndex>(row), slot};
    }
    RenderSeat(4);
    const Card& card = CardAt(own.rows, *highlight);
    hands[3]->setAccessibleDescription(CardLabel(card));
  }

  TableWidget* w;
  TableServices s;
  TableMatch* match = nullptr;  // the owner of the flow shown; bound by the program

  trilane::Layout layout;
  TableGeometry geo;
  int windowSize = kSmallWindow;

  std::array<Seat, 4> seats{};
  PlayMode mode = PlayMode::kComputer;
  bool arranging = false;
  OwnRowsView own;
  RoundPanel panel;
  TableText actionCaption;
  bool actionEnabled = false;
  TableText endCaption;
  bool endEnabled = false;
  std::optional<Slot> highlight;

  std::array<TableImage*, 4> hands{};
  std::array<std::vector<QWidget*>, 4> cardNames;
  std::array<TableImage*, 4> tablets{};
  std::array<TableImage*, 4> plates{};
  TableImage* centre = nullptr;
  TableImage* roundBox = nullptr;
  TableImage* memo = nullptr;
  QorCardsButton* action = nullptr;
  QorCardsButton* end = nullptr;
  FlightLayer* layer = nullptr;

  std::deque<Step> steps;
  bool playScheduled = false;
  bool playing = false;
  bool timedRunning = false;
  bool active = false;  // something was played since the timeline was last idle
  bool instant = false;
  QTimer pauseTimer;

  bool flying = false;
  Flight flight{};
  std::vector<QPoint> path;
  QElapsedTimer clock;
  double stepsPerMs = 1.0;
  QTimer frameTimer;
  bool carryNextFlight = false;
  QRegion changed;  // what the table changed since the saved picture was brought up to date
  QPixmap saved;    // the table as it looks without the flying card
  QPixmap background;
  qint64 backgroundKey = 0;

  std::optional<Slot> pressSlot;
  QPoint pressPos;
  bool dragging = false;
  TableImage* dragImage = nullptr;
};

// ---------------------------------------------------------------------------------------

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
  impl_->Flow()->SwapSlots(a, b);
  impl_->Play();
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
    impl_->s.sounds->PlaySoundRes("WOpenFo", false, impl_->s.settings->SoundOn);
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
    // Kept as a pixmap in the screen's format: a whole-table repaint (a flight's first
    // picture) then costs a copy, not a conversion.
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
  QTimer::singleShot(0, this, [this] { impl_->WarmSavedPicture(); });
}

void TableWidget::mousePressEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  d.pressSlot.reset();
  d.dragging = false;
  if (event->button() == Qt::RightButton || d.Busy() || !d.OwnRowsActive()) return;
  d.pressSlot = d.OwnSlotAt(event->position().toPoint());
  d.pressPos = event->position().toPoint();
}

void TableWidget::mouseMoveEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (!(event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
    // A hand over the cards that can be picked.
    const bool pickable =
        !d.Busy() && d.OwnRowsActive() && d.OwnSlotAt(event->position().toPoint()).has_value();
    if (pickable)
      setCursor(Qt::PointingHandCursor);
    else
      unsetCursor();
    return;
  }
  if (!d.pressSlot) return;
  const QPoint at = event->position().toPoint();
  if (!d.dragging) {
    if ((at - d.pressPos).manhattanLength() < QApplication::startDragDistance()) return;
    if (d.Busy() || !d.OwnRowsActive()) return;
    d.dragging = true;
    const Card card = CardAt(d.Flow()->OwnRows(), *d.pressSlot);
    QImage picture = d.Blank(QSize(d.geo.cardW, d.geo.cardH));
    d.DrawCode(picture, QPoint(0, 0), card.code.Bytes());
    if (!d.dragImage) d.dragImage = new TableImage("DragCard", this);
    d.dragImage->SetPicture(std::move(picture));
    d.dragImage->resize(d.geo.cardW, d.geo.cardH);
    d.dragImage->raise();
    d.dragImage->show();
  }
  const QPoint cell = OwnRowsArea(d.geo).topLeft() + GridCellAt(d.geo, *d.pressSlot);
  d.dragImage->move(cell + (at - d.pressPos));
}

void TableWidget::mouseReleaseEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (event->button() == Qt::RightButton) return;
  const std::optional<Slot> from = std::exchange(d.pressSlot, std::nullopt);
  const bool dragged = std::exchange(d.dragging, false);
  if (d.dragImage) d.dragImage->hide();
  const std::optional<Slot> at = d.OwnSlotAt(event->position().toPoint());
  if (dragged) {
    if (from && at && *from != *at) d.DragSwap(*from, *at);
    return;
  }
  if (at) d.ClickSlot(*at);
}

void TableWidget::keyPressEvent(QKeyEvent* event) {
  Impl& d = *impl_;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      d.PressAction();
      return;
    default:
      break;
  }
  if (d.Busy() || !d.OwnRowsActive()) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
      d.MoveHighlight(0, -1);
      return;
    case Qt::Key_Right:
      d.MoveHighlight(0, 1);
      return;
    case Qt::Key_Up:
      d.MoveHighlight(-1, 0);
      return;
    case Qt::Key_Down:
      d.MoveHighlight(1, 0);
      return;
    case Qt::Key_Space:
      if (!d.highlight)
        d.MoveHighlight(0, 0);
      else
        d.ClickSlot(*d.highlight);
      return;
    case Qt::Key_Escape:
      if (!d.Flow()->SelectedSlot().IsNone()) d.ClickSlot(d.Flow()->SelectedSlot());
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TableWidget::contextMenuEvent(QContextMenuEvent* event) {
  Impl& d = *impl_;
  if (d.Busy()) {  // the cards are still moving: no card is taken, the menu may open
    event->ignore();
    return;
  }
  if (const auto place = d.PlaceAt(event->pos())) {
    if (const auto card = d.Flow() ? d.Flow()->CardToSpeak(*place) : std::nullopt) {
      if (d.s.sounds) d.s.sounds->SpeakCard(card->code, false, LanguageIndex());
      event->accept();
      return;
    }
  }
  event->ignore();
}

}  // namespace trilane

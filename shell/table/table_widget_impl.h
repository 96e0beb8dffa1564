#pragma once
// The table widget's own state, shared by the files of the widget (the view and the timeline
// in table_widget.cpp, the player's input in table_input.cpp) and by nothing else.

#include <QAccessible>
#include <QElapsedTimer>
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
#include "shell/table/table_flights.h"
#include "shell/table/table_geometry.h"
#include "shell/table/table_layers.h"
#include "shell/table/table_painter.h"
#include "shell/table/table_timeline.h"
#include "shell/table/table_widget.h"
#include "shell/widgets/qor_button.h"
#include "table/arrangement_coach.h"
#include "table/review.h"
#include "table/table_match.h"
#include "words/words.h"

namespace trilane {

struct TableWidget::Impl : public TableView, public FlowHost {
  using Seat = SeatShown;
  using Apply = std::function<void()>;

  Impl(TableWidget* widget, TableServices services)
      : w(widget),
        s(std::move(services)),
        timeline(TableTimeline::Player{[this](const CardFlight& f) { return StartFlight(f); },
                                       [this] { LandFlight(); }, [this] { glide->Calm(); },
                                       [this] { emit w->timelineIdle(); }}) {
    for (int i = 0; i < 4; ++i) {
      hands[i] = new TableImage(("ImageCards" + std::to_string(i + 1)).c_str(), w);
      tablets[i] = new TableImage(("ImageTab" + std::to_string(i + 1)).c_str(), w);
      plates[i] = new TableImage(("ImageSay" + std::to_string(i + 1)).c_str(), w);
    }
    centre = new TableImage("ImageStol", w);
    roundBox = new TableImage("ImageKon", w);
    memo = new TableImage("ImageMemo", w);
    // Plates float over the cards: the own grid reaches under the bottom plate.
    for (TableImage* plate : plates) plate->raise();
    action = new QorCardsButton(w);
    action->setObjectName(QStringLiteral("Button7"));
    end = new QorCardsButton(w);
    end->setObjectName(QStringLiteral("Button8"));
    for (QorCardsButton* b : {action, end}) b->setFocusPolicy(Qt::TabFocus);
    glide = new CardGlide(*w, s.settings);

    QObject::connect(action, &QAbstractButton::clicked, w, [this] { PressAction(); });
    QObject::connect(end, &QAbstractButton::clicked, w, [this] { PressEnd(); });

    ApplyLook();
    Relayout(kSmallWindow, QSize(kBaseWidth, kBaseHeight));
  }

  ~Impl() override { glide->Stop(); }

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

  void QueueApply(Apply apply) { timeline.Apply(std::move(apply)); }

  void PrepareTable(PlayMode m) override {
    QueueApply([this, m] {
      mode = m;
      for (Seat& seat : seats) seat = Seat{};
      arranging = false;
      own = OwnRowsView{};
      highlight.reset();
      HideReview();
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
  void Pause(int milliseconds) override { timeline.Pause(milliseconds); }
  void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) override {
    timeline.Fly(CardFlight{card, from, to, std::exchange(carryNextFlight, false)});
  }
  void RoundDealt() override {
    QueueApply([this] { emit w->roundDealt(); });
  }
  void RoundFinished() override {
    QueueApply([this] {
      if (RoundFlow* flow = Flow()) emit w->roundFinished(flow->Counters().gamesPlayed);
    });
  }

  void SetTurnClock(int position, int seconds) override {
    QueueApply([this, position, seconds] {
      if (turnClock) turnClock(position, seconds);
    });
  }
  void StopTurnClocks() override {
    QueueApply([this] {
      if (turnClock) turnClock(0, 0);
    });
  }

  // --- the timeline

  bool Busy() const { return timeline.Busy(); }
  void Play() { timeline.Play(); }
  void FinishTimeline() { timeline.Finish(); }

  void DropTimeline() {
    timeline.Drop();
    glide->Drop();
    flying = false;
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

  // True when the card glides now and the timeline waits for it to land.
  bool StartFlight(const CardFlight& f) {
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
    if (timeline.Instant() || f.carried || !w->isVisible()) {
      flying = true;
      LandFlight();
      return false;
    }
    flying = true;
    glide->Start(painter.CardPicture(f.card), from, to, [this] {
      LandFlight();
      timeline.Landed();
    });
    return true;
  }

  void LandFlight() {
    glide->Stop();
    flying = false;
    if (Card* c = ModelCard(flight.to)) *c = flight.card;
    RenderSeat(flight.to.position);
    // The layer stays up while flights follow one another; the next step that is no
    // flight takes it down.
  }

  // --- drawing

  void RenderSeat(int position) {
    if (position < 1 || position > 4) return;
    const Seat& seat = seats[position - 1];
    TableImage* image = hands[position - 1];
    SeatPicture shown = position == 4 && arranging && !seat.rows
                            ? painter.ArrangingRows(seat, own, highlight)
                        : seat.rows ? painter.OpenRows(position, seat)
                                    : painter.HandCards(position, seat);
    image->setGeometry(shown.area);
    image->SetPicture(std::move(shown.picture));
    PlaceCardNames(position, shown.spots);
    if (position == 4 || position == 2) {
      // These two plates move with the rows and make room for each other.
      RenderPlate(2);
      RenderPlate(4);
    }
    QString who =
        QString::fromStdString(Flow() ? Flow()->SeatName(position) : std::string()).trimmed();
    const QString spoken = shown.spoken.join(QLatin1Char(' '));
    image->setAccessibleName(who.isEmpty() ? spoken : who + QStringLiteral(": ") + spoken);
  }

  // Every visible face-up card has an unpainted stand-in widget over it that carries its
  // name, so screen readers can walk the cards one by one.
  void PlaceCardNames(int position, const std::vector<CardSpot>& spots) {
    std::vector<QWidget*>& pool = cardNames[static_cast<size_t>(position - 1)];
    const QPoint origin = hands[position - 1]->pos();
    for (size_t i = 0; i < spots.size(); ++i) {
      if (i == pool.size()) {
        auto* stand = new QWidget(w);
        stand->setObjectName(QStringLiteral("Card%1_%2").arg(position).arg(i + 1));
        stand->setAttribute(Qt::WA_TransparentForMouseEvents);
        stand->setAttribute(Qt::WA_NoSystemBackground);
        stand->stackUnder(glide->Layer());
        pool.push_back(stand);
      }
      pool[i]->setGeometry(spots[i].rect.translated(origin));
      pool[i]->setAccessibleName(spots[i].name);
      pool[i]->show();
    }
    for (size_t i = spots.size(); i < pool.size(); ++i) pool[i]->hide();
  }

  void RenderPlate(int position) {
    TableImage* image = plates[position - 1];
    const Seat& seat = seats[position - 1];
    const QString text = ShownTableText(seat.plate);
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
    image->SetPicture(painter.Plate(image->size(), seat.plateColour, text));
    image->setAccessibleName(text);
  }

  void RenderTablet(int position) {
    TableImage* image = tablets[position - 1];
    const Seat& seat = seats[position - 1];
    image->setGeometry(geo.tablets[position - 1]);
    image->setVisible(seat.tabletShown);
    if (!seat.tabletShown) return;
    QStringList spoken;
    image->SetPicture(painter.Tablet(image->size(), seat, &spoken));
    image->setAccessibleName(spoken.join(QLatin1Char(' ')));
  }

  void RenderRoundBox() {
    roundBox->setGeometry(geo.roundBox);
    const QString heading = ShownTableText(panel.heading);
    const QString count = ShownTableText(panel.count);
    roundBox->setVisible(!heading.isEmpty() || !count.isEmpty());
    roundBox->SetPicture(painter.RoundBox(roundBox->size(), heading, count));
    roundBox->setToolTip(ShownTableText(panel.hint));
    roundBox->setAccessibleName(heading + QLatin1Char(' ') + count);
  }

  void RenderMemo() {
    memo->setGeometry(geo.memo);
    memo->SetPicture(painter.MessageFrame(memo->size(), windowSize == kSmallWindow));
  }

  void RenderButtons() {
    action->setText(ShownTableText(actionCaption));
    action->setEnabled(actionEnabled);
    action->setVisible(!actionCaption.Empty());
    end->setText(ShownTableText(endCaption));
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
    if (reviewOpen) RenderReview();
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
    if (coach.Click(*Flow(), slot) != RoundFlow::Click::kNothing) Salute(false);
    Play();
  }

  void DragSwap(Slot a, Slot b) {
    if (Busy() || !OwnRowsActive() || a == b) return;
    carryNextFlight = true;  // the dragged card is already where it goes
    if (!coach.Swap(*Flow(), a, b)) carryNextFlight = false;
    Play();
  }

  // --- the teaching parts: suggestion, undo, whole rows, review

  bool CanSuggest() const { return !Busy() && OwnRowsActive(); }
  bool CanUndo() const { return !Busy() && OwnRowsActive() && coach.CanUndo(*Flow()); }
  bool CanReview() const { return !Busy() && Flow() && Flow()->Stage() == RoundStage::kRoundOver; }

  void Suggest() {
    if (!CanSuggest()) return;
    if (coach.Suggest(*Flow())) Salute(false);
    Play();
  }

  void Undo() {
    if (!CanUndo()) return;
    coach.Undo(*Flow());
    Play();
  }

  void SwapRows(RowIndex a, RowIndex b) {
    if (Busy() || !OwnRowsActive() || a == b) return;
    if (coach.SwapRows(*Flow(), a, b)) Salute(false);
    Play();
  }

  // The row name plates lie in the own rows' picture; with a reason shown they close up.
  std::optional<RowIndex> RowNameAt(QPoint p) const {
    if (!OwnRowsActive()) return std::nullopt;
    const std::array<int, 3> reasons = RowReasons(own.rows);
    const bool explained = reasons[kFront] != 0 || reasons[kMiddle] != 0;
    const QPoint local = p - OwnRowsArea(geo).topLeft();
    for (RowIndex row : kAllRows) {
      if (own.names[static_cast<size_t>(row)].Empty()) continue;
      if (painter.RowNameRect(row, explained).contains(local)) return row;
    }
    return std::nullopt;
  }

  void ToggleReview() {
    if (reviewOpen) {
      HideReview();
      return;
    }
    if (!Flow() || Busy() || Flow()->Stage() != RoundStage::kRoundOver) return;
    // A round settled by special combinations has no rows: the panel says so.
    shownReview = ReviewRound(*Flow());
    if (!shownReview && !Flow()->SettledBySpecials()) return;
    reviewOpen = true;
    RenderReview();
  }

  void RenderReview() {
    if (!reviewOpen) return;
    if (!review) {
      review = new TableImage("ImageReview", w);
    }
    QImage picture = painter.ReviewPanel(shownReview);
    QRect place(QPoint(0, 0), picture.size());
    place.moveCenter(w->rect().center());
    review->setGeometry(place);
    review->SetPicture(std::move(picture));
    review->setAccessibleName(ShownTableText(TableText::Word(kWordReviewTitle)));
    review->raise();
    review->show();
  }

  void HideReview() {
    reviewOpen = false;
    shownReview.reset();
    if (review) review->hide();
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
  TableTimeline timeline;
  TableMatch* match = nullptr;  // the owner of the flow shown; bound by the program

  trilane::Layout layout;
  TableGeometry geo;
  TablePainter painter{s.settings, s.cards, layout, geo};
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
  CardGlide* glide = nullptr;  // owned by the widget

  bool flying = false;
  CardFlight flight{};
  bool carryNextFlight = false;
  QPixmap background;
  qint64 backgroundKey = 0;

  ArrangementCoach coach;
  TableImage* review = nullptr;
  std::optional<RoundReview> shownReview;
  bool reviewOpen = false;

  std::optional<Slot> pressSlot;
  std::optional<RowIndex> pressRow;  // a row's name plate pressed (dragged onto another)
  QPoint pressPos;
  bool dragging = false;
  TableImage* dragImage = nullptr;
  std::function<void(int, int)> turnClock;
};

}  // namespace trilane

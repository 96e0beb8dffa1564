#include "table/round_flow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "rules/computer.h"

namespace trilane {

namespace {

constexpr const char* kComputerName = "PC";

PlateColour BySign(int32_t value) {
  if (value > 0) return PlateColour::kGreen;
  if (value < 0) return PlateColour::kRed;
  return PlateColour::kBlue;
}

std::string_view WithoutTrailingBlanks(const std::string& name) {
  std::string_view view = name;
  while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
  return view;
}

// A row's name on a plate; an entry of 0 means no name (no category).
TableText RowNameText(const RowValue& value) {
  const int entry = RowNameEntry(value.category, value.v[0]);
  return entry > 0 ? TableText::Word(entry) : TableText{};
}

Arrangement EmptyRows() {
  Arrangement rows;
  for (Row& row : rows.rows) row.fill(kEmptySlot);
  return rows;
}

}  // namespace

// One transition of the flow. Entered only when no other transition is running; a call that
// arrives while one runs (from inside a view or sender call) is reported and then either
// queued to run once the running transition has ended, or dropped when it is the player's
// own press or click (the view takes no input while its timeline plays, so such a press
// cannot be meant for the table as it will be).
class RoundFlow::Scope {
 public:
  enum Late : uint8_t { kDefer, kDrop };
  template <typename Retry>
  Scope(RoundFlow& flow, std::string_view entryPoint, Late late, Retry&& retry) : flow_(flow) {
    if (flow_.inTransition_) {
      flow_.ReportReentry(entryPoint);
      if (late == kDefer) flow_.deferred_.emplace_back(std::forward<Retry>(retry));
      return;
    }
    entered_ = flow_.inTransition_ = true;
  }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
  ~Scope() {
    if (!entered_) return;
    flow_.inTransition_ = false;
    flow_.RunDeferred();
  }
  bool Entered() const { return entered_; }

 private:
  RoundFlow& flow_;
  bool entered_ = false;
};

void RoundFlow::ReportReentry(std::string_view entryPoint) {
  if (reentryHandler_) {
    reentryHandler_(entryPoint);
    return;
  }
#ifndef NDEBUG
  std::fprintf(stderr, "RoundFlow: %.*s called from inside a view or sender call\n",
               static_cast<int>(entryPoint.size()), entryPoint.data());
  std::abort();
#endif
}

void RoundFlow::RunDeferred() {
  // Each deferred call is a transition of its own; one may defer further calls.
  while (!deferred_.empty() && !inTransition_) {
    std::function<void()> next = std::move(deferred_.front());
    deferred_.erase(deferred_.begin());
    next();
  }
}

DeckSource SeededDecks(uint32_t seed) {
  return [random = DeckRandom(seed)]() mutable { return ShuffleDeck(random); };
}

RoundFlow::RoundFlow(TableView& view, StageSender& sender, DeckSource decks)
    : view_(view), sender_(sender), decks_(std::move(decks)) {
  seatNames_ = {kComputerName, kComputerName, kComputerName, ""};
  own_ = EmptyRows();
  for (Arrangement& rows : rows_) rows = EmptyRows();
  for (Hand& hand : hands_) hand.fill(kEmptySlot);
}

// --- seats and modes

bool RoundFlow::IsPacer() const {
  return setup_.mode == PlayMode::kComputer || setup_.ownSeat == 1;
}

bool RoundFlow::IsComputerSeat(int position) const {
  if (position < 1 || position > 3) return false;
  switch (setup_.mode) {
    case PlayMode::kComputer:
      return true;
    case PlayMode::kNet:
      // Players 1 .. Joiners + 1 are people; the higher numbers are played by the computer.
      return PlayerAtPosition(setup_.ownSeat, position) > setup_.joiners + 1;
    case PlayMode::kClub:
      return false;
  }
  return false;
}

bool RoundFlow::HoldsPerson(int position) const {
  return position >= 1 && position <= 3 && !IsComputerSeat(position);
}

int RoundFlow::PacerPosition() const {
  return PositionOf(setup_.ownSeat, 1);
}

void RoundFlow::Configure(const TableSetup& setup) {
  Scope scope(*this, "Configure", Scope::kDefer, [this, setup] { Configure(setup); });
  if (!scope.Entered()) return;
  setup_ = setup;
  setup_.ownSeat = std::clamp(setup_.ownSeat, 1, 4);
  if (setup_.mode == PlayMode::kComputer) setup_.ownSeat = 1;
  SetJoinersNow(setup.joiners);
  if (setup_.mode != PlayMode::kNet || IsPacer()) setup_.awaitingFirstDeal = false;
}

void RoundFlow::SetJoiners(int joiners) {
  Scope scope(*this, "SetJoiners", Scope::kDefer, [this, joiners] { SetJoiners(joiners); });
  if (scope.Entered()) SetJoinersNow(joiners);
}

void RoundFlow::SetJoinersNow(int joiners) {
  // A joiner is itself seated, so there are at least NetId - 1 joiners.
  const int least = setup_.mode == PlayMode::kNet ? setup_.ownSeat - 1 : 0;
  setup_.joiners = std::clamp(joiners, least, 3);
}

void RoundFlow::SetSeatName(int position, std::string name) {
  Scope scope(*this, "SetSeatName", Scope::kDefer,
              [this, position, name] { SetSeatName(position, name); });
  if (!scope.Entered() || position < 1 || position > 4) return;
  seatNames_[position - 1] = std::move(name);
  // The own seat's new name must outlive the next deal, which seats a local match anew.
  if (position == 4) start_.name = seatNames_[3];
  // While the plates carry the names, the new one shows at once (not over "Is ready"). At a
  // club table the names come from the table list, read once the first deal is on the table.
  const bool plateShowsName =
      stage_ == RoundStage::kDealt ||
      (stage_ == RoundStage::kArranging && !received_[static_cast<size_t>(position - 1)]);
  if (plateShowsName && !IsComputerSeat(position) &&
      (setup_.mode != PlayMode::kClub || matchStarted_)) {
    view_.ShowPlate(position, TableText::Literal(WithoutTrailingBlanks(seatNames_[position - 1])),
                    PlateColour::kYellow);
  }
}

bool RoundFlow::OwnArrangementLegal() const {
  if (stage_ != RoundStage::kArranging) return false;
  for (RowIndex r : kAllRows) {
    for (int s = 1; s <= CardsInRow(r); ++s) {
      if (!CardAt(own_, Slot{r, s}).code.IsCard()) return false;
    }
  }
  return IsLegalArrangement(EvaluateArrangement(own_));
}

// --- buttons

bool RoundFlow::ActionAllowed() const {
  if (matchEnded_ || pausing_) return false;
  switch (stage_) {
    case RoundStage::kDealt:
      return startPhase_ == 1 && !setup_.awaitingFirstDeal && IsPacer();
    case RoundStage::kArranging:
      if (ownSent_ || !OwnArrangementLegal()) return false;
      if (setup_.mode == PlayMode::kNet && IsPacer())
        return arrangementsReceived_ >= setup_.joiners;
      if (setup_.mode == PlayMode::kClub && IsPacer()) return arrangementsReceived_ > 2;
      return true;
    case RoundStage::kRevealed:
    case RoundStage::kBackRated:
    case RoundStage::kMiddleRated:
    case RoundStage::kFrontRated:
    case RoundStage::kHandsRated:
      return IsPacer() && !locked_;
    case RoundStage::kRoundOver:
      return nextAllowed_;
    default:
      return false;
  }
}

TableText RoundFlow::CaptionForStage() const {
  switch (stage_) {
    case RoundStage::kDealt:
      return TableText::Word(kWordToBegin);
    case RoundStage::kArranging:
      return TableText::Word(kWordOk);
    case RoundStage::kRevealed:
      return TableText::Word(kWordRateBack);
    case RoundStage::kBackRated:
      return TableText::Word(kWordRateMiddle);
    case RoundStage::kMiddleRated:
      return TableText::Word(kWordRateFront);
    case RoundStage::kFrontRated:
      return TableText::Word(kWordRateHands);
    case RoundStage::kHandsRated:
      return TableText::Word(kWordResult);
    case RoundStage::kRoundOver:
      return TableText::Word(kWordNextGame);
    default:
      return actionCaption_;  // stage 90 leaves the caption as it was
  }
}

void RoundFlow::RefreshButtons() {
  const TableText caption = CaptionForStage();
  const bool enabled = ActionAllowed();
  if (!buttonsShown_ || enabled != actionEnabled_ || !(caption == actionCaption_)) {
    actionCaption_ = caption;
    actionEnabled_ = enabled;
    view_.SetActionButton(caption, enabled);
  }
  const bool endEnabled = counters_.gameOver && !matchEnded_;
  if (!buttonsShown_ || endEnabled != endEnabled_) {
    endEnabled_ = endEnabled;
    view_.SetEndButton(TableText::Word(kWordExitToMenu), endEnabled);
  }
  buttonsShown_ = true;
}

void RoundFlow::StartLock() {
  if (setup_.mode == PlayMode::kComputer || !IsPacer()) return;
  locked_ = true;
  lockTicks_ = 0;
}

void RoundFlow::Tick() {
  Scope scope(*this, "Tick", Scope::kDefer, [this] { Tick(); });
  if (!scope.Entered() || startPhase_ != 2 || !locked_) return;
  if (++lockTicks_ >= kLockTicks) {
    locked_ = false;
    RefreshButtons();
  }
}

// --- the match

void RoundFlow::StartMatch(const MatchStart& start) {
  Scope scope(*this, "StartMatch", Scope::kDefer, [this, start] { StartMatch(start); });
  if (!scope.Entered()) return;
  start_ = start;
  if (setup_.mode == PlayMode::kClub) start_.currentSlot = kSlotClubGame;
  matchStarted_ = true;
  matchEnded_ = false;
  if (setup_.mode == PlayMode::kClub) {
    // The club connection zeroes the counters; the server's first deal starts the match.
    counters_ = MatchCounters{};
    clubFirstDealPending_ = true;
    return;
  }
  NewDeal(true, true);
}

void RoundFlow::NewDeal(bool first, bool countDeal) {
  view_.PrepareTable(setup_.mode);
  if (first) {
    totals_ = {};
    counters_ = FirstDealCounters(start_);
    faceUp_ = false;
  }
  if (countDeal) {
    ++counters_.matchGames;
    ++counters_.gamesPlayed;
  }
  counters_.gameOver = false;

  if (setup_.mode == PlayMode::kComputer) {
    seatNames_ = {kComputerName, kComputerName, kComputerName, start_.name};
  }
  if (IsPacer() && setup_.mode != PlayMode::kClub) {
    Deck deck = decks_ ? decks_() : Deck{};
    if (!IsCompleteDeck(deck)) {
      // A source that yields no whole deck gets a fixed shuffle, never a table short of cards.
      DeckRandom random(0);
      deck = ShuffleDeck(random);
    }
    deck_ = deck;
  }
  for (Hand& hand : hands_) hand.fill(kEmptySlot);

  stage_ = RoundStage::kDealt;
  startPhase_ = 1;
  received_ = {};
  arrangementsReceived_ = 0;
  locked_ = false;
  lockTicks_ = 0;
  score_ = {};
  specials_ = {};
  settledBySpecials_ = false;
  ownSent_ = false;
  selected_ = {};
  own_ = EmptyRows();
  for (Arrangement& rows : rows_) rows = EmptyRows();
  values_ = {};
  nextAllowed_ = false;
  counters_.matchScore = totals_[3];

  RefreshButtons();
  for (int p = 1; p <= 4; ++p) {
    view_.ShowTablet(p, totals_[p - 1],
                     {TabletBox::Blank(), TabletBox::Blank(), TabletBox::Blank()});
  }
  if (IsPacer() && setup_.mode == PlayMode::kNet) sender_.SendDeal(deck_, setup_.ruleTwoFour);

  if (setup_.awaitingFirstDeal) {
    view_.ShowHandText(PacerPosition(), TableText::Word(kWordWaitingForServer));
    return;
  }

  Hands dealt;
  if (setup_.mode == PlayMode::kClub) {
    // At a club table seat s holds deck block 5 - s.
    for (Hand& hand : dealt) hand.fill(kEmptySlot);
    for (int seat = 1; seat <= 4; ++seat) {
      Hand& hand = dealt[PositionOf(setup_.ownSeat, seat) - 1];
      const int block = 5 - seat;
      for (int i = 0; i < kCardsPerHand; ++i) hand[i] = deck_[(block - 1) * kCardsPerHand + i];
      SortHand(hand);
    }
  } else {
    dealt = DealHands(deck_, setup_.ownSeat);
  }
  hands_ = dealt;

  ShowRoundPanel();
  for (int p = 1; p <= 4; ++p) view_.ShowHand(p, hands_[p - 1], p == 4 || faceUp_);
  ShowSeatNamePlates();
  view_.PlaySound(TableSound::kDeal);
  // At a club table the pacer's turn clock runs from each deal.
  if (setup_.mode == PlayMode::kClub) view_.SetTurnClock(PacerPosition(), 26);
  view_.RoundDealt();
}

void RoundFlow::ShowRoundPanel() {
  const bool club = setup_.mode == PlayMode::kClub;
  const int32_t shown = club ? counters_.matchGames : RoundInCycle(counters_.gamesPlayed);
  const std::string length = std::to_string(club ? kMatchLength : kCycleLength);
  RoundPanel panel;
  panel.heading = TableText::Word(kWordGame).L(":");
  panel.count = TableText::Literal(std::to_string(shown) + " / " + length);
  panel.hint =
      TableText::Word(kWordGame).L(": ").L(std::to_string(counters_.gamesPlayed) + " / " + length);
  view_.ShowRoundPanel(panel);
}

void RoundFlow::ShowSeatNamePlates() {
  for (int p = 1; p <= 4; ++p) {
    // A computer seat shows the translated plate name; people show their own names.
    const TableText name = IsComputerSeat(p)
                               ? TableText::Word(kWordComputerSeat)
                               : TableText::Literal(WithoutTrailingBlanks(seatNames_[p - 1]));
    view_.ShowPlate(p, name, PlateColour::kYellow);
  }
}

EndMatchRequest RoundFlow::OnEndButton() {
  EndMatchRequest request;
  Scope scope(*this, "OnEndButton", Scope::kDrop, [] {});
  if (!scope.Entered() || !counters_.gameOver || matchEnded_) return request;
  request.endMatch = true;
  request.sendClubResult = setup_.mode == PlayMode::kClub && IsPacer();
  request.score = counters_.matchScore;
  request.rounds = counters_.matchGames;
  for (int seat = 1; seat <= 4; ++seat) {
    request.totalsBySeat[seat - 1] = totals_[PositionOf(setup_.ownSeat, seat) - 1];
  }
  if (request.sendClubResult) view_.StopTurnClocks();
  matchEnded_ = true;
  RefreshButtons();
  return request;
}

GeneralScoreFigures RoundFlow::OpenGeneralScore(double currentRating) {
  Scope scope(*this, "OpenGeneralScore", Scope::kDrop, [] {});
  if (scope.Entered()) view_.PlaySound(TableSound::kOpenWindow);
  return ComputeGeneralScore(setup_.mode, start_, counters_, currentRating);
}

void RoundFlow::ToggleFaceUp() {
  Scope scope(*this, "ToggleFaceUp", Scope::kDrop, [] {});
  if (!scope.Entered()) return;
  faceUp_ = !faceUp_;
  if (stage_ != RoundStage::kDealt && stage_ != RoundStage::kArranging) return;
  for (int p = 1; p <= 3; ++p) view_.ShowHand(p, hands_[p - 1], faceUp_);
}

// --- the round

bool RoundFlow::OnActionButton() {
  Scope scope(*this, "OnActionButton", Scope::kDrop, [] {});
  if (!scope.Entered() || !actionEnabled_ || !ActionAllowed()) return false;
  if (stage_ == RoundStage::kDealt && startPhase_ == 1) {
    startPhase_ = 2;
    if (setup_.mode != PlayMode::kComputer) sender_.SendStep(StageStep::kStart);
    if (setup_.mode == PlayMode::kClub) view_.StopTurnClocks();
    StartRound();
    return true;
  }
  switch (stage_) {
    case RoundStage::kArranging:
      return RevealArrangements(true, IsPacer());
    case RoundStage::kRevealed:
      return RateRow(kBack, true);
    case RoundStage::kBackRated:
      return RateRow(kMiddle, true);
    case RoundStage::kMiddleRated:
      return RateRow(kFront, true);
    case RoundStage::kFrontRated:
      return RateHands(true);
    case RoundStage::kHandsRated:
      return ShowResult(false, true);
    case RoundStage::kRoundOver:
      if (setup_.mode == PlayMode::kClub) {
        // The server deals; one request per round.
        nextAllowed_ = false;
        sender_.SendNextDeal();
        RefreshButtons();
      } else {
        NewDeal(false, true);
      }
      return true;
    default:
      return false;
  }
}

void RoundFlow::StartRound() {
  bool any = false;
  for (int p = 0; p < kPositions; ++p) {
    specials_[p] = FindSpecial(hands_[p]);
    any = any || specials_[p].code > 0;
  }
  if (any) {
    SettleSpecials(specials_, score_.points, totals_);
    settledBySpecials_ = true;
    for (int p = 1; p <= 4; ++p) {
      const int32_t points = score_.points[p - 1][kSpecialPoints];
      TableText text;
      if (specials_[p - 1].code > 0) {
        const int entry = SpecialNameEntry(specials_[p - 1].code);
        if (entry > 0) text.W(entry);
        text.L(": ");
      }
      text.L(SignedNumber(points));
      view_.ShowPlate(p, text, points > 0 ? PlateColour::kGreen : PlateColour::kRed);
      view_.ShowTablet(p, totals_[p - 1],
                       {TabletBox::Blank(), TabletBox::Show(points), TabletBox::Blank()});
    }
    view_.PlaySound(TableSound::kBonus);
    stage_ = RoundStage::kHandsRated;
    ShowResult(true, false);
    return;
  }
  PlaceInitialRows();
  stage_ = RoundStage::kArranging;
  RefreshButtons();
}

void RoundFlow::PlaceInitialRows() {
  own_ = EmptyRows();
  selected_ = {};
  Hand& hand = hands_[3];
  for (const Placement& p : InitialPlacementOrder()) {
    const Card card = hand[p.handSlot - 1];
    view_.FlyCard(card, CardPlace{CardPlace::kHand, 4, p.handSlot, {}},
                  CardPlace{CardPlace::kOwnRows, 4, 0, p.to});
    CardAt(own_, p.to) = card;
    hand[p.handSlot - 1] = kEmptySlot;
  }
  stage_ = RoundStage::kArranging;  // the rows are in play from here on
  UpdateRowNames();
  if (setup_.mode == PlayMode::kClub) {
    // Arranging time: 75 s for seat 1 down to 60 s for seat 4.
    view_.SetTurnClock(4, 80 - 5 * setup_.ownSeat);
  }
}

bool RoundFlow::RevealArrangements(bool send, bool reveal) {
  if (stage_ != RoundStage::kArranging || matchEnded_) return false;
  StartLock();
  rows_[3] = own_;
  values_[3] = EvaluateArrangement(own_);
  if (send && setup_.mode != PlayMode::kComputer) sender_.SendArrangement(rows_[3]);
  if (!reveal) {
    ownSent_ = true;
    selected_ = {};
    if (setup_.mode == PlayMode::kClub) view_.StopTurnClocks();
    RefreshButtons();
    return true;
  }
  for (int p = 1; p <= 3; ++p) {
    if (IsComputerSeat(p)) {
      const ComputerArrangement computed = ArrangeByComputer(hands_[p - 1]);
      rows_[p - 1] = computed.rows;
      values_[p - 1] = computed.values;
    }
    view_.ShowTableRows(p, rows_[p - 1], std::nullopt);
    view_.PlaySound(TableSound::kDing);
    view_.Pause(500);
  }
  view_.ShowTableRows(4, rows_[3], std::nullopt);
  view_.PlaySound(TableSound::kDing);
  stage_ = RoundStage::kRevealed;
  selected_ = {};
  if (setup_.mode == PlayMode::kNet) ShowSeatNamePlates();
  if (setup_.mode == PlayMode::kClub) view_.SetTurnClock(PacerPosition(), 26);
  RefreshButtons();
  return true;
}

bool RoundFlow::RateRow(RowIndex row, bool send) {
  // The Back is rated once the rows are revealed, the Middle after it, the Front last.
  struct RowStep {
    RoundStage from, to;
    StageStep step;
  };
  static constexpr std::array<RowStep, 3> kSteps = {{
      {RoundStage::kMiddleRated, RoundStage::kFrontRated, StageStep::kRateFront},
      {RoundStage::kBackRated, RoundStage::kMiddleRated, StageStep::kRateMiddle},
      {RoundStage::kRevealed, RoundStage::kBackRated, StageStep::kRateBack},
  }};
  const RowStep& step = kSteps[row];
  if (stage_ != step.from || matchEnded_) return false;
  StartLock();
  view_.PlaySound(TableSound::kDing);
  for (int p = 1; p <= 4; ++p) view_.ShowTableRows(p, rows_[p - 1], row);
  // Every point of the round is computed when the Back is rated; the later stages show them.
  if (row == kBack) score_ = ScoreRound(values_, setup_.ruleTwoFour);
  bool anyBonus = false;
  for (int p = 1; p <= 4; ++p) {
    const int32_t points = score_.points[p - 1][row];
    const bool bonus = score_.bonus[p - 1][row] != 0;
    anyBonus = anyBonus || bonus;
    TableText text = RowNameText(values_[p - 1][row]);
    text.L(": ").L(SignedNumber(points));
    view_.ShowPlate(p, text, bonus ? PlateColour::kViolet : BySign(points));
    TabletBoxes boxes;
    for (RowIndex r : kAllRows) {
      // Rating runs Back, Middle, Front: rows in front of this one are still to come.
      if (r == row)
        boxes[r] = TabletBox::Show(points);
      else
        boxes[r] = r < row ? TabletBox::Blank() : TabletBox::Keep();
    }
    view_.ShowTablet(p, totals_[p - 1], boxes);
  }
  if (anyBonus) view_.PlaySound(TableSound::kBonus);
  stage_ = step.to;
  if (send && setup_.mode != PlayMode::kComputer) sender_.SendStep(step.step);
  if (setup_.mode == PlayMode::kClub) view_.SetTurnClock(PacerPosition(), 26);
  RefreshButtons();
  return true;
}

bool RoundFlow::RateHands(bool send) {
  if (stage_ != RoundStage::kFrontRated || matchEnded_) return false;
  StartLock();
  view_.PlaySound(TableSound::kDing);
  for (int p = 1; p <= 4; ++p) view_.ShowTableRows(p, rows_[p - 1], std::nullopt);
  for (int p = 1; p <= 4; ++p) {
    const int32_t points = score_.points[p - 1][kHandPoints];
    view_.ShowPlate(p, TableText::Word(kWordHand).L(": ").L(SignedNumber(points)), BySign(points));
  }
  stage_ = RoundStage::kHandsRated;
  if (send && setup_.mode != PlayMode::kComputer) sender_.SendStep(StageStep::kRateHands);
  if (setup_.mode == PlayMode::kClub) view_.SetTurnClock(PacerPosition(), 26);
  RefreshButtons();
  return true;
}

bool RoundFlow::ShowResult(bool special, bool send) {
  if (stage_ != RoundStage::kHandsRated || matchEnded_) return false;
  if (send && setup_.mode != PlayMode::kComputer) sender_.SendStep(StageStep::kResult);
  if (special) {
    for (int p = 1; p <= 3; ++p) view_.ShowHand(p, hands_[p - 1], true);
  } else {
    for (int p = 1; p <= 4; ++p) {
      const int32_t roundTotal = RoundTotal(score_.points, p - 1);
      totals_[p - 1] += roundTotal;
      view_.ShowPlate(p, TableText::Word(kWordResult).L(": ").L(SignedNumber(roundTotal)),
                      BySign(roundTotal));
      view_.ShowTablet(p, totals_[p - 1],
                       {TabletBox::Keep(), TabletBox::Keep(), TabletBox::Keep()});
    }
    // The sound follows the local player's round, not the table's.
    const int32_t own = RoundTotal(score_.points, 3);
    view_.PlaySound(own > 0 ? TableSound::kRoundWon
                            : (own < 0 ? TableSound::kRoundLost : TableSound::kRoundDrawn));
  }
  stage_ = RoundStage::kRoundOver;
  nextAllowed_ = false;
  counters_.gameOver = false;
  counters_.matchScore = totals_[3];
  if (setup_.mode != PlayMode::kComputer) {
    // The pacing player waits first, then every machine: the others see the result
    // before the next press can come.
    pausing_ = true;
    RefreshButtons();
    if (IsPacer()) view_.Pause(2000);
    view_.Pause(2000);
    pausing_ = false;
  }
  const EndOfRoundButtons rules =
      EndOfRoundRules(setup_.mode, start_.accountState, IsPacer(), counters_.gamesPlayed);
  nextAllowed_ = rules.nextGame;
  counters_.gameOver = rules.exitToMenu;
  if (setup_.mode == PlayMode::kClub) view_.SetTurnClock(PacerPosition(), 26);
  view_.RoundFinished();
  RefreshButtons();
  return true;
}

// --- received messages

Received RoundFlow::DealReceived(const Deck& deck, bool ruleTwoFour) {
  Scope scope(*this, "DealReceived", Scope::kDefer,
              [this, deck, ruleTwoFour] { DealReceived(deck, ruleTwoFour); });
  if (!scope.Entered()) return Received::kDeferred;
  if (setup_.mode != PlayMode::kNet || IsPacer() || !matchStarted_ || matchEnded_) {
    return Received::kIgnored;
  }
  if (!IsCompleteDeck(deck)) return Received::kRejected;
  deck_ = deck;
  setup_.ruleTwoFour = ruleTwoFour;
  // The joiner's start of the game already counted its first deal.
  const bool countDeal = !setup_.awaitingFirstDeal;
  setup_.awaitingFirstDeal = false;
  NewDeal(false, countDeal);
  return Received::kApplied;
}

Received RoundFlow::ClubDealReceived(const Deck& deck) {
  Scope scope(*this, "ClubDealReceived", Scope::kDefer, [this, deck] { ClubDealReceived(deck); });
  if (!scope.Entered()) return Received::kDeferred;
  if (setup_.mode != PlayMode::kClub || !matchStarted_ || matchEnded_) return Received::kIgnored;
  if (!IsCompleteDeck(deck)) return Received::kRejected;
  deck_ = deck;
  setup_.ruleTwoFour = false;  // tournament games always use "1-6"
  const bool first = clubFirstDealPending_;
  clubFirstDealPending_ = false;
  NewDeal(first, true);
  return Received::kApplied;
}

Received RoundFlow::StepReceived(StageStep step, int sender) {
  Scope scope(*this, "StepReceived", Scope::kDefer,
              [this, step, sender] { StepReceived(step, sender); });
  if (!scope.Entered()) return Received::kDeferred;
  if (setup_.mode == PlayMode::kComputer || !matchStarted_ || matchEnded_)
    return Received::kIgnored;
  if (sender < 1 || sender > 4 || sender == setup_.ownSeat) return Received::kRejected;
  // Rows travel as arrangements, never as a bare step.
  if (step == StageStep::kArrangement || !StepFromNumber(StepNumber(step)))
    return Received::kRejected;
  // Only the pacing player's presses move a round; nobody moves the pacing player.
  if (IsPacer() || sender != 1) return Received::kIgnored;
  bool applied = false;
  switch (step) {
    case StageStep::kStart:
      return StartReceived();
    case StageStep::kRateBack:
      applied = RateRow(kBack, false);
      break;
    case StageStep::kRateMiddle:
      applied = RateRow(kMiddle, false);
      break;
    case StageStep::kRateFront:
      applied = RateRow(kFront, false);
      break;
    case StageStep::kRateHands:
      applied = RateHands(false);
      break;
    case StageStep::kResult:
      applied = ShowResult(false, false);
      break;
    case StageStep::kArrangement:
      break;
  }
  return applied ? Received::kApplied : Received::kIgnored;
}

Received RoundFlow::StartReceived() {
  if (setup_.mode == PlayMode::kComputer || IsPacer() || matchEnded_) return Received::kIgnored;
  if (stage_ != RoundStage::kDealt || startPhase_ != 1 || setup_.awaitingFirstDeal)
    return Received::kIgnored;
  startPhase_ = 2;
  if (setup_.mode == PlayMode::kClub) view_.StopTurnClocks();
  StartRound();
  return Received::kApplied;
}

Received RoundFlow::ArrangementReceived(int sender, const ArrangementCodes& codes) {
  Scope scope(*this, "ArrangementReceived", Scope::kDefer,
              [this, sender, codes] { ArrangementReceived(sender, codes); });
  if (!scope.Entered()) return Received::kDeferred;
  if (setup_.mode == PlayMode::kComputer || !matchStarted_ || matchEnded_)
    return Received::kIgnored;
  if (sender < 1 || sender > 4 || sender == setup_.ownSeat) return Received::kRejected;
  const Received result = StoreArrangement(PositionOf(setup_.ownSeat, sender), codes);
  // The pacing player sends its own arrangement last: it reveals on every machine.
  if (result == Received::kApplied && sender == 1 && !IsPacer()) RevealArrangements(false, true);
  return result;
}

Received RoundFlow::StoreArrangement(int position, const ArrangementCodes& codes) {
  if (!HoldsPerson(position)) return Received::kRejected;
  // Once the rows are revealed the values are scored; a late arrangement must not change them.
  if (stage_ != RoundStage::kDealt && stage_ != RoundStage::kArranging) return Received::kIgnored;
  Arrangement rows;
  for (int i = 0; i < 15; ++i) rows.rows[i / 5][i % 5] = CardFromCode(codes[i]);
  if (!UsesHandCards(rows, hands_[position - 1])) return Received::kRejected;
  // Rows that do not rise are refused like another hand's cards: the flow waits for legal ones.
  const RowValues values = EvaluateArrangement(rows);
  if (!IsLegalArrangement(values)) return Received::kRejected;
  rows_[position - 1] = rows;
  values_[position - 1] = values;
  view_.ShowPlate(position, TableText::Word(kWordIsReady), PlateColour::kRed);
  if (!received_[position - 1]) {
    received_[position - 1] = true;
    if (IsPacer()) ++arrangementsReceived_;
  }
  if (IsPacer() && stage_ == RoundStage::kArranging) UpdateRowNames();
  return Received::kApplied;
}

void RoundFlow::ClubGameEnded() {
  Scope scope(*this, "ClubGameEnded", Scope::kDefer, [this] { ClubGameEnded(); });
  if (!scope.Entered() || setup_.mode != PlayMode::kClub || matchEnded_) return;
  counters_.gameOver = true;
  view_.StopTurnClocks();
  RefreshButtons();
}

void RoundFlow::ClubPlayerGone() {
  Scope scope(*this, "ClubPlayerGone", Scope::kDefer, [this] { ClubPlayerGone(); });
  if (!scope.Entered() || setup_.mode != PlayMode::kClub || matchEnded_) return;
  counters_.gameOver = true;
  view_.StopTurnClocks();
  // A stopped round stays stopped: only a new deal leaves stage 90.
  if (stage_ != RoundStage::kStopped) stage_ = RoundStage::kRoundOver;
  nextAllowed_ = false;
  RefreshButtons();
}

void RoundFlow::StopRound() {
  Scope scope(*this, "StopRound", Scope::kDefer, [this] { StopRound(); });
  if (!scope.Entered() || matchEnded_) return;
  counters_.gameOver = true;
  view_.StopTurnClocks();
  stage_ = RoundStage::kStopped;
  nextAllowed_ = false;
  RefreshButtons();
}

// --- arranging

void RoundFlow::ShowOwn() {
  OwnRowsView shown;
  shown.rows = own_;
  shown.selected = selected_;
  for (int r = 0; r < 3; ++r) {
    bool any = false;
    for (const Card& c : own_.rows[r]) any = any || c.code.IsCard();
    if (any) shown.names[r] = RowNameText(values_[3][r]);
  }
  view_.ShowOwnRows(shown);
}

void RoundFlow::UpdateRowNames() {
  if (stage_ != RoundStage::kArranging) return;
  values_[3] = EvaluateArrangement(own_);
  ShowOwn();
  RefreshButtons();
}

RoundFlow::Click RoundFlow::OnOwnSlotClicked(Slot slot) {
  Scope scope(*this, "OnOwnSlotClicked", Scope::kDrop, [] {});
  // Once the own rows are sent they travel as they are: no more changes.
  if (!scope.Entered() || stage_ != RoundStage::kArranging || ownSent_ || matchEnded_ ||
      !IsCardSlot(slot))
    return Click::kNothing;
  if (selected_ == slot) {
    selected_ = {};
    ShowOwn();
    return Click::kDeselected;
  }
  if (selected_.IsNone()) {
    selected_ = slot;
    ShowOwn();
    return Click::kSelected;
  }
  const Slot first = selected_;
  selected_ = {};
  SwapNow(first, slot);
  return Click::kSwapped;
}

bool RoundFlow::SwapSlots(Slot a, Slot b) {
  Scope scope(*this, "SwapSlots", Scope::kDrop, [] {});
  return scope.Entered() && !matchEnded_ && SwapNow(a, b);
}

bool RoundFlow::SwapNow(Slot a, Slot b) {
  if (stage_ != RoundStage::kArranging || ownSent_ || !IsCardSlot(a) || !IsCardSlot(b) || a == b)
    return false;
  const Card cardA = CardAt(own_, a);
  CardAt(own_, a) = kEmptySlot;
  UpdateRowNames();
  view_.FlyCard(cardA, CardPlace{CardPlace::kOwnRows, 4, 0, a},
                CardPlace{CardPlace::kOwnRows, 4, 0, b});
  const Card cardB = CardAt(own_, b);
  CardAt(own_, b) = cardA;
  view_.FlyCard(cardB, CardPlace{CardPlace::kOwnRows, 4, 0, b},
                CardPlace{CardPlace::kOwnRows, 4, 0, a});
  CardAt(own_, a) = cardB;
  UpdateRowNames();
  return true;
}

std::optional<Card> RoundFlow::CardToSpeak(const CardPlace& place) const {
  const int position = place.position;
  if (position < 1 || position > 4) return std::nullopt;
  const Card* card = nullptr;
  switch (place.area) {
    case CardPlace::kHand: {
      const bool handSpeaks = (stage_ == RoundStage::kDealt && position == 4) ||
                              (stage_ == RoundStage::kRoundOver && settledBySpecials_);
      if (handSpeaks && place.slot >= 1 && place.slot <= kCardsPerHand)
        card = &hands_[position - 1][place.slot - 1];
      break;
    }
    case CardPlace::kOwnRows:
      if (stage_ == RoundStage::kArranging && position == 4 && IsCardSlot(place.rowSlot))
        card = &CardAt(own_, place.rowSlot);
      break;
    case CardPlace::kTableRows: {
      const bool revealed = stage_ >= RoundStage::kRevealed && stage_ <= RoundStage::kRoundOver;
      if (revealed && !settledBySpecials_ && IsCardSlot(place.rowSlot))
        card = &CardAt(rows_[position - 1], place.rowSlot);
      break;
    }
  }
  if (card == nullptr || !card->code.IsCard()) return std::nullopt;
  return *card;
}

}  // namespace trilane

// Drives one machine's round flow with arbitrary presses, ticks, clicks, deals and stage
// messages, as a hostile or broken peer could send them, and delivers more of them from
// inside the flow's own view calls, as a view that ran an event loop would. Nothing may
// crash, the table's totals must stay zero-sum whatever arrives, a stopped round is left
// only by a new deal, and a table that stopped or plays against the computer always has a
// button that moves it on.

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>

#include "table/round_flow.h"

namespace {

using namespace trilane;

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

Slot AnySlot(Reader& in) {
  return Slot{static_cast<RowIndex>(in.Byte() % 4), in.Byte() % 7 - 1};
}

// One entry point of the flow, chosen and filled in from the bytes.
void Deliver(RoundFlow& flow, Reader& in) {
  switch (in.Byte() % 13) {
    case 0:
      flow.OnActionButton();
      break;
    case 1:
      for (int i = in.Byte() % 8; i > 0; --i) flow.Tick();
      break;
    case 2:
      flow.OnOwnSlotClicked(AnySlot(in));
      break;
    case 3: {
      const int step = in.Byte() % 9;
      const int from = in.Byte() % 6;
      flow.StepReceived(static_cast<StageStep>(step), from);
      break;
    }
    case 4:
    case 5: {
      Deck deck;
      if (in.Byte() & 1) {
        for (Card& c : deck) c = Card{CardCode{in.Byte(), in.Byte()}, in.Byte()};
      } else {
        DeckRandom random(in.Byte());
        deck = ShuffleDeck(random);
      }
      if (in.Byte() & 1) {
        flow.DealReceived(deck, in.Byte() & 1);
      } else {
        flow.ClubDealReceived(deck);
      }
      break;
    }
    case 6:
      flow.OnEndButton();
      break;
    case 7:
      flow.OpenGeneralScore(0.0);
      break;
    case 8:
      switch (in.Byte() % 4) {
        case 0:
          flow.ClubGameEnded();
          break;
        case 1:
          flow.ClubPlayerGone();
          break;
        case 2:
          flow.StopRound();
          break;
        default:
          flow.ToggleFaceUp();
      }
      break;
    case 9: {
      const auto area = static_cast<CardPlace::Area>(in.Byte() % 3);
      flow.CardToSpeak(CardPlace{area, in.Byte() % 6, in.Byte() % 16, AnySlot(in)});
      break;
    }
    case 10:
      flow.SwapSlots(AnySlot(in), AnySlot(in));
      break;
    case 11: {
      // The own rows as a peer would send them: codes straight from the bytes, or the
      // sender's real hand in another order.
      ArrangementCodes codes;
      const int from = in.Byte() % 6;
      for (CardCode& c : codes) c = CardCode{in.Byte(), in.Byte()};
      flow.ArrangementReceived(from, codes);
      break;
    }
    default:
      flow.SetJoiners(in.Byte() % 5);
      break;
  }
}

// A view that, between any two of its calls, may hand the flow another event.
class MeddlingView : public TableView {
 public:
  explicit MeddlingView(Reader& in) : in_(in) {}
  RoundFlow* flow = nullptr;
  bool dealt = false;  // PrepareTable was called: a new deal

  void PrepareTable(PlayMode) override {
    dealt = true;
    Meddle();
  }
  void ShowPlate(int, const TableText&, PlateColour) override { Meddle(); }
  void ShowTablet(int, int32_t, const TabletBoxes&) override { Meddle(); }
  void ShowHand(int, const Hand&, bool) override { Meddle(); }
  void ShowHandText(int, const TableText&) override { Meddle(); }
  void ShowOwnRows(const OwnRowsView&) override { Meddle(); }
  void ShowTableRows(int, const Arrangement&, std::optional<RowIndex>) override { Meddle(); }
  void ShowRoundPanel(const RoundPanel&) override { Meddle(); }
  void SetActionButton(const TableText&, bool) override { Meddle(); }
  void SetEndButton(const TableText&, bool) override { Meddle(); }
  void PlaySound(TableSound) override { Meddle(); }
  void Pause(int) override { Meddle(); }
  void FlyCard(const Card&, const CardPlace&, const CardPlace&) override { Meddle(); }

 private:
  void Meddle() {
    if (flow != nullptr && !in_.Done() && in_.Byte() % 4 == 0) Deliver(*flow, in_);
  }
  Reader& in_;
};

class NullSender : public StageSender {
 public:
  void SendStep(StageStep) override {}
  void SendArrangement(const Arrangement&) override {}
  void SendDeal(const Deck&, bool) override {}
  void SendNextDeal() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  MeddlingView view(in);
  NullSender sender;
  uint32_t seed = in.Byte();
  RoundFlow flow(view, sender, [&seed] {
    DeckRandom random(seed++);
    return ShuffleDeck(random);
  });
  // Calls from inside view calls are expected here: they must be put off, not fail.
  flow.SetReentryHandler([](std::string_view) {});
  TableSetup setup;
  setup.mode = static_cast<PlayMode>(in.Byte() % 3);
  setup.ownSeat = in.Byte() % 6 - 1;  // out-of-range numbers too
  setup.joiners = in.Byte() % 6 - 1;
  setup.ruleTwoFour = in.Byte() & 1;
  setup.awaitingFirstDeal = in.Byte() & 1;
  flow.Configure(setup);
  MatchStart start;
  start.currentSlot = in.Byte() % 10;
  start.gamesPlayed = static_cast<int8_t>(in.Byte());
  start.accountState = in.Byte() % 4;
  flow.StartMatch(start);
  view.flow = &flow;

  while (!in.Done()) {
    const RoundStage before = flow.Stage();
    view.dealt = false;
    Deliver(flow, in);
    const Totals& t = flow.RoundTotals();
    if (std::accumulate(t.begin(), t.end(), 0) != 0) __builtin_trap();
    // Stage 90 is left only through a new deal.
    if (before == RoundStage::kStopped && flow.Stage() != RoundStage::kStopped && !view.dealt)
      __builtin_trap();
    if (!flow.MatchEnded()) {
      // A stopped round can always be ended; against the computer a button always moves
      // the table on, except while the player arranges the own rows.
      if (flow.Stage() == RoundStage::kStopped && !flow.EndEnabled()) __builtin_trap();
      if (flow.Setup().mode == PlayMode::kComputer && flow.Stage() != RoundStage::kArranging &&
          !flow.ActionEnabled() && !flow.EndEnabled())
        __builtin_trap();
    }
  }
  return 0;
}

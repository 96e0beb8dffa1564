// Drives one machine's round flow with arbitrary presses, ticks, clicks, deals and stage
// messages, as a hostile or broken peer could send them. Nothing may crash, and the table's
// totals must stay zero-sum whatever arrives.

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>

#include "table/round_flow.h"

namespace {

using namespace trilane;

class NullView : public TableView {
 public:
  void PrepareTable(PlayMode) override {}
  void ShowPlate(int, const TableText&, PlateColour) override {}
  void ShowTablet(int, int32_t, const TabletBoxes&) override {}
  void ShowHand(int, const Hand&, bool) override {}
  void ShowHandText(int, const TableText&) override {}
  void ShowOwnRows(const OwnRowsView&) override {}
  void ShowTableRows(int, const Arrangement&, int) override {}
  void ShowRoundPanel(const RoundPanel&) override {}
  void SetActionButton(const TableText&, bool) override {}
  void SetEndButton(const TableText&, bool) override {}
  void PlaySound(std::string_view) override {}
  void Pause(int) override {}
  void FlyCard(const Card&, const CardPlace&, const CardPlace&) override {}
};

class NullSender : public StageSender {
 public:
  void SendStage(int, const Arrangement*) override {}
  void SendDeal(const Deck&, bool) override {}
  void SendNextDeal() override {}
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Bytes(size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += static_cast<char>(Byte());
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  NullView view;
  NullSender sender;
  uint32_t seed = in.Byte();
  RoundFlow flow(view, sender, [&seed] {
    DeckRandom random(seed++);
    return ShuffleDeck(random);
  });
  TableSetup setup;
  setup.mode = static_cast<PlayMode>(in.Byte() % 3);
  setup.ownNumber = in.Byte() % 6 - 1;  // out-of-range numbers too
  setup.joiners = in.Byte() % 6 - 1;
  setup.ruleTwoFour = in.Byte() & 1;
  setup.awaitingFirstDeal = in.Byte() & 1;
  flow.Configure(setup);
  MatchStart start;
  start.currentSlot = in.Byte() % 10;
  start.roundNumber = static_cast<int8_t>(in.Byte());
  start.accountState = in.Byte() % 4;
  flow.StartMatch(start);

  while (!in.Done()) {
    switch (in.Byte() % 12) {
      case 0:
        flow.OnActionButton();
        break;
      case 1:
        for (int i = in.Byte() % 8; i > 0; --i) flow.Tick();
        break;
      case 2:
        flow.OnOwnSlotClicked(Slot{in.Byte() % 5 - 1, in.Byte() % 7 - 1});
        break;
      case 3: {
        const int stage = in.Byte() % 10;
        const int from = in.Byte() % 6;
        flow.StageReceived(stage, from, in.Bytes(in.Byte() % 2 ? 30 : in.Byte() % 40));
        break;
      }
      case 4:
      case 5: {
        Deck deck;
        const bool raw = in.Byte() & 1;
        if (raw) {
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
        flow.Button8Click();
        break;
      case 7:
        flow.GenCountClick(0.0);
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
      case 9:
        flow.CardToSpeak(in.Byte() % 6, in.Byte() * 2 - 40, in.Byte() * 2 - 40, GridGeometry{},
                         in.Byte() * 2);
        break;
      case 10:
        flow.SwapSlots(Slot{in.Byte() % 4, in.Byte() % 6}, Slot{in.Byte() % 4, in.Byte() % 6});
        break;
      default:
        // The own rows as a peer would send them: a payload straight from the bytes.
        flow.ArrangementReceived(in.Byte() % 6, *ParseArrangementPayload(in.Bytes(30)));
        break;
    }
    const Totals& t = flow.RoundTotals();
    if (std::accumulate(t.begin(), t.end(), 0) != 0) __builtin_trap();
  }
  return 0;
}

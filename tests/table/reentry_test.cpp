// A view must hand control back without calling into the flow; one that runs an event loop
// inside a pause or a flight would deliver whatever arrived meanwhile into the middle of a
// transition. The flow refuses such calls: messages, ticks and stops wait until the
// transition has ended, the player's own presses are dropped, and either way the table
// stays playable.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recorder.h"

namespace trilane {
namespace {

using test::RecordingSender;
using test::RecordingView;

// A recording view that runs `meddle` from inside its pauses and flights while armed.
class MeddlingView : public RecordingView {
 public:
  std::function<void()> meddle;
  bool armed = false;
  int meddled = 0;

  void Pause(int milliseconds) override {
    RecordingView::Pause(milliseconds);
    Meddle();
  }
  void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) override {
    RecordingView::FlyCard(card, from, to);
    Meddle();
  }

 private:
  void Meddle() {
    if (!armed || !meddle) return;
    armed = false;  // once per arming: the meddling itself may pause
    ++meddled;
    meddle();
  }
};

// A host of direct play whose joiners are all computer seats: it paces every step itself,
// locks after each and pauses twice on every result.
struct Host {
  Host() : flow(view, sender, test::Decks({test::PlainDeck(5), test::PlainDeck(6)})) {
    flow.SetReentryHandler([this](std::string_view entry) { reentries.emplace_back(entry); });
    flow.Configure(TableSetup{PlayMode::kNet, 1, 0, false, false});
    flow.StartMatch({});
  }
  void PlayTo(RoundStage stage) {
    const Hand own = flow.TableHands()[3];
    ASSERT_TRUE(flow.OnActionButton());
    test::ArrangeOwnRows(flow, own);
    while (flow.Stage() != stage) {
      for (int i = 0; i < kLockTicks; ++i) flow.Tick();
      ASSERT_TRUE(flow.OnActionButton()) << StageNumber(flow.Stage());
    }
  }
  MeddlingView view;
  RecordingSender sender;
  RoundFlow flow;
  std::vector<std::string> reentries;
};

TEST(ReentryTest, AStopDuringTheResultPauseLeavesTheEndButtonEnabled) {
  Host host;
  host.PlayTo(RoundStage::kHandsRated);
  host.view.meddle = [&] {
    host.flow.StopRound();
    EXPECT_EQ(host.flow.StepReceived(StageStep::kRateBack, 2), Received::kDeferred);
    EXPECT_FALSE(host.flow.OnActionButton());
    host.flow.Tick();
  };
  host.view.armed = true;
  for (int i = 0; i < kLockTicks; ++i) host.flow.Tick();
  ASSERT_TRUE(host.flow.OnActionButton());  // Result: its pauses deliver the stop

  EXPECT_EQ(host.view.meddled, 1);
  EXPECT_EQ(host.reentries,
            (std::vector<std::string>{"StopRound", "StepReceived", "OnActionButton", "Tick"}));
  // The stop came after the result and holds: the round is over and the match can end.
  EXPECT_EQ(host.flow.Stage(), RoundStage::kStopped);
  EXPECT_TRUE(host.flow.Counters().gameOver);
  EXPECT_FALSE(host.view.actionEnabled);
  EXPECT_TRUE(host.view.endEnabled);
  EXPECT_TRUE(host.flow.OnEndButton().endMatch);
}

TEST(ReentryTest, TheRevealPausesCannotLeaveAStoppedRound) {
  Host host;
  const Hand own = host.flow.TableHands()[3];
  ASSERT_TRUE(host.flow.OnActionButton());
  test::ArrangeOwnRows(host.flow, own);
  host.view.meddle = [&] { host.flow.StopRound(); };
  host.view.armed = true;
  // The Ok press reveals the computer seats with a pause after each.
  ASSERT_TRUE(host.flow.OnActionButton());
  EXPECT_EQ(host.reentries, std::vector<std::string>{"StopRound"});
  EXPECT_EQ(host.flow.Stage(), RoundStage::kStopped);
  EXPECT_TRUE(host.view.endEnabled);
  // Nothing but a new deal leaves stage 90: late steps and rows change nothing.
  for (int i = 0; i < kLockTicks; ++i) host.flow.Tick();
  EXPECT_FALSE(host.flow.OnActionButton());
  EXPECT_EQ(host.flow.Stage(), RoundStage::kStopped);
}

TEST(ReentryTest, PressesAndClicksDuringTheFirstLayoutAreDropped) {
  Host host;
  const Hand own = host.flow.TableHands()[3];
  host.view.meddle = [&] {
    EXPECT_EQ(host.flow.OnOwnSlotClicked({kFront, 1}), RoundFlow::Click::kNothing);
    EXPECT_FALSE(host.flow.SwapSlots({kFront, 1}, {kBack, 1}));
    EXPECT_FALSE(host.flow.OnActionButton());
  };
  host.view.armed = true;
  ASSERT_TRUE(host.flow.OnActionButton());  // To begin: the cards fly into the rows
  EXPECT_EQ(host.reentries.size(), 3u);
  EXPECT_EQ(host.flow.OwnRows(), InitialRows(own));  // the layout is as if nobody clicked
  EXPECT_TRUE(host.flow.SelectedSlot().IsNone());
  EXPECT_EQ(host.flow.Stage(), RoundStage::kArranging);
}

TEST(ReentryTest, WithoutAHandlerALateCallIsStillPutOff) {
  MeddlingView view;
  RecordingSender sender;
  RoundFlow flow(view, sender, test::Decks({test::PlainDeck(5)}));
  flow.Configure(TableSetup{PlayMode::kNet, 1, 0, false, false});
  flow.StartMatch({});
  const Hand own = flow.TableHands()[3];
  ASSERT_TRUE(flow.OnActionButton());
  test::ArrangeOwnRows(flow, own);
  view.meddle = [&] { flow.StopRound(); };
  view.armed = true;
#ifdef NDEBUG
  ASSERT_TRUE(flow.OnActionButton());
  EXPECT_EQ(flow.Stage(), RoundStage::kStopped);
  EXPECT_TRUE(view.endEnabled);
#else
  // A debug build stops at once, so the mistake is seen where it is made.
  EXPECT_DEATH(flow.OnActionButton(), "called from inside a view or sender call");
#endif
}

}  // namespace
}  // namespace trilane

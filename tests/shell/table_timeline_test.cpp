// The table's timeline without a window: steps play in order, a pause or a flight holds
// what comes after it, the table is busy (and refuses input) while anything waits,
// finishing plays everything at once, and a dropped timeline runs nothing of what it held.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <string>
#include <vector>

#include "shell/table/table_timeline.h"
#include "table_test_app.h"

namespace trilane {
namespace {

class TimelineTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TableTestApp(); }

  TableTimeline::Player Player() {
    TableTimeline::Player player;
    player.fly = [this](const CardFlight& f) {
      log.push_back("fly " + std::to_string(f.from.slot));
      return glide;  // a gliding card lands when the test says so
    };
    player.land = [this] { log.push_back("land"); };
    player.calm = [this] { ++calms; };
    player.idle = [this] { log.push_back("idle"); };
    return player;
  }
  std::function<void()> Note(std::string text) {
    return [this, text] { log.push_back(text); };
  }
  static CardFlight Flight(int slot) {
    CardFlight f;
    f.from.slot = slot;
    return f;
  }

  std::vector<std::string> log;
  int calms = 0;
  bool glide = true;
};

TEST_F(TimelineTest, StepsPlayInOrderAndAPauseHoldsWhatFollows) {
  TableTimeline timeline(Player());
  timeline.Apply(Note("a"));
  timeline.Pause(60);
  timeline.Apply(Note("b"));
  EXPECT_TRUE(timeline.Busy());
  EXPECT_TRUE(log.empty());  // queued, not played inside the call
  QElapsedTimer clock;
  clock.start();
  timeline.Play();
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_TRUE(timeline.Busy());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !timeline.Busy(); }, 5000));
  EXPECT_GE(clock.elapsed(), 50);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "idle"}));
}

TEST_F(TimelineTest, AFlightHoldsTheTimelineUntilTheCardHasLanded) {
  TableTimeline timeline(Player());
  timeline.Fly(Flight(1));
  timeline.Fly(Flight(2));
  timeline.Apply(Note("after"));
  timeline.Play();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1"}));
  timeline.Play();  // nothing moves on while the card glides
  EXPECT_EQ(log.size(), 1u);
  timeline.Landed();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "fly 2"}));
  timeline.Landed();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "fly 2", "after", "idle"}));
  EXPECT_FALSE(timeline.Busy());
  EXPECT_GT(calms, 0);  // the flying card's layer may go once no flight follows
}

TEST_F(TimelineTest, FinishingPlaysEverythingAtOnceAndLandsTheCardInFlight) {
  TableTimeline timeline(Player());
  timeline.Fly(Flight(1));
  timeline.Pause(100000);
  timeline.Apply(Note("end"));
  timeline.Play();
  ASSERT_EQ(log, (std::vector<std::string>{"fly 1"}));
  bool instantInside = false;
  timeline.Apply([&] { instantInside = timeline.Instant(); });
  timeline.Finish();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "land", "end", "idle"}));
  EXPECT_TRUE(instantInside);
  EXPECT_FALSE(timeline.Instant());
  EXPECT_FALSE(timeline.Busy());
  // A pause in the middle of finishing is no wait either.
  timeline.Pause(100000);
  timeline.Apply(Note("later"));
  timeline.Finish();
  EXPECT_EQ(log.back(), "idle");
  EXPECT_EQ(log[log.size() - 2], "later");
}

TEST_F(TimelineTest, ADroppedTimelineRunsNothingItHeld) {
  TableTimeline timeline(Player());
  timeline.Apply(Note("first"));
  timeline.Pause(30);
  timeline.Apply(Note("never"));
  timeline.Play();
  timeline.Drop();
  EXPECT_FALSE(timeline.Busy());
  QTest::qWait(80);  // the pause's timer would have fired by now
  const auto played = [&] {
    std::vector<std::string> steps;
    for (const std::string& entry : log)
      if (entry != "idle") steps.push_back(entry);
    return steps;
  };
  EXPECT_EQ(played(), (std::vector<std::string>{"first"}));
  timeline.Fly(Flight(3));
  timeline.Drop();  // queued but never played
  QTest::qWait(10);
  EXPECT_EQ(played(), (std::vector<std::string>{"first"}));
  // A landing reported for a dropped flight changes nothing.
  timeline.Landed();
  EXPECT_FALSE(timeline.Busy());
}

TEST_F(TimelineTest, AFlightThatLandsAtOnceDoesNotHoldTheTimeline) {
  glide = false;
  TableTimeline timeline(Player());
  timeline.Fly(Flight(1));
  timeline.Apply(Note("next"));
  timeline.Play();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "next", "idle"}));
}

}  // namespace
}  // namespace trilane

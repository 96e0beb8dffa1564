// The order the table plays the flow's requests in, without a window or a clock: steps play
// in order, a pause or a flight holds what comes after it, the view is busy while anything
// waits, finishing plays everything at once, and a dropped timeline runs nothing it held.
#include "table/view_timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "timeline_log.h"

namespace trilane {
namespace {

class ViewTimelineTest : public ::testing::Test, protected test::TimelineLog {
 protected:
  std::vector<std::string>& log = lines;
};

TEST_F(ViewTimelineTest, StepsPlayInOrderAndAPauseHoldsWhatFollows) {
  ViewTimeline timeline(Player(), Clock());
  timeline.Apply(Note("a"));
  timeline.Pause(60);
  timeline.Apply(Note("b"));
  EXPECT_TRUE(timeline.Busy());
  EXPECT_TRUE(log.empty());  // queued, not played inside the call
  EXPECT_EQ(schedules, 1);   // one play asked for the whole stretch
  timeline.ScheduledPlay();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "wait 60"}));
  timeline.Play();  // nothing moves on during the pause
  EXPECT_EQ(log.size(), 2u);
  EXPECT_TRUE(timeline.Busy());
  timeline.PauseEnded();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "wait 60", "b", "idle"}));
  EXPECT_FALSE(timeline.Busy());
  // A pause of nothing (or less) is no wait.
  timeline.Pause(-5);
  timeline.Apply(Note("c"));
  EXPECT_EQ(schedules, 2);
  timeline.ScheduledPlay();
  EXPECT_EQ(log.back(), "idle");
  EXPECT_EQ(log[log.size() - 2], "c");
}

TEST_F(ViewTimelineTest, AFlightHoldsTheTimelineUntilTheCardHasLanded) {
  ViewTimeline timeline(Player(), Clock());
  timeline.Fly(Flight(1));
  timeline.Fly(Flight(2));
  timeline.Apply(Note("after"));
  timeline.Play();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1"}));
  timeline.PauseEnded();  // no pause runs: nothing moves on
  EXPECT_EQ(log.size(), 1u);
  timeline.Landed();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "fly 2"}));
  timeline.Landed();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "fly 2", "after", "idle"}));
  EXPECT_FALSE(timeline.Busy());
  EXPECT_GT(calms, 0);  // the flying card's layer may go once no flight follows
}

TEST_F(ViewTimelineTest, FinishingPlaysEverythingAtOnceAndLandsTheCardInFlight) {
  ViewTimeline timeline(Player(), Clock());
  timeline.Fly(Flight(1));
  timeline.Pause(100000);
  timeline.Apply(Note("end"));
  timeline.Play();
  bool instantInside = false;
  timeline.Apply([&] { instantInside = timeline.Instant(); });
  timeline.Finish();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "land", "end", "idle"}));
  EXPECT_TRUE(instantInside);
  EXPECT_FALSE(timeline.Instant());
  EXPECT_FALSE(timeline.Busy());
  // Finishing during a pause calls the pause off.
  timeline.Pause(100000);
  timeline.Apply(Note("later"));
  timeline.Play();
  EXPECT_EQ(log.back(), "wait 100000");
  timeline.Finish();
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(log[log.size() - 2], "later");
  EXPECT_EQ(log.back(), "idle");
}

TEST_F(ViewTimelineTest, ADroppedTimelineRunsNothingItHeld) {
  ViewTimeline timeline(Player(), Clock());
  timeline.Apply(Note("first"));
  timeline.Pause(30);
  timeline.Apply(Note("never"));
  timeline.Play();
  timeline.Drop();
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(timeline.Busy());
  timeline.PauseEnded();  // a timer that fired anyway changes nothing
  timeline.Fly(Flight(3));
  timeline.Drop();  // queued but never played
  timeline.ScheduledPlay();
  timeline.Landed();
  EXPECT_EQ(Played(), (std::vector<std::string>{"first", "wait 30"}));
  EXPECT_FALSE(timeline.Busy());
}

TEST_F(ViewTimelineTest, AFlightThatLandsAtOnceDoesNotHoldTheTimeline) {
  glide = false;
  ViewTimeline timeline(Player(), Clock());
  timeline.Fly(Flight(1));
  timeline.Apply(Note("next"));
  timeline.Play();
  EXPECT_EQ(log, (std::vector<std::string>{"fly 1", "next", "idle"}));
}

}  // namespace
}  // namespace trilane

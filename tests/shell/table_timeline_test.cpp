// The table's timeline on Qt's timers: steps queued play once the call has returned, a
// pause really holds what follows for its time, and a dropped timeline's timer runs nothing
// of what it held. (The order of the steps is the table room's, tested there.)
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <string>
#include <vector>

#include "../table/timeline_log.h"
#include "shell/table/table_timeline.h"
#include "table_test_app.h"

namespace trilane {
namespace {

class TimelineTest : public ::testing::Test, protected test::TimelineLog {
 protected:
  void SetUp() override { test::TableTestApp(); }
  std::vector<std::string>& log = lines;
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

TEST_F(TimelineTest, ADroppedTimelineRunsNothingItHeld) {
  TableTimeline timeline(Player());
  timeline.Apply(Note("first"));
  timeline.Pause(30);
  timeline.Apply(Note("never"));
  timeline.Play();
  timeline.Drop();
  EXPECT_FALSE(timeline.Busy());
  QTest::qWait(80);  // the pause's timer would have fired by now
  EXPECT_EQ(Played(), (std::vector<std::string>{"first"}));
  timeline.Fly(Flight(3));
  timeline.Drop();  // queued, its play already asked for, but never played
  QTest::qWait(10);
  EXPECT_EQ(Played(), (std::vector<std::string>{"first"}));
  EXPECT_FALSE(timeline.Busy());
}

}  // namespace
}  // namespace trilane

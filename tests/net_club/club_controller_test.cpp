// One club seat fed the server's frames directly: what it sends, what it tells the window
// and what its round flow does.

#include "net/club/club_controller.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "table/auto_player.h"

namespace trilane::club {
namespace {

class Pipe : public net::Link {
 public:
  void Send(std::string_view bytes) override { sent.append(bytes); }
  void Close() override { closed = true; }
  std::string sent;
  bool closed = false;
};

class Recorder : public ClubListener {
 public:
  void ChatLine(int seat, const std::string& utf8, bool own) override {
    chats.push_back(std::to_string(seat) + (own ? " own " : " ") + utf8);
  }
  void GameStopped(const ClubNotice& n) override { notices.push_back(n); }
  void Refused(int, const std::string& why) override { refused.push_back(why); }
  std::vector<std::string> chats, refused;
  std::vector<ClubNotice> notices;
};

class ClockedTable : public HeadlessTable {
 public:
  ClubController* controller = nullptr;
  void SetTurnClock(int position, int seconds) override { controller->ClockSet(position, seconds); }
  void StopTurnClocks() override { controller->ClocksStopped(); }
};

// A deal in which no hand holds a special combination, so "h1" starts arranging.
Deck TestDeck() {
  for (uint32_t seed = 1;; ++seed) {
    DeckRandom random(seed);
    const Deck deck = ShuffleDeck(random);
    bool special = false;
    for (const Hand& hand : DealHands(deck, 1)) special = special || FindSpecial(hand).code > 0;
    if (!special) return deck;
  }
}

// Seat 2 connected, its introduction read off the pipe.
class ClubSeat : public ::testing::Test {
 protected:
  ClubSeat()
      : controller_(2, MatchStart{kSlotClubGame, "Bo"}, recorder_), flow_(view_, controller_, {}) {
    view_.controller = &controller_;
    controller_.Attach(flow_);
    controller_.Connecting(pipe_);
    controller_.Connected();
    EXPECT_EQ(pipe_.sent, EncodeConnect(2));
    pipe_.sent.clear();
  }
  Pipe pipe_;
  Recorder recorder_;
  ClockedTable view_;
  ClubController controller_;
  RoundFlow flow_;
};

TEST_F(ClubSeat, OwnTimeOutSendsTOutAndLoses) {
  controller_.Received(EncodeDeal(TestDeck()) + EncodeStep(1, 1));
  ASSERT_EQ(flow_.Stage(), RoundStage::kArranging);
  EXPECT_EQ(controller_.Clock().position, 4);
  EXPECT_EQ(controller_.Clock().count, 70);  // seat 2 arranges in 70 s
  for (int i = 0; i < 69; ++i) controller_.Tick();
  EXPECT_TRUE(pipe_.sent.empty());
  controller_.Tick();
  EXPECT_EQ(pipe_.sent, EncodeTimeOut(2));
  EXPECT_TRUE(pipe_.closed);
  ASSERT_EQ(recorder_.notices.size(), 1u);
  EXPECT_EQ(recorder_.notices[0].reason, StopReason::kOwnTimeOut);
  EXPECT_EQ(recorder_.notices[0].second, TableText::Word(kWordYouLose));
  EXPECT_EQ(flow_.Stage(), RoundStage::kStopped);
  EXPECT_EQ(controller_.Link(), ClubLink::kFinished);
}

TEST_F(ClubSeat, AnotherPlayersClockOnlyCountsDown) {
  controller_.Received(EncodeDeal(TestDeck()));
  EXPECT_EQ(controller_.Clock().position, PositionOf(2, 1));
  for (int i = 0; i < 40; ++i) controller_.Tick();
  EXPECT_EQ(controller_.Clock().count, 0);
  EXPECT_TRUE(pipe_.sent.empty());
  EXPECT_TRUE(recorder_.notices.empty());
}

TEST_F(ClubSeat, TheFirstLeaverEndsTheGameAndLaterReportsAreIgnored) {
  controller_.SetSeatNames({"Ann", "Bo", "Cid", "Dag"});
  controller_.Received(EncodeDeal(TestDeck()) + EncodePlayerLeft(3) + EncodePlayerLeft(4) +
                       EncodePlayerTimedOut(1));
  ASSERT_EQ(recorder_.notices.size(), 1u);
  EXPECT_EQ(recorder_.notices[0].reason, StopReason::kPlayerLeft);
  EXPECT_EQ(recorder_.notices[0].seat, 3);
  EXPECT_EQ(recorder_.notices[0].line,
            TableText::Word(kWordLobbyPlayer).L(" ").L("Cid").L(" ").W(kWordInterruptedTheGame));
  EXPECT_TRUE(pipe_.closed);
  EXPECT_TRUE(flow_.Counters().gameOver);
}

TEST_F(ClubSeat, ALostConnectionIsReportedWithOrWithoutAGame) {
  controller_.Closed();
  ASSERT_EQ(recorder_.notices.size(), 1u);
  EXPECT_EQ(recorder_.notices[0].reason, StopReason::kNotConnected);

  Recorder recorder;
  ClockedTable view;
  ClubController controller(3, MatchStart{kSlotClubGame, "Cid"}, recorder);
  RoundFlow flow(view, controller, {});
  view.controller = &controller;
  controller.Attach(flow);
  Pipe pipe;
  controller.Connecting(pipe);
  controller.Connected();
  controller.Received(EncodeDeal(TestDeck()));
  controller.Closed();
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_EQ(recorder.notices[0].reason, StopReason::kConnectionLost);
  EXPECT_EQ(flow.Stage(), RoundStage::kStopped);
  controller.Closed();  // reported once
  EXPECT_EQ(recorder.notices.size(), 1u);
}

TEST_F(ClubSeat, ChatAndStagesAreTakenOnlyAsTheServerSignedThem) {
  EXPECT_FALSE(controller_.SendChat("too early"));
  controller_.Received(EncodeDeal(TestDeck()));
  EXPECT_TRUE(controller_.SendChat("hi all"));
  EXPECT_EQ(pipe_.sent, EncodeChat("hi all", 2));
  controller_.Received(Frame("sab#cd", 3) + EncodeChat("me", 2));
  EXPECT_EQ(recorder_.chats, (std::vector<std::string>{"2 own hi all", "3 ab"}));
  // "h1" whose byte 33 names the pacer but which the server relayed from seat 3.
  controller_.Received(WithSeat(EncodeStep(1, 1), 3));
  EXPECT_EQ(flow_.Stage(), RoundStage::kDealt);
  controller_.Received(EncodeStep(1, 1));
  EXPECT_EQ(flow_.Stage(), RoundStage::kArranging);
}

}  // namespace
}  // namespace trilane::club

// The tournament lobby's seating against the reference club service: taking a seat and
// what the club game is told to connect to, giving it up with the seats above, a seat taken
// by another, the seat freed after a socket error, the names read at the deal, and the
// seat lost when the service goes away.
#include "program/lobby_seating.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "club_member.h"
#include "club_service_process.h"

namespace trilane::tourney {
namespace {

using trilane::testing::ClubMember;

TEST(LobbySeatingTest, TakingGivingUpAndLosingASeat) {
  const int basePort = web::testing::FreePort();
  auto service = std::make_unique<web::testing::ClubService>(
      std::vector<std::string>{"--no-tourney", "--tourney-base-port", std::to_string(basePort)});
  ASSERT_FALSE(service->Url().empty()) << "the service did not start";
  ClubMember ann(service->Url(), "Ann", "127.0.0.1");
  ClubMember bob(service->Url(), "Bob", "127.0.0.2");
  ASSERT_TRUE(ann.signedIn && bob.signedIn);

  LobbySeating lobby(ann.client.get(), ann.account);
  EXPECT_EQ(lobby.OwnSeatRecord().Nick, "Ann");
  EXPECT_EQ(lobby.OwnSeatRecord().Sex, 'W');
  LobbyRead read = lobby.Refresh();
  EXPECT_TRUE(lobby.ServerOn());
  EXPECT_TRUE(read.stateRead);
  EXPECT_FALSE(read.locked);
  EXPECT_EQ(lobby.ServerAddress(), "127.0.0.1");
  EXPECT_EQ(lobby.BasePort(), basePort);
  EXPECT_EQ(read.buttons[2][0].caption, SeatCaption::kTakeThePlaceOf);

  // A seat taken: the club game connects to the table's port with the seat's match start.
  SeatClickOutcome taken = lobby.ClickSeat(3, 1);
  ASSERT_EQ(taken.kind, SeatClick::kTaken);
  EXPECT_EQ(taken.seat, 1);
  EXPECT_EQ(taken.address, "127.0.0.1");
  EXPECT_EQ(taken.port, std::optional<uint16_t>(static_cast<uint16_t>(basePort + 3)));
  EXPECT_EQ(taken.start.currentSlot, kSlotClubGame);
  EXPECT_EQ(taken.start.name, "Ann");
  EXPECT_EQ(lobby.Held(), (HeldSeat{3, 1}));
  read = lobby.Refresh();
  EXPECT_TRUE(read.locked);
  EXPECT_FALSE(read.seatLost);
  EXPECT_EQ(read.buttons[2][0].caption, SeatCaption::kLogOff);
  // No second seat while one is held; out of range is nothing either.
  EXPECT_EQ(lobby.ClickSeat(5, 1).kind, SeatClick::kNothing);
  EXPECT_EQ(lobby.ClickSeat(11, 1).kind, SeatClick::kNothing);

  // Bob sits beside her; she gives up: her seat is freed, his (another address) is not.
  ASSERT_EQ(bob.client->WebTakeSeat("4", kTourneyGameId, 3, 1, web::TQorClient{"Bob"}, 2),
            web::SeatResult::kTaken);
  EXPECT_EQ(lobby.ClickSeat(3, 1).kind, SeatClick::kGivenUp);
  EXPECT_FALSE(lobby.Held().Held());
  web::WebRead<web::TableList> tables = ann.client->WebReadTables();
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(tables.value[2].Seats[0].Nick, "X");
  EXPECT_EQ(tables.value[2].Seats[1].Nick, "Bob");
  // His seat is his.
  EXPECT_EQ(lobby.ClickSeat(3, 2).kind, SeatClick::kNotTaken);
  EXPECT_FALSE(lobby.Held().Held());

  // The club socket failed before the game: the seat is freed.
  ASSERT_EQ(lobby.ClickSeat(6, 1).kind, SeatClick::kTaken);
  lobby.FreeAfterSocketError();
  EXPECT_FALSE(lobby.Held().Held());
  tables = ann.client->WebReadTables();
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(tables.value[5].Seats[0].Nick, "X");

  // The deal: the table's names, and no seat held afterwards.
  ASSERT_EQ(lobby.ClickSeat(7, 1).kind, SeatClick::kTaken);
  const auto names = lobby.GameDealt();
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ((*names)[0], "Ann");
  EXPECT_EQ((*names)[1], "X");
  EXPECT_FALSE(lobby.Held().Held());
  EXPECT_FALSE(lobby.GameDealt().has_value());  // no seat, nothing read
  // (The game would give the seat back; here the test does.)
  ASSERT_EQ(ann.client->WebTakeSeat("4", kTourneyGameId, 7, 0, web::FreeSeat(), 1),
            web::SeatResult::kTaken);

  // The service goes away while a seat is held: the seat is lost, every button "Server Off".
  ASSERT_EQ(lobby.ClickSeat(8, 1).kind, SeatClick::kTaken);
  service.reset();
  read = lobby.Refresh();
  EXPECT_TRUE(read.seatLost);
  EXPECT_FALSE(read.stateRead);
  EXPECT_FALSE(read.locked);
  EXPECT_FALSE(lobby.ServerOn());
  EXPECT_FALSE(lobby.Held().Held());
  EXPECT_EQ(read.buttons[7][0].caption, SeatCaption::kServerOff);
  EXPECT_EQ(lobby.ClickSeat(8, 1).kind, SeatClick::kNotTaken);
}

TEST(LobbySeatingTest, WithoutAWebClientNothingIsReadOrSent) {
  web::TQorUser user;
  user.Nick = "Ann";
  LobbySeating lobby(nullptr, user);
  EXPECT_EQ(lobby.ReadOwnPlace(), -1);
  const LobbyRead read = lobby.Refresh();
  EXPECT_FALSE(lobby.ServerOn());
  EXPECT_FALSE(read.seatLost);
  EXPECT_EQ(read.buttons[0][0].caption, SeatCaption::kServerOff);
  EXPECT_EQ(lobby.ClickSeat(1, 1).kind, SeatClick::kNothing);
  EXPECT_FALSE(lobby.GameDealt().has_value());
}

}  // namespace
}  // namespace trilane::tourney

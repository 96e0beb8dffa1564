// The tournament lobby's decisions: the seat buttons, the seats given up with a seat, and
// the welcome line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/lobby_seats.h"

namespace trilane::tourney {
namespace {

using web::TQorClient;
using web::TQorTable_4;

// A table from one letter per seat: "-" free, any other letter a player of that nick.
TQorTable_4 TableOf(std::string_view seats) {
  TQorTable_4 table = web::EmptyTable();
  for (size_t k = 0; k < 4 && k < seats.size(); ++k) {
    if (seats[k] == '-') continue;
    table.Seats[k].Nick = std::string(1, seats[k]);
    table.Seats[k].Score = static_cast<int64_t>(k + 1) * 10;
  }
  return table;
}

// One button as the table of cases writes it: caption letter and enabled flag.
//   L "Log off", O occupied, T "Take the place of", F "Free"; lower case: disabled.
std::string Describe(const TableButtons& buttons) {
  std::string out;
  for (const SeatButton& b : buttons) {
    char c = '?';
    switch (b.caption) {
      case SeatCaption::kLogOff:
        c = 'L';
        break;
      case SeatCaption::kOccupied:
        c = 'O';
        break;
      case SeatCaption::kTakeThePlaceOf:
        c = 'T';
        break;
      case SeatCaption::kFree:
        c = 'F';
        break;
      case SeatCaption::kServerOff:
        c = 'S';
        break;
    }
    out += b.enabled ? c : static_cast<char>(c + ('a' - 'A'));
  }
  return out;
}

TEST(TourneyLobbySeats, ButtonsFollowTheSeatOrderAndTheHeldSeat) {
  struct Case {
    std::string_view seats;
    HeldSeat held;  // table 5 is the table drawn
    std::string_view expected;
  };
  const Case cases[] = {
      {"----", {}, "Tfff"},      // only the first seat is offered
      {"A---", {}, "oTff"},      // then the second
      {"AB--", {}, "ooTf"},      //
      {"ABC-", {}, "oooT"},      //
      {"ABCD", {}, "oooo"},      // a full table
      {"-B--", {}, "ToTf"},      // a seat below that emptied is offered again
      {"A---", {5, 1}, "Ltff"},  // the own seat may be given up; nothing else is offered
      {"AB--", {5, 2}, "oLtf"},  //
      {"ABC-", {5, 3}, "ooLt"},  //
      {"ABCD", {5, 4}, "oooo"},  // the fourth seat cannot be given up
      {"AB--", {7, 1}, "ootf"},  // a seat held elsewhere disables every free seat here
      {"A---", {5, 2}, "otff"},  // a held seat the list shows free reads free
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ButtonsOfTable(TableOf(c.seats), 5, c.held)), c.expected)
        << "seats " << c.seats << " held " << c.held.table << "/" << c.held.seat;
  }
  const TableButtons full = ButtonsOfTable(TableOf("ABCD"), 5, {});
  EXPECT_EQ(full[2].nick, "C");
  EXPECT_EQ(full[2].score, 30);
}

TEST(TourneyLobbySeats, ALostSeatFreesEveryTableAndAServerOffClosesAll) {
  web::TableList tables;
  for (auto& t : tables) t = TableOf("----");
  tables[1] = TableOf("A---");
  // Held at table 4, whose first seat the service has cleared: the seat is lost, and the
  // tables before it offer their seats as well as the tables after it.
  const HeldSeat lost{4, 2};
  EXPECT_FALSE(CheckHeldSeat(tables, lost).Held());
  const LobbyButtons lobby = ButtonsOfLobby(tables, lost, true);
  EXPECT_EQ(Describe(lobby[0]), "Tfff");
  EXPECT_EQ(Describe(lobby[1]), "oTff");
  EXPECT_EQ(Describe(lobby[9]), "Tfff");
  // Held at table 2, still listed: kept.
  EXPECT_EQ(CheckHeldSeat(tables, {2, 1}), (HeldSeat{2, 1}));
  EXPECT_EQ(Describe(ButtonsOfLobby(tables, {2, 1}, true)[0]), "tfff");

  for (const TableButtons& table : ButtonsOfLobby(tables, {2, 1}, false))
    EXPECT_EQ(Describe(table), "ssss");
}

TEST(TourneyLobbySeats, SeatsFreedWithAGivenUpSeatAndAfterASocketError) {
  EXPECT_EQ(SeatsGivenUp(1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(SeatsGivenUp(2), (std::vector<int>{2, 3}));
  EXPECT_EQ(SeatsGivenUp(3), (std::vector<int>{3}));
  EXPECT_TRUE(SeatsGivenUp(4).empty());
  EXPECT_EQ(SeatsFreedAfterError(1), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(SeatsFreedAfterError(3), (std::vector<int>{3, 4}));
  EXPECT_EQ(SeatsFreedAfterError(4), (std::vector<int>{4}));
  EXPECT_TRUE(SeatsFreedAfterError(0).empty());

  EXPECT_EQ(WelcomeText("Good_luck__to_all_"), "Good luck  to all ");
  EXPECT_EQ(WelcomeFontPoints(39), 28);
  EXPECT_EQ(WelcomeFontPoints(40), 24);
  EXPECT_EQ(WelcomeFontPoints(54), 24);
  EXPECT_EQ(WelcomeFontPoints(55), 20);
}

}  // namespace
}  // namespace trilane::tourney

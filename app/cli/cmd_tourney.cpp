// trilane-cli tourney: one seat of the online tournament, headless. It signs in to the club
// service, takes the seat at the table, connects the club socket to the table's tournament
// server and plays the seat with the computer's arrangement through the club controller and
// the round flow, printing a line per finished deal. It ends with the game: 0 after the
// server's "e", 1 with the program's message when the seat is refused, a player leaves or
// runs out of time, its own time runs out or the connection is lost.

#if defined(TRILANE_CLUB_PLAY) && !defined(TRILANE_CLI_NO_WEB)

#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "base/codepage.h"
#include "cli.h"
#include "commands.h"
#include "net/club/club_controller.h"
#include "net/club/club_socket.h"
#include "net_run.h"
#include "table/auto_player.h"
#include "web/calls.h"
#include "web/curl_transport.h"
#include "words/words.h"

namespace trilane::cli {
namespace {

using namespace trilane::web;

constexpr int kWebTimeoutMs = 15000;

// The table nobody looks at, which passes the flow's turn clock on to the controller.
class ClockedTable : public HeadlessTable {
 public:
  club::ClubController* controller = nullptr;
  void SetTurnClock(int position, int seconds) override {
    if (controller != nullptr) controller->ClockSet(position, seconds);
  }
  void StopTurnClocks() override {
    if (controller != nullptr) controller->ClocksStopped();
  }
};

// What the club controller reports, and the end of the command.
class Outcome : public club::ClubListener, public RunEnd {
 public:
  Outcome() : RunEnd("tourney") {}
  std::function<void()> onIntroduced, onDealt, onNotConnected;

  void Introduced() override {
    if (onIntroduced) onIntroduced();
  }
  void GameDealt() override {
    if (onDealt) QTimer::singleShot(0, QCoreApplication::instance(), onDealt);
  }
  void GameEnded() override { ended_ = true; }

  void GameStopped(const club::ClubNotice& notice) override {
    // No game came of the seat: it is given up rather than left held.
    if (notice.reason == club::StopReason::kNotConnected && onNotConnected) onNotConnected();
    std::string line = OneLine(notice.line);
    if (!notice.second.Empty()) line += " " + OneLine(notice.second);
    Fail(line);
  }

  bool Ended() const { return ended_; }

 private:
  bool ended_ = false;
};

}  // namespace

int RunTourney(const CommandArgs& raw) {
  const Args args(raw,
                  {"service", "nick", "password", "table", "seat", "timeout", "tick-ms", "source"},
                  {"json"});
  const std::string service = args.Required("service");
  const std::optional<std::string> nick = Utf8ToCp1251(args.Required("nick"));
  if (!nick || nick->empty()) throw UsageError("--nick cannot be written in code page 1251");
  const std::optional<std::string> password = Utf8ToCp1251(args.Required("password"));
  if (!password) throw UsageError("--password cannot be written in code page 1251");
  const int table = static_cast<int>(args.RequiredInt("table", 1, 10));
  const int seat = static_cast<int>(args.RequiredInt("seat", 1, 4));
  const int timeoutSeconds = static_cast<int>(args.Int("timeout", 1, 86400, 300));
  // The length of the one-second tick (the turn clock and the pacer's lock), shortened in
  // tests together with the server's --tourney-second-ms.
  const int tickMs = static_cast<int>(args.Int("tick-ms", 1, 60000, 1000));
  // A local address to leave from, for several players at one machine (each seat is taken
  // from the address it plays from).
  const std::string source = args.Value("source").value_or("");
  if (!source.empty() && QHostAddress(QString::fromStdString(source)).isNull())
    throw UsageError("--source needs an IP address, not '" + source + "'");
  const bool json = args.Flag("json");
  if (!AddressesUnder(service)) throw UsageError("--service: '" + service + "' names no host");
  SetServiceOverride(service);

  CurlTransport transport;
  transport.SetLocalAddress(source);
  const auto webTimeout = std::chrono::milliseconds(kWebTimeoutMs);
  WebClient web(transport, ChooseAddresses(transport, nullptr, webTimeout));
  web.SetReadTimeout(webTimeout);
  const auto fail = [](const std::string& line) {
    std::fprintf(stderr, "trilane-cli tourney: %s\n", line.c_str());
    return 1;
  };

  // Signed in, with the seat record the lobby would send.
  const WebRead<TQorUser> user = web.WebReadUser(*nick, *password);
  if (!user.ok) return fail(std::string(Word(kWordLoginFailed)));
  const WebRead<OnlineRating> rating = web.WebReadRating(kTourneyGameId, *nick);
  TQorClient record;
  record.Nick = *nick;
  if (rating.ok) {
    record.Score = rating.value.Score;
    record.Kon = rating.value.Kon;
    record.Rating = rating.value.Rating;
  }
  record.Country = user.value.Country1;
  record.City = user.value.City;
  record.Sex = user.value.Sex;
  const WebRead<TableList> tables = web.WebReadTables();
  if (!tables.ok) return fail(std::string(Word(kWordCantConnectToServer)));
  // Every table is reached through table 1's entry: its address, its port - 1 + t.
  const std::string address = tables.value[0].IP;
  const int64_t port = tables.value[0].Port - 1 + table;
  if (port < 1 || port > 65535) return fail("the table list names no tournament server");
  if (web.WebTakeSeat("4", kTourneyGameId, table, 1, record, seat) != SeatResult::kTaken) {
    return fail("seat " + std::to_string(seat) + " of table " + std::to_string(table) +
                " was refused");
  }
  const auto giveUpSeat = [&] { web.WebTakeSeat("4", kTourneyGameId, table, 2, FreeSeat(), seat); };

  QtApp qt;
  ClockedTable view;
  Outcome outcome;
  MatchStart start;
  start.currentSlot = kSlotClubGame;
  start.name = Cp1251ToUtf8(*nick);
  start.gamesPlayed = static_cast<int32_t>(record.Kon);
  start.initialScore = static_cast<int32_t>(record.Score);
  start.initialRating = static_cast<double>(record.Rating);
  club::ClubController controller(seat, start, outcome);
  view.controller = &controller;
  RoundFlow flow(view, controller, DeckSource{});
  controller.Attach(flow);
  AutoPlayer player(flow);
  club::ClubSocket socket(controller);

  view.onRoundFinished = [&] { PrintRound(json, flow, seat); };
  outcome.onIntroduced = [&] {
    if (json) {
      Json j;
      PrintLine(j.BeginObject()
                    .Key("seated")
                    .BeginObject()
                    .Key("table")
                    .Int(table)
                    .Key("seat")
                    .Int(seat)
                    .EndObject()
                    .EndObject()
                    .Text());
    } else {
      PrintLine("seated at table " + std::to_string(table) + " seat " + std::to_string(seat));
    }
  };
  outcome.onNotConnected = giveUpSeat;
  // The other players' names, for the messages that name them.
  outcome.onDealt = [&] {
    const WebRead<TableList> now = web.WebReadTables();
    if (!now.ok) return;
    std::array<std::string, 4> names;
    for (int s = 1; s <= 4; ++s)
      names[s - 1] = Cp1251ToUtf8(now.value[table - 1].Seats[s - 1].Nick);
    controller.SetSeatNames(names);
  };

  const auto play = [&] {
    if (outcome.Done()) return;
    for (;;) {
      const AutoPlayer::Did did = player.Step();
      if (did == AutoPlayer::Did::kNothing) break;
      if (did == AutoPlayer::Did::kEndedMatch) controller.EndGame(player.EndRequest());
    }
    if (outcome.Ended()) outcome.Finish([&] { return socket.Busy(); });
  };
  socket.SetAfterEvent(play);
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, &ticks, [&] {
    flow.Tick();
    controller.Tick();
    play();
  });
  ticks.start(tickMs);
  QTimer::singleShot(timeoutSeconds * 1000, QCoreApplication::instance(), [&] {
    if (!controller.Dealt()) {
      controller.GiveUpSeat();
      giveUpSeat();
    } else {
      controller.Leave();
    }
    outcome.Fail("the game did not end within " + std::to_string(timeoutSeconds) + " seconds");
  });

  socket.Connect(QString::fromStdString(address), static_cast<quint16>(port),
                 QString::fromStdString(source));
  return RunEventLoop();
}

}  // namespace trilane::cli

#endif

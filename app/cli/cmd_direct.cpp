// Direct play from the command line: "host" listens for joiners and deals, "join" takes a
// seat at a host. Each plays its own seat with the computer's arrangement, through the same
// codec, controllers, sockets and round flow as the game, for one match of four deals,
// printing a line per finished round. The table is headless: it shows nothing and plays no
// pauses, so only the host's lock ticks (--tick-ms) pace the rounds.

#ifdef TRILANE_DIRECT_PLAY

#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "cli.h"
#include "commands.h"
#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"
#include "net/direct/qt_transport.h"
#include "net_run.h"
#include "table/auto_player.h"

namespace trilane::cli {
namespace {

// How long a joiner waits to be seated after it started connecting.
constexpr int kSeatingWaitMs = 30000;
// How long a game may stand still before it is ended (--idle-timeout).
constexpr int kIdleSeconds = 300;

// What the host and the joiner report, and the end of the command.
class Outcome : public direct::DirectListener, public RunEnd {
 public:
  Outcome(const char* command, std::function<void()> onSeated,
          std::function<void()> onSeatedAs = {})
      : RunEnd(command), onSeated_(std::move(onSeated)), onSeatedAs_(std::move(onSeatedAs)) {}

  void JoinerSeated(int, const TableText&) override { Later(onSeated_); }
  void SeatedAs(int) override { Later(onSeatedAs_); }
  void GameInterrupted(const TableText& message) override { Fail(SqueezedLine(message)); }
  void JoinFailed(const TableText& message) override { Fail(SqueezedLine(message)); }

 private:
  static void Later(const std::function<void()>& f) {
    if (f) QTimer::singleShot(0, QCoreApplication::instance(), f);
  }
  std::function<void()> onSeated_;
  std::function<void()> onSeatedAs_;
};

// Ends a game that has stopped moving: a peer that sends nothing, or whose machine froze,
// would otherwise keep the table waiting for good. The game moves when its round stage,
// its deal or the number of rows in changes; bytes alone (chat) do not count.
class IdleWatch {
 public:
  IdleWatch(const RoundFlow& flow, int seconds, std::function<void(int)> expired)
      : flow_(flow), seconds_(seconds), expired_(std::move(expired)) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Check(); });
  }
  // From now on the game is watched.
  void Start() {
    if (timer_.isActive()) return;
    last_ = Position();
    since_ = std::chrono::steady_clock::now();
    timer_.start(std::min(1000, seconds_ * 250));
  }

 private:
  uint64_t Position() const {
    return static_cast<uint64_t>(flow_.Counters().matchGames) << 24 |
           static_cast<uint64_t>(StageNumber(flow_.Stage())) << 8 |
           static_cast<uint64_t>(flow_.ArrangementsReceived());
  }
  void Check() {
    const auto now = std::chrono::steady_clock::now();
    if (const uint64_t position = Position(); position != last_) {
      last_ = position;
      since_ = now;
      return;
    }
    if (now - since_ >= std::chrono::seconds(seconds_)) {
      timer_.stop();
      expired_(seconds_);
    }
  }

  const RoundFlow& flow_;
  int seconds_;
  std::function<void(int)> expired_;
  QTimer timer_;
  uint64_t last_ = 0;
  std::chrono::steady_clock::time_point since_;
};

std::string IdleMessage(int seconds) {
  return "the game has not moved for " + std::to_string(seconds) + " seconds; it is over";
}

// Lets the local seat act until it has nothing to do; true when its match ended now.
bool PlaySeat(AutoPlayer& player) {
  for (;;) {
    const AutoPlayer::Did did = player.Step();
    if (did == AutoPlayer::Did::kNothing) return false;
    if (did == AutoPlayer::Did::kEndedMatch) return true;
  }
}

uint32_t SeedFromClock() {
  return static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace

int RunHost(const CommandArgs& raw) {
  const Args args(raw,
                  {"port", "players", "seed", "rule", "name", "tick-ms", "bind", "idle-timeout"},
                  {"json"});
  const auto port = static_cast<quint16>(args.RequiredInt("port", 0, 65535));
  const int players = static_cast<int>(args.Int("players", 2, 4, 2));
  const std::optional<std::string> seedText = args.Value("seed");
  const uint32_t seed = seedText
                            ? static_cast<uint32_t>(ParseInt(*seedText, 0, 4294967295LL, "--seed"))
                            : SeedFromClock();
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule != "1-6" && rule != "2-4")
    throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
  const std::string name = args.Value("name").value_or("Host");
  const int tickMs = static_cast<int>(args.Int("tick-ms", 1, 60000, 1000));
  const QString bind = QString::fromStdString(args.Value("bind").value_or(""));
  QHostAddress address(QHostAddress::Any);
  if (!bind.isEmpty() && !address.setAddress(bind))
    throw UsageError("--bind needs an IP address, not '" + bind.toStdString() + "'");
  const bool json = args.Flag("json");
  const int idleSeconds = static_cast<int>(args.Int("idle-timeout", 1, 86400, kIdleSeconds));

  QtApp qt;
  HeadlessTable view;
  QTimer ticks;
  std::function<void()> startGame;
  Outcome outcome("host", [&] { startGame(); });
  direct::HostController host(name, outcome);
  RoundFlow flow(view, host, SeededDecks(seed));
  host.Attach(flow);
  AutoPlayer player(flow);
  direct::HostTransport transport(host);
  view.onRoundFinished = [&] { PrintRound(json, flow, 1); };
  IdleWatch idle(flow, idleSeconds, [&](int seconds) {
    host.Leave();
    outcome.Fail(IdleMessage(seconds));
  });

  const auto play = [&] {
    if (outcome.Done() || !PlaySeat(player)) return;
    host.Leave();
    outcome.Finish([&] { return transport.Busy(); });
  };
  startGame = [&] {
    if (host.Joiners() + 1 < players || host.Phase() != direct::LinkPhase::kSeating) return;
    MatchStart start;
    start.name = name;
    host.StartGame(start, rule == "2-4");
    ticks.start(tickMs);
    idle.Start();
    play();
  };
  QObject::connect(&ticks, &QTimer::timeout, &ticks, [&] {
    flow.Tick();
    play();
  });
  transport.SetAfterEvent(play);

  std::string error;
  host.StartSeating();
  if (!transport.Listen(address, port, &error)) {
    std::fprintf(stderr, "trilane-cli host: cannot listen on port %u: %s\n", port, error.c_str());
    return 1;
  }
  if (json) {
    Json j;
    PrintLine(j.BeginObject().Key("listening").Int(transport.Port()).EndObject().Text());
  } else {
    PrintLine("listening on port " + std::to_string(transport.Port()));
  }
  return RunEventLoop();
}

int RunJoin(const CommandArgs& raw) {
  const Args args(raw, {"address", "port", "name", "idle-timeout"}, {"json"});
  const QString address = QString::fromStdString(args.Required("address"));
  const auto port = static_cast<quint16>(args.RequiredInt("port", 1, 65535));
  const std::string name = args.Value("name").value_or("Join");
  const bool json = args.Flag("json");
  const int idleSeconds = static_cast<int>(args.Int("idle-timeout", 1, 86400, kIdleSeconds));

  QtApp qt;
  HeadlessTable view;
  std::function<void()> seated;
  Outcome outcome("join", {}, [&] { seated(); });
  MatchStart start;
  start.name = name;
  direct::JoinerController joiner(name, start, outcome);
  RoundFlow flow(view, joiner, DeckSource{});
  joiner.Attach(flow);
  AutoPlayer player(flow);
  direct::JoinTransport transport(joiner);
  view.onRoundFinished = [&] { PrintRound(json, flow, joiner.NetId()); };
  IdleWatch idle(flow, idleSeconds, [&](int seconds) {
    joiner.Leave();
    outcome.Fail(IdleMessage(seconds));
  });
  seated = [&] { idle.Start(); };

  transport.SetAfterEvent([&] {
    if (outcome.Done() || !PlaySeat(player)) return;
    joiner.Leave();
    outcome.Finish([&] { return transport.Busy(); });
  });
  transport.Connect(address, port);
  // A host that takes the connection but never seats this player (or an address that
  // never answers) ends the command instead of leaving it waiting for good.
  QTimer::singleShot(kSeatingWaitMs, QCoreApplication::instance(), [&] {
    const direct::LinkPhase phase = joiner.Phase();
    if (phase == direct::LinkPhase::kIdle || phase == direct::LinkPhase::kSeating)
      outcome.Fail("no seat from the host within " + std::to_string(kSeatingWaitMs / 1000) +
                   " seconds");
  });
  return RunEventLoop();
}

}  // namespace trilane::cli

#endif  // TRILANE_DIRECT_PLAY

#ifdef TRILANE_DIRECT_SESSION

// "traffic": a seeded direct-play match played in one process over in-memory streams, with
// every byte each side sent written down. Peers on different systems must send the very
// same bytes, so the files and the printed checksums of two builds are compared byte for
// byte. The joiners chat once a round, texts built to look like other messages among them.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"
#include "net/direct/memory_link.h"
#include "table/auto_player.h"

namespace trilane::cli {
namespace {

// A stream that keeps a copy of what goes through it.
class RecordingLink : public net::Link {
 public:
  RecordingLink(net::Link& inner, std::string& sent) : inner_(inner), sent_(sent) {}
  void Send(std::string_view bytes) override {
    sent_.append(bytes);
    inner_.Send(bytes);
  }
  void Close() override { inner_.Close(); }

 private:
  net::Link& inner_;
  std::string& sent_;
};

uint64_t Fnv1a(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

struct TrafficJoiner {
  TrafficJoiner(const std::string& name, direct::DirectListener& listener)
      : controller(name, MatchStart{kSlotNewPlayer, name}, listener),
        flow(view, controller, DeckSource{}),
        player(flow) {
    controller.Attach(flow);
    auto [hostSide, joinerSide] = direct::MemoryLink::Pair();
    hostEnd = std::move(hostSide);
    end = std::move(joinerSide);
    hostRecorder = std::make_unique<RecordingLink>(*hostEnd, down);
    endRecorder = std::make_unique<RecordingLink>(*end, up);
  }
  HeadlessTable view;
  direct::JoinerController controller;
  RoundFlow flow;
  AutoPlayer player;
  std::unique_ptr<direct::MemoryLink> hostEnd, end;
  std::unique_ptr<RecordingLink> hostRecorder, endRecorder;
  std::string down, up;  // host to joiner, joiner to host
  int connection = -1;
  bool left = false;
};

// Lets a seat act until it has nothing to do; true when anything happened. `arranged` runs
// each time the seat has arranged its rows.
bool DriveSeat(AutoPlayer& player, bool& left, const std::function<void()>& leave,
               const std::function<void()>& arranged) {
  bool moved = false;
  while (!left) {
    const AutoPlayer::Did did = player.Step();
    if (did == AutoPlayer::Did::kNothing) break;
    moved = true;
    if (did == AutoPlayer::Did::kArranged) arranged();
    if (did == AutoPlayer::Did::kEndedMatch) {
      left = true;
      leave();
    }
  }
  return moved;
}

}  // namespace

int RunTraffic(const CommandArgs& raw) {
  const Args args(raw, {"seed", "players", "rule", "out"}, {});
  if (!args.Positional().empty()) {
    throw UsageError("unexpected argument '" + args.Positional()[0] + "'");
  }
  const auto seed = static_cast<uint32_t>(args.RequiredInt("seed", 0, 4294967295LL));
  const int players = static_cast<int>(args.Int("players", 2, 4, 4));
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule != "1-6" && rule != "2-4")
    throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
  const std::optional<std::string> out = args.Value("out");

  direct::DirectListener quiet;
  HeadlessTable hostView;
  direct::HostController host("Anna", quiet);
  RoundFlow hostFlow(hostView, host, SeededDecks(seed));
  host.Attach(hostFlow);
  AutoPlayer hostPlayer(hostFlow);
  std::vector<std::string> totals;
  hostView.onRoundFinished = [&] {
    std::string line = "round " + std::to_string(hostFlow.Counters().matchGames) + " totals";
    for (int k = 1; k <= 4; ++k)
      line += " " + std::to_string(hostFlow.RoundTotals()[PositionOf(1, k) - 1]);
    totals.push_back(line);
  };
  host.StartSeating();

  const char* names[] = {"Bo", "Carl", "\xD0\x94\xD0\xBE\xD1\x80\xD0\xB0"};  // "Дора"
  std::vector<std::unique_ptr<TrafficJoiner>> joiners;
  for (int i = 0; i + 1 < players; ++i) {
    joiners.push_back(std::make_unique<TrafficJoiner>(names[i], quiet));
    TrafficJoiner& j = *joiners.back();
    j.connection = host.Accepted(*j.hostRecorder);
    j.controller.StartJoining(*j.endRecorder);
    j.controller.Connected();
  }
  // Whole reads, in a fixed order: the same on every system.
  const auto deliver = [&] {
    bool any = false;
    for (auto& j : joiners) {
      if (j->hostEnd->HasPending()) {
        any = true;
        const std::string bytes = j->hostEnd->Read(SIZE_MAX);
        if (!bytes.empty()) {
          host.Received(j->connection, bytes);
        } else if (j->hostEnd->TakeClosed()) {
          host.Closed(j->connection);
        }
      }
      if (j->end->HasPending()) {
        any = true;
        const std::string bytes = j->end->Read(SIZE_MAX);
        if (!bytes.empty()) {
          j->controller.Received(bytes);
        } else if (j->end->TakeClosed()) {
          j->controller.Closed();
        }
      }
    }
    return any;
  };
  while (deliver()) {
  }
  if (host.Joiners() + 1 != players ||
      !host.StartGame(MatchStart{kSlotNewPlayer, "Anna"}, rule == "2-4")) {
    std::fprintf(stderr, "trilane-cli traffic: the table was not seated\n");
    return 1;
  }
  const std::string chats[] = {"hi", "qor9425connect1", "connect2+3ABCDE",
                               "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"};  // "привет"
  bool hostLeft = false;
  int idle = 0;
  while (idle < 20) {
    bool moved = deliver();
    moved = DriveSeat(
                hostPlayer, hostLeft, [&] { host.Leave(); }, [] {}) ||
            moved;
    for (auto& j : joiners) {
      TrafficJoiner& m = *j;
      moved = DriveSeat(
                  m.player, m.left, [&m] { m.controller.Leave(); },
                  [&m, &chats] {
                    const int round = m.flow.Counters().matchGames;
                    m.controller.SendChat(chats[static_cast<size_t>(round) % 4]);
                  }) ||
              moved;
    }
    if (moved) {
      idle = 0;
    } else {
      hostFlow.Tick();
      ++idle;
    }
  }

  for (const std::string& line : totals) std::printf("%s\n", line.c_str());
  for (const auto& j : joiners) {
    const int netId = j->controller.NetId();
    for (const auto& [what, bytes] : {std::pair{"to", &j->down}, std::pair{"from", &j->up}}) {
      const std::string name = std::string(what) + "-" + std::to_string(netId) + ".bin";
      std::printf("%s %zu bytes fnv1a %s\n", name.c_str(), bytes->size(),
                  Hex(Fnv1a(*bytes)).c_str());
      if (out) {
        std::ofstream file(*out + "/" + name, std::ios::binary);
        file.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        if (!file) throw std::runtime_error("cannot write " + *out + "/" + name);
      }
    }
  }
  return totals.size() == 4 ? 0 : 1;
}

}  // namespace trilane::cli

#endif  // TRILANE_DIRECT_SESSION

#pragma once
// A host and its joiners in one process: each machine with its own round flow, headless
// table and computer-played seat, wired by in-memory streams whose bytes arrive in reads
// of varying size.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"
#include "net/direct/memory_link.h"
#include "table/auto_player.h"

namespace trilane::direct::test {

class Listener : public DirectListener {
 public:
  void JoinerSeated(int netId, const TableText&) override { seated.push_back(netId); }
  void SeatedAs(int netId) override { seatedAs = netId; }
  void ChatLine(int writer, const std::string& utf8, bool own) override {
    chats.push_back(std::to_string(writer) + (own ? " own: " : ": ") + utf8);
  }
  void GameInterrupted(const TableText& text) override {
    ++interruptions;
    message = text;
  }
  void JoinFailed(const TableText& text) override {
    joinFailed = true;
    message = text;
  }
  void Refused(int, const std::string& why) override { refused.push_back(why); }

  std::vector<int> seated;
  int seatedAs = 0;
  std::vector<std::string> chats;
  int interruptions = 0;
  bool joinFailed = false;
  TableText message;
  std::vector<std::string> refused;
};

// What one machine saw at the end of a round, by NetId.
struct RoundSeen {
  Deck deck{};
  std::array<Arrangement, 4> rows{};
  std::array<int32_t, 4> totals{};
  friend bool operator==(const RoundSeen&, const RoundSeen&) = default;
};

inline RoundSeen SeenBy(const RoundFlow& flow) {
  RoundSeen seen;
  seen.deck = flow.CurrentDeck();
  const int own = flow.Setup().ownSeat;
  for (int k = 1; k <= 4; ++k) {
    seen.rows[k - 1] = flow.TableRows(PositionOf(own, k));
    seen.totals[k - 1] = flow.RoundTotals()[PositionOf(own, k) - 1];
  }
  return seen;
}

struct Machine {
  Listener listener;
  HeadlessTable view;
  std::vector<RoundSeen> rounds;
  bool ended = false;

  void Watch(const RoundFlow& flow) {
    view.onRoundFinished = [this, &flow] { rounds.push_back(SeenBy(flow)); };
  }
};

struct HostMachine : Machine {
  HostMachine(const std::string& name, uint32_t seed)
      : controller(name, listener), flow(view, controller, SeededDecks(seed)), player(flow) {
    controller.Attach(flow);
    Watch(flow);
    controller.StartSeating();
  }
  HostController controller;
  RoundFlow flow;
  AutoPlayer player;
};

struct JoinerMachine : Machine {
  explicit JoinerMachine(const std::string& name)
      : controller(name, MatchStart{kSlotNewPlayer, name}, listener),
        flow(view, controller, DeckSource{}),
        player(flow) {
    controller.Attach(flow);
    Watch(flow);
  }
  JoinerController controller;
  RoundFlow flow;
  AutoPlayer player;
  std::unique_ptr<MemoryLink> end;      // this machine's end of the stream
  std::unique_ptr<MemoryLink> hostEnd;  // the host's end
  int connection = -1;                  // the host's number for it
};

class DirectTable {
 public:
  explicit DirectTable(uint32_t seed) : host("Anna", seed), chunkSeed_(seed * 2654435761u + 1) {}

  // A new connection to the host; the joiner greets it at once.
  JoinerMachine& Connect(const std::string& name) {
    joiners.push_back(std::make_unique<JoinerMachine>(name));
    JoinerMachine& j = *joiners.back();
    auto [hostEnd, end] = MemoryLink::Pair();
    j.hostEnd = std::move(hostEnd);
    j.end = std::move(end);
    j.connection = host.controller.Accepted(*j.hostEnd);
    j.controller.StartJoining(*j.end);
    j.controller.Connected();
    return j;
  }

  // Delivers bytes and closings, lets every seat play and ticks the host's clock, until the
  // matches are over or nothing moves any more.
  void Run(int idleTicks = 20) {
    RunUntil([] { return false; }, idleTicks);
  }
  template <typename Done>
  void RunUntil(Done done, int idleTicks = 20) {
    int idle = 0;
    while (idle < idleTicks && !done()) {
      if (Deliver() || Play()) {
        idle = 0;
        continue;
      }
      host.flow.Tick();
      ++idle;
    }
  }

  bool Deliver() {
    bool any = false;
    for (auto& j : joiners) {
      if (j->hostEnd->HasPending()) {
        any = true;
        const std::string bytes = j->hostEnd->Read(NextChunk());
        if (!bytes.empty()) {
          host.controller.Received(j->connection, bytes);
        } else if (j->hostEnd->TakeClosed()) {
          host.controller.Closed(j->connection);
        }
      }
      if (j->end->HasPending()) {
        any = true;
        const std::string bytes = j->end->Read(NextChunk());
        if (!bytes.empty()) {
          j->controller.Received(bytes);
        } else if (j->end->TakeClosed()) {
          j->controller.Closed();
        }
      }
    }
    return any;
  }

  bool Play() {
    bool any = Drive(host.player, host, [this] { host.controller.Leave(); });
    for (auto& j : joiners) {
      JoinerMachine& m = *j;
      any = Drive(m.player, m, [&m] { m.controller.Leave(); }) || any;
    }
    return any;
  }

  // Greetings arrive in reads of any size, so the seating order is not the connecting order.
  JoinerMachine& Joiner(int netId) {
    for (auto& j : joiners) {
      if (j->controller.NetId() == netId && j->listener.seatedAs == netId) return *j;
    }
    ADD_FAILURE() << "no joiner seated as " << netId;
    return *joiners.front();
  }

  HostMachine host;
  std::vector<std::unique_ptr<JoinerMachine>> joiners;

 private:
  // Lets one seat act until it has nothing to do; a seat whose match ended leaves.
  template <typename Leave>
  static bool Drive(AutoPlayer& player, Machine& machine, Leave leave) {
    bool moved = false;
    for (;;) {
      const AutoPlayer::Did did = player.Step();
      if (did == AutoPlayer::Did::kNothing) return moved;
      moved = true;
      if (did == AutoPlayer::Did::kEndedMatch) {
        machine.ended = true;
        leave();
        return true;
      }
    }
  }

  size_t NextChunk() {
    chunkSeed_ = chunkSeed_ * 134775813u + 1u;
    return 1 + (chunkSeed_ >> 16) % 90;
  }

  uint32_t chunkSeed_;
};

}  // namespace trilane::direct::test

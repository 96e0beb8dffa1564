#pragma once
// The match on the table, whatever is played: it owns the round flow, the sender the flow
// sends through, the seed of the decks and the match start. A match against the computer
// sends nothing; a network game sends through the controller of its session (direct play,
// later the club table), which the caller keeps until it closes the game here. The table
// view only shows the flow and hands the player's input in through this owner, so a view
// never outlives or replaces a flow itself.
#include <cstdint>
#include <memory>
#include <string>

#include "table/auto_player.h"
#include "table/round_flow.h"

namespace trilane {

// A view that wants to know when the flow it shows is replaced: nothing it queued for the
// old flow may run once that flow is gone, and the new flow may want a re-entry handler.
class FlowHost {
 public:
  virtual ~FlowHost() = default;
  virtual void FlowLeaving() = 0;
  virtual void FlowArrived(RoundFlow& flow) = 0;
};

class TableMatch {
 public:
  // `view` shows every flow of this match and must outlive it; `host`, when given, is told
  // when a flow is replaced.
  explicit TableMatch(TableView& view, FlowHost* host = nullptr);
  ~TableMatch();
  TableMatch(const TableMatch&) = delete;
  TableMatch& operator=(const TableMatch&) = delete;

  // A match against the three computer seats: decks from `seed`, the first deal made.
  RoundFlow& StartLocal(const MatchStart& start, uint32_t seed, bool ruleTwoFour);
  // A network game: a fresh flow that sends through `sender`; the host's decks come from
  // `seed`. The caller configures the flow and starts the match on it (its controller
  // knows the seats); `sender` must stay until Close() or the next start.
  RoundFlow& StartNetwork(StageSender& sender, uint32_t seed);
  // The network game is over: its flow goes now, before the sender it names, and an idle
  // table is left.
  void Close();

  // Always a flow: before the first match and after Close() an idle one that was never
  // started.
  RoundFlow& Flow() { return *flow_; }
  const RoundFlow& Flow() const { return *flow_; }
  const MatchStart& Start() const { return start_; }
  uint32_t Seed() const { return seed_; }
  bool Network() const { return sender_ != &nullSender_; }

  // The rating the match would give now in local play (the member's rating formula).
  double CurrentRating() const;
  // The general-score window's figures; nothing before the first deal.
  std::optional<GeneralScoreFigures> OpenGeneralScore();
  // The player at the table took a new name (UTF-8).
  void Rename(const std::string& nameUtf8);

 private:
  RoundFlow& Replace(StageSender& sender, DeckSource decks);

  TableView& view_;
  FlowHost* host_;
  NullStageSender nullSender_;
  StageSender* sender_ = &nullSender_;
  std::unique_ptr<RoundFlow> flow_;
  MatchStart start_;
  uint32_t seed_ = 0;
};

}  // namespace trilane

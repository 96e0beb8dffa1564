#include "table/table_match.h"

#include "records/club_file.h"

namespace trilane {

TableMatch::TableMatch(TableView& view, FlowHost* host) : view_(view), host_(host) {
  Replace(nullSender_, SeededDecks(0));
}

TableMatch::~TableMatch() = default;

RoundFlow& TableMatch::Replace(StageSender& sender, DeckSource decks) {
  if (flow_ && host_ != nullptr) host_->FlowLeaving();
  flow_.reset();  // the old flow goes before the sender it may name
  sender_ = &sender;
  flow_ = std::make_unique<RoundFlow>(view_, sender, std::move(decks));
  if (host_ != nullptr) host_->FlowArrived(*flow_);
  return *flow_;
}

RoundFlow& TableMatch::StartLocal(const MatchStart& start, uint32_t seed, bool ruleTwoFour) {
  start_ = start;
  seed_ = seed;
  RoundFlow& flow = Replace(nullSender_, SeededDecks(seed));
  TableSetup setup;
  setup.mode = PlayMode::kComputer;
  setup.ruleTwoFour = ruleTwoFour;
  flow.Configure(setup);
  flow.StartMatch(start);
  return flow;
}

RoundFlow& TableMatch::StartNetwork(StageSender& sender, uint32_t seed) {
  start_ = MatchStart{};
  seed_ = seed;
  return Replace(sender, SeededDecks(seed));
}

void TableMatch::Close() {
  if (!Network()) return;
  Replace(nullSender_, SeededDecks(0));
}

double TableMatch::CurrentRating() const {
  const MatchCounters& c = flow_->Counters();
  if (c.gamesPlayed <= 0) return start_.initialRating;
  return LocalRating(start_.gamesPlayed, start_.initialRating, c.matchScore, c.gamesPlayed);
}

std::optional<GeneralScoreFigures> TableMatch::OpenGeneralScore() {
  if (flow_->Stage() == RoundStage::kNone) return std::nullopt;
  return flow_->OpenGeneralScore(CurrentRating());
}

void TableMatch::Rename(const std::string& nameUtf8) {
  start_.name = nameUtf8;
  flow_->SetSeatName(4, nameUtf8);
}

}  // namespace trilane

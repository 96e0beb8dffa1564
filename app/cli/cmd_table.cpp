// Subcommands of the table: play, a whole match against the computer through the round
// flow, printing what the table would show.

#include <array>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "cli.h"
#include "commands.h"
#include "table/auto_player.h"
#include "table/round_flow.h"
#include "words/words.h"

namespace trilane::cli {
namespace {

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string Compose(const TableText& text) {
  return ComposeText(text, [](int entry) { return Word(entry); });
}

const char* ModeName(PlayMode mode) {
  switch (mode) {
    case PlayMode::kComputer:
      return "computer";
    case PlayMode::kNet:
      return "net";
    case PlayMode::kClub:
      return "club";
  }
  return "";
}

std::string RowsText(const Arrangement& rows) {
  std::string text;
  for (int r = 0; r < 3; ++r) {
    text += r == 0 ? "" : " /";
    for (const Card& c : rows.rows[r]) {
      if (c.code.IsCard()) text += " " + AsciiName(c.code);
    }
  }
  return text;
}

// Prints every call of the flow, as one JSON object per line or, for people, as lines for
// what a player would notice (card flights, pauses and the arranging grid are left out).
class PrintingView : public TableView {
 public:
  explicit PrintingView(bool json) : json_(json) {}

  void PrepareTable(PlayMode mode) override {
    if (json_) return Emit(Begin("prepare").Key("mode").String(ModeName(mode)));
    shownRows_ = {};
    Out("\n");
  }
  void ShowPlate(int position, const TableText& text, PlateColour colour) override {
    const std::string colourText(1, static_cast<char>(colour));
    if (json_) {
      Json& j = Begin("plate").Key("position").Int(position);
      return Emit(j.Key("text").String(Compose(text)).Key("colour").String(colourText));
    }
    Out("plate " + std::to_string(position) + " [" + colourText + "] " + Compose(text) + "\n");
  }
  void ShowTablet(int position, int32_t total, const TabletBoxes& boxes) override {
    if (json_) {
      Json& j = Begin("tablet").Key("position").Int(position).Key("total").Int(total);
      j.Key("boxes").BeginArray();
      for (const TabletBox& b : boxes) {
        if (b.kind == TabletBox::kShow) {
          j.Int(b.value);
        } else {
          j.String(b.kind == TabletBox::kBlank ? "blank" : "keep");
        }
      }
      return Emit(j.EndArray());
    }
    std::string line =
        "tablet " + std::to_string(position) + " total " + SignedNumber(total) + " |";
    for (const TabletBox& b : boxes) {
      if (b.kind == TabletBox::kShow) {
        line += " " + SignedNumber(b.value);
      } else {
        line += b.kind == TabletBox::kBlank ? " _" : " =";
      }
    }
    Out(line + "\n");
  }
  void ShowHand(int position, const Hand& hand, bool faceUp) override {
    if (json_) {
      Json& j = Begin("hand").Key("position").Int(position).Key("face_up").Bool(faceUp);
      j.Key("cards").BeginArray();
      for (const Card& c : hand) {
        if (c.code.IsCard()) j.String(AsciiName(c.code));
      }
      return Emit(j.EndArray());
    }
    std::string line = "hand " + std::to_string(position) + (faceUp ? " up:" : " down:");
    for (const Card& c : hand) {
      if (c.code.IsCard()) line += " " + AsciiName(c.code);
    }
    Out(line + "\n");
  }
  void ShowHandText(int position, const TableText& text) override {
    if (json_) {
      return Emit(
          Begin("hand_text").Key("position").Int(position).Key("text").String(Compose(text)));
    }
    Out("hand " + std::to_string(position) + ": " + Compose(text) + "\n");
  }
  void ShowOwnRows(const OwnRowsView& rows) override {
    if (!json_) return;
    Json& j = Begin("own_rows").Key("rows");
    RowsJson(j, rows.rows).Key("names").BeginArray();
    for (const TableText& name : rows.names) j.String(Compose(name));
    j.EndArray().Key("selected");
    if (rows.selected.IsNone()) {
      j.Null();
    } else {
      j.BeginArray().Int(RowNumber(rows.selected.row)).Int(rows.selected.slot).EndArray();
    }
    Emit(j);
  }
  void ShowTableRows(int position, const Arrangement& rows,
                     std::optional<RowIndex> markedRow) override {
    if (json_) {
      // Rows are numbered 1 Front .. 3 Back in the transcript, 0 for no mark.
      Json& j = Begin("table_rows")
                    .Key("position")
                    .Int(position)
                    .Key("marked")
                    .Int(markedRow ? RowNumber(*markedRow) : 0);
      return Emit(RowsJson(j.Key("rows"), rows));
    }
    // The rating stages redraw rows already shown, with or without a mark.
    if (shownRows_[position - 1] == rows) return;
    shownRows_[position - 1] = rows;
    Out("rows " + std::to_string(position) + ":" + RowsText(rows) + "\n");
  }
  void ShowRoundPanel(const RoundPanel& panel) override {
    if (json_) {
      Json& j = Begin("round_panel").Key("heading").String(Compose(panel.heading));
      return Emit(
          j.Key("count").String(Compose(panel.count)).Key("hint").String(Compose(panel.hint)));
    }
    Out("== " + Compose(panel.hint) + " ==\n");
  }
  void SetActionButton(const TableText& caption, bool enabled) override {
    if (json_) {
      Json& j = Begin("action_button").Key("caption").String(Compose(caption));
      return Emit(j.Key("enabled").Bool(enabled));
    }
    // Swaps repaint the button at every step; a reader wants the state it settles in.
    pendingAction_ = ButtonLine("action button", caption, enabled);
  }
  void SetEndButton(const TableText& caption, bool enabled) override {
    if (json_) {
      Json& j = Begin("end_button").Key("caption").String(Compose(caption));
      return Emit(j.Key("enabled").Bool(enabled));
    }
    Out(ButtonLine("end button", caption, enabled));
  }
  void PlaySound(TableSound sound) override {
    const std::string_view name = SoundResourceName(sound);
    if (json_) return Emit(Begin("sound").Key("name").String(name));
    Out("sound " + std::string(name) + "\n");
  }
  void Pause(int milliseconds) override {
    if (json_) Emit(Begin("pause").Key("ms").Int(milliseconds));
  }
  void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) override {
    if (!json_) return;
    Json& j = Begin("fly").Key("card").String(AsciiName(card.code));
    PlaceJson(j.Key("from"), from);
    Emit(PlaceJson(j.Key("to"), to));
  }

  // Text mode: prints the action button's settled state.
  void Flush() {
    Print(pendingAction_);
    pendingAction_.clear();
  }

 private:
  Json& Begin(const char* call) {
    json_out_ = Json{};
    return json_out_.BeginObject().Key("call").String(call);
  }
  void Emit(Json& j) { Print(j.EndObject().Text() + "\n"); }
  void Out(const std::string& text) {
    Flush();
    Print(text);
  }
  static std::string ButtonLine(const char* what, const TableText& caption, bool enabled) {
    return std::string(what) + " \"" + Compose(caption) + "\"" + (enabled ? "" : " (disabled)") +
           "\n";
  }
  static Json& RowsJson(Json& j, const Arrangement& rows) {
    j.BeginArray();
    for (int r = 0; r < 3; ++r) {
      j.BeginArray();
      for (const Card& c : rows.rows[r]) {
        if (c.code.IsCard()) j.String(AsciiName(c.code));
      }
      j.EndArray();
    }
    return j.EndArray();
  }
  static Json& PlaceJson(Json& j, const CardPlace& place) {
    j.BeginObject();
    if (place.area == CardPlace::kHand) {
      j.Key("area").String("hand").Key("position").Int(place.position).Key("slot").Int(place.slot);
    } else {
      j.Key("area")
          .String(place.area == CardPlace::kOwnRows ? "rows" : "table_rows")
          .Key("position")
          .Int(place.position)
          .Key("row")
          .Int(RowNumber(place.rowSlot.row))
          .Key("slot")
          .Int(place.rowSlot.slot);
    }
    return j.EndObject();
  }

  bool json_;
  Json json_out_;
  std::string pendingAction_;
  std::array<Arrangement, 4> shownRows_{};
};

}  // namespace

int RunPlay(const CommandArgs& raw) {
#ifdef TRILANE_CLI_ACCOUNTS
  if (IsRatedPlay(raw)) return RunRatedPlay(raw);
#endif
  const Args args(raw, {"rounds", "seed", "rule", "name"}, {"json"});
  // A new player's match: the 80th round completes the cycle and ends it.
  const int64_t rounds = args.RequiredInt("rounds", 1, kCycleLength);
  const auto seed = static_cast<uint32_t>(args.RequiredInt("seed", 0, 4294967295LL));
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule != "1-6" && rule != "2-4")
    throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
  const bool json = args.Flag("json");

  PrintingView view(json);
  NullStageSender sender;
  // The same decks as "simulate --seed S": one generator, each shuffle going on from the last.
  RoundFlow flow(view, sender, SeededDecks(seed));
  TableSetup setup;
  setup.ruleTwoFour = rule == "2-4";
  flow.Configure(setup);
  MatchStart start;
  start.currentSlot = kSlotNewPlayer;
  start.name = args.Value("name").value_or("Player");
  flow.StartMatch(start);

  auto press = [&] {
    if (!json) {
      view.Flush();
      Print("> press \"" + Compose(flow.ActionCaption()) + "\"\n");
    }
    if (!flow.OnActionButton()) {
      throw std::runtime_error("the action button did not respond at stage " +
                               std::to_string(StageNumber(flow.Stage())));
    }
  };
  AutoPlayer player;
  for (int64_t round = 1; round <= rounds; ++round) {
    press();
    // The computer arranges the local player's cards too, by the clicks a player would make.
    if (flow.Stage() == RoundStage::kArranging) {
      for (const auto& [a, b] : SwapsToReach(flow.OwnRows(), player.Target(flow))) {
        flow.OnOwnSlotClicked(a);
        flow.OnOwnSlotClicked(b);
      }
    }
    while (flow.Stage() != RoundStage::kRoundOver) press();
    if (round < rounds) press();
  }
  const EndMatchRequest end = flow.OnEndButton();
  if (!end.endMatch) throw std::runtime_error("the end-of-game button did not end the match");
  if (json) {
    Json j;
    j.BeginObject().Key("call").String("match_end").Key("rounds").Int(end.rounds);
    j.Key("totals").IntArray(flow.RoundTotals());
    Print(j.EndObject().Text() + "\n");
  } else {
    view.Flush();
    std::string line =
        "\nmatch over after " + std::to_string(end.rounds) + " rounds; totals by position:";
    for (int32_t t : flow.RoundTotals()) line += " " + SignedNumber(t);
    Print(line + "\n");
  }
  return 0;
}

}  // namespace trilane::cli

#pragma once
// A TableView and a StageSender that remember what the flow asked for, and decks built
// for a test.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "rules/computer.h"
#include "table/round_flow.h"

namespace trilane::test {

struct Plate {
  std::string text;  // entries written as "[n]"
  char colour = 0;
};

class RecordingView : public TableView {
 public:
  void PrepareTable(PlayMode) override {
    log.push_back("prepare");
    plates = {};
  }
  void ShowPlate(int position, const TableText& text, PlateColour colour) override {
    plates[position - 1] = {EntryText(text), static_cast<char>(colour)};
    log.push_back("plate " + std::to_string(position) + " " + EntryText(text));
  }
  void ShowTablet(int position, int32_t total, const TabletBoxes& boxes) override {
    tablets[position - 1] = total;
    tabletBoxes[position - 1] = boxes;
  }
  void ShowHand(int position, const Hand&, bool faceUp) override {
    handFaceUp[position - 1] = faceUp;
  }
  void ShowHandText(int position, const TableText& text) override {
    handText = {position, EntryText(text)};
  }
  void ShowOwnRows(const OwnRowsView& rows) override { ownRows = rows; }
  void ShowTableRows(int position, const Arrangement& rows,
                     std::optional<RowIndex> markedRow) override {
    tableRows[position - 1] = rows;
    marked[position - 1] = markedRow;
  }
  void ShowRoundPanel(const RoundPanel& panel) override {
    panelCount = EntryText(panel.count);
    panelHint = EntryText(panel.hint);
  }
  void SetActionButton(const TableText& caption, bool enabled) override {
    action = EntryText(caption);
    actionEnabled = enabled;
  }
  void SetEndButton(const TableText& caption, bool enabled) override {
    endCaption = EntryText(caption);
    endEnabled = enabled;
  }
  void PlaySound(TableSound sound) override { sounds.emplace_back(SoundResourceName(sound)); }
  void Pause(int milliseconds) override { pauses.push_back(milliseconds); }
  void FlyCard(const Card& card, const CardPlace& from, const CardPlace& to) override {
    flights.push_back({card, from, to});
  }
  void SetTurnClock(int position, int seconds) override { clocks.push_back({position, seconds}); }
  void StopTurnClocks() override { clocks.push_back({0, 0}); }

  struct Flight {
    Card card;
    CardPlace from, to;
  };
  std::vector<std::string> log;
  std::array<Plate, 4> plates{};
  std::array<int32_t, 4> tablets{};
  std::array<TabletBoxes, 4> tabletBoxes{};
  std::array<bool, 4> handFaceUp{};
  std::pair<int, std::string> handText;
  OwnRowsView ownRows;
  std::array<Arrangement, 4> tableRows{};
  std::array<std::optional<RowIndex>, 4> marked{};
  std::string panelCount, panelHint;
  std::string action, endCaption;
  bool actionEnabled = false, endEnabled = false;
  std::vector<std::string> sounds;
  std::vector<int> pauses;
  std::vector<Flight> flights;
  std::vector<std::pair<int, int>> clocks;
};

class RecordingSender : public StageSender {
 public:
  void SendStep(StageStep step) override {
    stages.push_back(StepNumber(step));
    if (onStep) onStep(step);
  }
  void SendArrangement(const Arrangement& rows) override {
    stages.push_back(StepNumber(StageStep::kArrangement));
    sentRows = rows;
    if (onArrangement) onArrangement(rows);
  }
  void SendDeal(const Deck& deck, bool ruleTwoFour) override {
    deals.push_back(deck);
    if (onDeal) onDeal(deck, ruleTwoFour);
  }
  void SendNextDeal() override { ++nextRequests; }

  std::vector<int> stages;
  Arrangement sentRows{};
  std::vector<Deck> deals;
  int nextRequests = 0;
  std::function<void(StageStep)> onStep;
  std::function<void(const Arrangement&)> onArrangement;
  std::function<void(const Deck&, bool)> onDeal;
};

inline bool AnySpecial(const Deck& deck) {
  for (int block = 0; block < 4; ++block) {
    Hand hand;
    for (int i = 0; i < 13; ++i) hand[i] = deck[block * 13 + i];
    SortHand(hand);
    if (FindSpecial(hand).code != 0) return true;
  }
  return false;
}

// A shuffled deck in which no player holds a special combination.
inline Deck PlainDeck(uint32_t seed) {
  for (;; ++seed) {
    DeckRandom random(seed);
    Deck deck = ShuffleDeck(random);
    if (!AnySpecial(deck)) return deck;
  }
}

// A deck whose block `block` (player number) is the thirteen cards of `hand` and whose
// other blocks hold no special combination.
inline Deck DeckWithBlock(int block, const std::string& hand, uint32_t seed = 1) {
  std::vector<Card> mine;
  std::istringstream in(hand);
  for (std::string word; in >> word;) {
    const auto card = ParseCard(word);
    EXPECT_TRUE(card.has_value()) << word;
    if (card) mine.push_back(*card);
  }
  EXPECT_EQ(mine.size(), 13u);
  for (;; ++seed) {
    DeckRandom random(seed);
    const Deck shuffled = ShuffleDeck(random);
    std::vector<Card> rest;
    for (const Card& c : shuffled) {
      if (std::find(mine.begin(), mine.end(), c) == mine.end()) rest.push_back(c);
    }
    Deck deck;
    for (int b = 1, r = 0; b <= 4; ++b) {
      for (int i = 0; i < 13; ++i) deck[(b - 1) * 13 + i] = b == block ? mine[i] : rest[r++];
    }
    bool otherSpecial = false;
    for (int b = 1; b <= 4; ++b) {
      if (b == block) continue;
      Hand h;
      for (int i = 0; i < 13; ++i) h[i] = deck[(b - 1) * 13 + i];
      SortHand(h);
      otherSpecial = otherSpecial || FindSpecial(h).code != 0;
    }
    if (!otherSpecial) return deck;
  }
}

// Decks handed out in order; the last one repeats.
inline DeckSource Decks(std::vector<Deck> decks) {
  return [decks, next = size_t{0}]() mutable {
    const Deck& d = decks[std::min(next, decks.size() - 1)];
    ++next;
    return d;
  };
}

// Arranges the own rows as the computer would, by clicks on the own rows.
inline void ArrangeOwnRows(RoundFlow& flow, const Hand& ownHand) {
  const Arrangement target = ArrangeByComputer(ownHand).rows;
  for (const auto& [a, b] : SwapsToReach(flow.OwnRows(), target)) {
    flow.OnOwnSlotClicked(a);
    flow.OnOwnSlotClicked(b);
  }
  EXPECT_EQ(flow.OwnRows(), target);
}

// The arrangement the computer would make of a table position's hand, as "h2" codes.
inline ArrangementCodes ComputerCodes(const Hand& hand) {
  return CodesOf(ArrangeByComputer(hand).rows);
}

}  // namespace trilane::test

// The pure rooms below the shell name the words entries they show by number; these checks
// keep their numbers and the words tables in step, so a renumbering fails the build.

#include <gtest/gtest.h>

#include "platform/graphics/notice.h"
#include "rules/arrangement.h"
#include "rules/evaluate.h"
#include "words/word_entries.h"
#include "words/words.h"
#include "table/table_text.h"

namespace trilane {
namespace {

static_assert(kEntryExitToMenu == kWordExitToMenu);
static_assert(kEntryExpectationOfServer == kWordWaitingForServer);
static_assert(kEntryResult == kWordResult);
static_assert(kEntryNextGame == kWordNextGame);
static_assert(kEntryGame == kWordGame);
static_assert(kEntryToBegin == kWordToBegin);
static_assert(kEntryIsReady == kWordIsReady);
static_assert(kEntryHand == kWordHand);
static_assert(kEntryRateHands == kWordRateHands);
static_assert(kEntryRateFront == kWordRateFront);
static_assert(kEntryRateMiddle == kWordRateMiddle);
static_assert(kEntryRateBack == kWordRateBack);
static_assert(kEntryOk == kWordOk);
static_assert(kEntryComputerSeat == kWordComputerSeat);
static_assert(kNoticeCantFindFile == kWordCantFindFile);
static_assert(kNoticeCantCreateMusicFile == kWordCantCreateMusicFile);

TEST(EntryNumbers, RowAndSpecialNamesAreTheWordsEntries) {
  EXPECT_EQ(RowNameEntry(1, 5), kWordHighCard);
  EXPECT_EQ(RowNameEntry(9, 12), kWordStraightFlush);
  EXPECT_EQ(RowNameEntry(9, 13), kWordRoyalFlush);
  EXPECT_EQ(SpecialNameEntry(kCleanDragon), kWordCleanDragon);
  EXPECT_EQ(SpecialNameEntry(kThreeFlushes), kWordThreeFlushes);
  EXPECT_EQ(WordIn(RowNameEntry(1, 5), 0), "Hight card");
  EXPECT_EQ(WordIn(SpecialNameEntry(kSixPairs), 0), "Six Pairs");
}

}  // namespace
}  // namespace trilane

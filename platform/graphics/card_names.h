#pragma once
// The names of the card, back and background pictures in the resources and add-on
// libraries, the card sizes, and the back of the day. Pure: no Qt, no clock.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/cards.h"

namespace trilane {

inline constexpr int kFaceSlots = 56;     // 1..56; 37..40 (jokers of sibling games) stay empty
inline constexpr int kBackSlots = 10;     // 1..10
inline constexpr int kFaceDesigns = 48;   // 0 built in, 1..47 from the add-on libraries
inline constexpr int kBackDesigns = 13;   // 0 built in, 1..12 from "QorCards06B.dll"
inline constexpr int kSmallBitmapW = 69;  // small card pictures; drawn in a 71 x 96 cell
inline constexpr int kSmallBitmapH = 94;
inline constexpr int kSymbolSide = 20;

// The add-on libraries, numbered as the download offers them (index n - 1 is add-on n).
inline constexpr std::array<std::string_view, 9> kAddonFiles = {
    "QorCards06A.dll", "QorCards06B.dll", "QorBackG03.dll",  "QorCalendar01.dll", "QorRadio.rad",
    "QorRadio02.dll",  "QorCVoice3.dll",  "QorCards06C.dll", "QorCGraph1.dll"};
inline constexpr std::string_view kCardsA = "QorCards06A.dll";
inline constexpr std::string_view kCardsB = "QorCards06B.dll";
inline constexpr std::string_view kCardsC = "QorCards06C.dll";
inline constexpr std::string_view kBackgrounds = "QorBackG03.dll";
inline constexpr std::string_view kGraphics = "QorCGraph1.dll";
inline constexpr std::string_view kVoices = "QorCVoice3.dll";

// The face slot 1..56 of a card: ranks six to ace take 1..36 (four slots per rank, hearts,
// diamonds, clubs, spades), two to five take 41..56. 0 for a code that is no card.
int FaceSlotOf(CardCode code);
// The card code shown in a slot; "##" for 37..40 and out-of-range slots.
CardCode CardOfFaceSlot(int slot);

// Design suffixes (0 is the built-in design, empty suffix). Court cards take the design's
// own suffix; number cards, suit symbols and aces borrow another design's in a few cases.
std::string_view FaceDesignSuffix(int design);
std::string_view NumberCardSuffix(int design);
std::string_view AceSuffix(int design);
std::string_view BackDesignSuffix(int backDesign);

// True for wide (71 units) designs: the built-in one, below 28, 40 and 45.
bool IsWideDesign(int design);
// The library of a face design; empty for design 0 (and out of range).
std::string_view FaceLibrary(int design);

// The picture of a slot in a design and size class (1 small: no size suffix; else "B").
std::string FaceResourceName(int slot, int design, int sizeClass);
// Suit symbols 1..4 (hearts, diamonds, clubs, spades).
std::string SymbolResourceName(int suit, int design, int sizeClass);
// Back 1..10 ("Ob01Mo".."Ob07Su", "Ob08XX".."Ob10XX") + design suffix + size suffix
// ("" small, "B" for wide faces, "U" for narrow ones).
std::string BackResourceName(int back, int backDesign, int sizeClass, bool wideCards);
// "Fon" + picture "01".."10" + colour code + ("" small window | "B"); "FonG" for picture 2
// in green.
std::string BackgroundResourceName(int picture, int colour, bool smallWindow);
bool IsCollection(int backDesign);  // 8..11: ten backs, one chosen at random per deal

struct CardSize {
  int sizeClass = 1;  // 1 small (bitmaps), 0 scaled PNGs, 2 big PNGs
  int width = 71;
  int height = 96;
};
// The drawn card for the scale factor kc: 71 x 96 below 1.3; then round(71 kc) wide or
// round(61 kc) narrow by round(96 kc); from 2.0 on 146 or 126 by 198.
CardSize CardSizeFor(double kc, bool wideCards);
int SizeClassFor(double kc);

// The back of a new deal: the weekday (1 Monday .. 7 Sunday), 7 with `alwaysOne`, and for
// a collection a number 1..10 from the deck generator seeded with `clockSeed`.
int ChooseBackNumber(int isoWeekday, bool alwaysOne, int backDesign, uint32_t clockSeed);

// The resource of a card's spoken name: face code + "Voice" + "Eng", "Rus", ... by language
// 0..9; empty for an unknown card or language.
std::string VoiceResourceName(CardCode code, int language);

}  // namespace trilane

#include "platform/graphics/card_names.h"

#include "base/rounding.h"
#include "rules/deck.h"

namespace trilane {

namespace {

constexpr std::array<std::string_view, kFaceDesigns> kDesignSuffixes = {
    "",    "Med", "Mod", "Anc", "Bar", "Cel", "Cor", "Cro", "Eng", "Fra", "His", "Nat",
    "Old", "Par", "Roy", "Sha", "Big", "004", "Lon", "Cl2", "Hea", "Sea", "Rhi", "Me2",
    "Doo", "Boy", "Epi", "USR", "Pla", "SkN", "SkT", "SkF", "Bel", "Dia", "Kny", "Pas",
    "Rus", "Sla", "May", "Lub", "Fra", "Mus", "BS1", "BS2", "BS3", "Chi", "BIt", "Cze"};

constexpr std::array<std::string_view, kBackDesigns> kBackSuffixes = {
    "", "Cl1", "Cl2", "Car", "Cro", "Che", "Dia", "Kni", "Ani", "Flo", "Pla", "Oth", "Rus"};

constexpr std::array<std::string_view, kBackSlots> kBackDays = {
    "Ob01Mo", "Ob02Tu", "Ob03We", "Ob04Th", "Ob05Fr",
    "Ob06Su", "Ob07Su", "Ob08XX", "Ob09XX", "Ob10XX"};

constexpr std::array<std::string_view, 4> kSymbolNames = {"Cher", "Bubi", "Kres", "Piki"};
constexpr std::array<std::string_view, 7> kColourCodes = {"Gr", "Re", "Or", "Ye", "B1", "B2", "Fi"};
constexpr std::array<std::string_view, 10> kVoiceLanguages = {"Eng", "Rus", "Deu", "Fra", "Spa",
                                                              "Chi", "Ita", "Cze", "Jap", "Kor"};

bool ValidDesign(int design) {
  return design >= 0 && design < kFaceDesigns;
}

std::string TwoDigits(int n) {
  return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

}  // namespace

int FaceSlotOf(CardCode code) {
  const int suit = SuitIndexOf(code.suit);
  const RankValue rank = RankOfLetter(code.rank);
  if (suit == 0 || rank < 1 || rank > 13) return 0;
  if (rank >= 5) return 4 * (rank - 5) + suit;  // six (rank value 5) .. ace
  return 40 + 4 * (rank - 1) + suit;            // two .. five
}

CardCode CardOfFaceSlot(int slot) {
  int rank = 0;
  if (slot >= 1 && slot <= 36) {
    rank = 5 + (slot - 1) / 4;
  } else if (slot >= 41 && slot <= 56) {
    rank = 1 + (slot - 41) / 4;
  } else {
    return CardCode{};
  }
  const int suit = (slot - 1) % 4;
  return CardCode{kRankLetters[rank - 1], kSuitLetters[suit]};
}

std::string_view FaceDesignSuffix(int design) {
  return ValidDesign(design) ? kDesignSuffixes[design] : std::string_view{};
}

std::string_view NumberCardSuffix(int design) {
  switch (design) {
    case 6:
    case 7:
    case 10:
    case 13:
      return "Mod";
    case 19:
    case 20:
      return "Sea";
    case 25:
      return "Rhi";
    case 27:
      return "Big";
    default:
      return FaceDesignSuffix(design);
  }
}

std::string_view AceSuffix(int design) {
  switch (design) {
    case 7:
    case 10:
    case 13:
      return "Mod";
    case 19:
    case 20:
      return "Sea";
    default:
      return FaceDesignSuffix(design);
  }
}

std::string_view BackDesignSuffix(int backDesign) {
  return backDesign >= 0 && backDesign < kBackDesigns ? kBackSuffixes[backDesign]
                                                      : std::string_view{};
}

bool IsWideDesign(int design) {
  if (design < 28) return true;
  return design == 40 || design == 45 || design >= kFaceDesigns;
}

std::string_view FaceLibrary(int design) {
  if (design >= 1 && design <= 31) return kCardsA;
  if (design >= 32 && design <= 39) return kCardsB;
  if (design >= 40 && design <= 47) return kCardsC;
  return {};
}

std::string FaceResourceName(int slot, int design, int sizeClass) {
  const CardCode code = CardOfFaceSlot(slot);
  if (!code.IsCard() || !ValidDesign(design)) return {};
  const RankValue rank = RankOfLetter(code.rank);
  std::string_view suffix;
  if (rank <= 9) {
    suffix = NumberCardSuffix(design);
  } else if (rank == 13) {
    suffix = AceSuffix(design);
  } else {
    suffix = FaceDesignSuffix(design);
  }
  return FaceCode(code) + std::string(suffix) + (sizeClass == 1 ? "" : "B");
}

std::string SymbolResourceName(int suit, int design, int sizeClass) {
  if (suit < 1 || suit > 4 || !ValidDesign(design)) return {};
  return std::string(kSymbolNames[suit - 1]) + std::string(NumberCardSuffix(design)) +
         (sizeClass == 1 ? "" : "B");
}

std::string BackResourceName(int back, int backDesign, int sizeClass, bool wideCards) {
  if (back < 1 || back > kBackSlots || backDesign < 0 || backDesign >= kBackDesigns) return {};
  const char* size = sizeClass == 1 ? "" : (wideCards ? "B" : "U");
  return std::string(kBackDays[back - 1]) + std::string(kBackSuffixes[backDesign]) + size;
}

std::string BackgroundResourceName(int picture, int colour, bool smallWindow) {
  if (picture < 1 || picture > 10 || colour < 0 || colour > 6) return {};
  const std::string size = smallWindow ? "" : "B";
  if (picture == 2 && colour == 0) return "FonG" + size;
  return "Fon" + TwoDigits(picture) + std::string(kColourCodes[colour]) + size;
}

bool IsCollection(int backDesign) {
  return backDesign >= 8 && backDesign <= 11;
}

int SizeClassFor(double kc) {
  if (kc >= 2.0) return 2;
  if (kc >= 1.3) return 0;
  return 1;
}

CardSize CardSizeFor(double kc, bool wideCards) {
  switch (SizeClassFor(kc)) {
    case 2:
      return {2, wideCards ? 146 : 126, 198};
    case 0:
      return {0, static_cast<int>(RoundHalfEvenToInt((wideCards ? 71 : 61) * kc)),
              static_cast<int>(RoundHalfEvenToInt(96 * kc))};
    default:
      return {1, 71, 96};
  }
}

int ChooseBackNumber(int isoWeekday, bool alwaysOne, int backDesign, uint32_t clockSeed) {
  if (IsCollection(backDesign)) {
    DeckRandom random(clockSeed);
    return static_cast<int>(random.Random(10)) + 1;
  }
  if (alwaysOne) return 7;
  return isoWeekday >= 1 && isoWeekday <= 7 ? isoWeekday : 7;
}

std::string VoiceResourceName(CardCode code, int language) {
  const std::string face = FaceCode(code);
  if (face.empty() || language < 0 || language >= static_cast<int>(kVoiceLanguages.size())) {
    return {};
  }
  return face + "Voice" + std::string(kVoiceLanguages[language]);
}

}  // namespace trilane

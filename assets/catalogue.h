#pragma once
// The catalogue of every picture, sound and song of the program and its add-on libraries,
// read from assets/catalogue.txt. The generators draw what it lists and the tests look up
// what it lists, so the two cannot drift apart. Pure C++: the caller hands in the text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trilane::assets {

inline constexpr std::string_view kProgramModule = "program";

struct Asset {
  std::string module;  // "program" or the add-on's file name without ".dll"
  std::string type;    // "RCDATA", "BITMAP", "JPEG", "WAVE"
  std::string name;    // as written in the catalogue; lookups ignore case
  std::string format;  // png, dib, jpeg, gif, wav, mid
  int width = 0;       // 0 when the drawing routine chooses the size
  int height = 0;
  std::string kind;               // which drawing routine makes it
  std::vector<std::string> args;  // the alternatives chosen in the name, then the line's args
};

struct Catalogue {
  std::vector<Asset> assets;

  std::vector<const Asset*> OfModule(std::string_view module) const;
  std::vector<std::string> Modules() const;  // in order of first appearance
};

// Parses and expands the catalogue text. On a malformed line returns nothing and sets
// `error` to "line N: reason".
std::optional<Catalogue> ParseCatalogue(std::string_view text, std::string* error);

// "{a,b}{01..03}" style expansion of one name pattern: every combination, each with the
// alternatives it chose. Returns nothing on an unbalanced brace or a bad range.
struct Expansion {
  std::string name;
  std::vector<std::string> choices;
};
std::optional<std::vector<Expansion>> ExpandPattern(std::string_view pattern);

// The file an asset is generated into, relative to the module's output folder:
// "<TYPE>/<NAME upper-cased>".
std::string AssetPath(const Asset& asset);
std::string UpperAscii(std::string_view s);

// ---- card naming rules --------------------------------------------------------------------

inline constexpr int kFaceDesigns = 48;  // 0 built in, 1..47 in the card add-ons
inline constexpr int kBackDesigns = 13;  // 0 built in, 1..12 in "QorCards06B"

// The 52 face codes "Ch02".."Pi5A": suits Ch, Bu, Kr, Pi (hearts, diamonds, clubs, spades),
// ranks 02..10, 2J, 3Q, 4K, 5A; index = suit * 13 + rank step (two first).
const std::vector<std::string>& FaceCodes();
inline constexpr const char* kSuitPrefixes[4] = {"Ch", "Bu", "Kr", "Pi"};
inline constexpr const char* kSuitSymbolNames[4] = {"Cher", "Bubi", "Kres", "Piki"};

std::string FaceSuffix(int design);    // court cards
std::string NumberSuffix(int design);  // number cards 2..10 and suit symbols
std::string AceSuffix(int design);
bool IsNarrowDesign(int design);
// The design whose own suffix is `suffix` within designs [first, last]; -1 when none.
int DesignOfSuffix(const std::string& suffix, int first, int last);

std::string BackSuffix(int backDesign);
bool IsBackCollection(int backDesign);  // ten backs instead of seven
// "Ob01Mo".."Ob07Su", and "Ob08XX".."Ob10XX" for the collections.
std::vector<std::string> BackNames(int backDesign);

// The picture suffixes of the languages with their own pictures.
inline constexpr const char* kPictureLanguages[8] = {"Eng", "Rus", "Deu", "Fra",
                                                     "Spa", "Chi", "Ita", "Cze"};
// The voice suffixes of languages 0..9.
inline constexpr const char* kVoiceLanguages[10] = {"Eng", "Rus", "Deu", "Fra", "Spa",
                                                    "Chi", "Ita", "Cze", "Jap", "Kor"};

// Backgrounds: picture 1..10 and colour codes in colour order 0..6.
inline constexpr const char* kBackgroundColours[7] = {"Gr", "Re", "Or", "Ye", "B1", "B2", "Fi"};

}  // namespace trilane::assets

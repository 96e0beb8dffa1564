#include "records/settings.h"

#include "records/address_cipher.h"
#include "records/text_lines.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr unsigned char kGifOn = 0xE8;
constexpr unsigned char kGifOff = 0xEB;

// A value of the settings file that could not be read; the default stays.
RecordError Note(int line, int column, std::string reason) {
  return BadFile(line, column, std::move(reason));
}

// The character at 1-based `pos` of `line`, or 0 when the line is too short.
char At(std::string_view line, size_t pos) {
  return pos <= line.size() ? line[pos - 1] : 0;
}

char Digit(int value) {
  return static_cast<char>('0' + value);
}

// Control characters would split a line in two; they never belong in a value.
std::string Clean(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return out;
}

class Reader {
 public:
  Reader(const std::vector<std::string_view>& lines, SettingsRead& out)
      : lines_(lines), out_(out), s_(out.settings) {}

  std::string_view Line(int n) const { return lines_[static_cast<size_t>(n - 1)]; }

  // A number in `text` (part of line `n` from `column`) within low..high, or the default.
  void Number(int n, int column, std::string_view text, int low, int high, int& field,
              const char* name) {
    const auto v = ParseWholeNumber(text);
    if (!v) {
      out_.notes.push_back(Note(n, column, std::string(name) + " is not a number"));
    } else if (*v < low || *v > high) {
      out_.notes.push_back(Note(n, column,
                                std::string(name) + " " + std::to_string(*v) + " is outside " +
                                    std::to_string(low) + ".." + std::to_string(high)));
    } else {
      field = static_cast<int>(*v);
    }
  }

  void General() {
    const std::string_view g = Line(2);
    if (g.size() >= 1) {
      const char c = g[0];
      if (c >= '1' && c <= '9') {
        s_.LanguageIndex = c - '0';
      } else if (c >= 'a' && c <= 'k') {
        s_.LanguageIndex = 10 + (c - 'a');
      } else {
        s_.LanguageIndex = 0;
      }
    }
    switch (At(g, 2)) {
      case '0':
        s_.SoundOn = false, s_.MusicOn = false;
        break;
      case '1':
        s_.SoundOn = true, s_.MusicOn = true;
        break;
      case '2':
        s_.SoundOn = true, s_.MusicOn = false;
        break;
      case '3':
        s_.SoundOn = false, s_.MusicOn = true;
        break;
      default:
        break;
    }
    if (At(g, 3) == '0') s_.GifAnimationOn = false;
    if (At(g, 4) == '0') s_.FlyCardsOn = false;
    if (At(g, 5) == '2') s_.MenuMode = 2;
    if (At(g, 6) == '1') s_.NetMode = true;
    if (At(g, 7) == '0') s_.OwnCursor = false;
    if (const char c = At(g, 8); c >= '1' && c <= '6') s_.FlightSpeed = c - '0';
    if (const char c = At(g, 9); c >= '1' && c <= '5') s_.WindowSize = c - '0';
    if (g.size() >= 10) s_.StartRegistered = g[9] == 'R';
    if (g.size() >= 11) s_.Liked = g[10] == 'L';
    if (g.size() >= 12) s_.RadioListFromServer = g[11] == '0';
    if (g.size() >= 13) {
      // One digit; tints outside 1..7 have no pictures, so they keep the default.
      const char c = g[12];
      if (c >= '1' && c <= '7') {
        s_.CaptionTint = c - '0';
      } else {
        out_.notes.push_back(Note(2, 13, "caption tint is not 1..7"));
      }
    }
    if (g.size() >= 14) s_.NewButtons = g[13] == '1';
    if (g.size() >= 15) s_.AuxPurple = g[14] == '1';
    if (const char c = At(g, 16); c >= '1' && c <= '3') s_.AuxGray = c - '0';
    if (const char c = At(g, 17); c == '0' || c == '1') s_.MenuDesign = c - '0';
    if (const char c = At(g, 18); c == '0' || c == '1') s_.TableDesign = c - '0';
    if (const char c = At(g, 19); c == '0' || c == '1') s_.SaluteButtons = c == '1';
    if (const char c = At(g, 20); c == '0' || c == '1') s_.SaluteCards = c == '1';
  }

  // Lines 4 to 35. Returns whether the reading got through to the end.
  bool Rest() {
    Number(4, 1, Line(4), 0, 47, s_.CardDesign, "card design");
    const std::string_view decks = Line(6);
    if (decks.size() < 3) {
      out_.notes.push_back(Note(6, static_cast<int>(decks.size()) + 1,
                                "shorter than three characters; the lines after it are not read"));
      return false;
    }
    Number(6, 1, decks.substr(0, 2), 0, 12, s_.BackDesign, "back design");
    s_.BackAlwaysOne = decks[2] == '1';
    s_.RuleTwoFour = At(Line(8), 1) == '1';

    // From here on, each step needs its line to be there; the first missing one ends the
    // reading and everything after keeps its default.
    for (int r = 0; r < 4; ++r) {
      if (!Need(10 + r, 2)) return false;
      s_.FontName[r] = std::string(Line(10 + r));
    }
    for (int r = 0; r < 4; ++r) {
      if (!Need(14 + r, 1)) return false;
      Number(14 + r, 1, Line(14 + r), 50, 150, s_.FontScale[r], "font scale");
    }
    if (!Need(18, 1) || !Need(19, 1)) return false;
    s_.ServerAddress = std::string(Line(19));
    if (!Need(20, 1)) return false;
    s_.ServerPort = std::string(Line(20));
    if (!Need(21, 1) || !Need(22, 1)) return false;
    const std::string_view bg = Line(22);
    Number(22, 1, bg.substr(0, 2), 1, 10, s_.Background, "background");
    if (bg.size() >= 3) Number(22, 3, bg.substr(2, 1), 0, 6, s_.BackgroundColour, "colour");
    if (!Need(23, 1)) return false;
    // An empty name is the default and is written as an empty line, so it is read as one
    // and the reading goes on: a file written with the defaults must read back the same.
    s_.PlayerName = std::string(Line(24));
    if (!Need(26, 1)) return false;
    s_.TopTenScriptPath = std::string(Line(26));
    if (!Need(27, 1)) return false;
    s_.TopTenNick = std::string(Line(27).substr(0, 12));
    if (!Need(28, 1)) return false;
    if (IsValidCountryCode(Line(28))) {
      s_.TopTenCountry = std::string(Line(28));
    } else {
      out_.notes.push_back(Note(28, 1, "not a valid country code"));
    }
    if (!Need(29, 1)) return false;
    s_.TopTenCity = std::string(Line(29).substr(0, 15));
    if (!Need(30, 1)) return false;
    s_.TopTenSex = Line(30) == "W" ? "W" : "M";
    if (Line(30) != "M" && Line(30) != "W") out_.notes.push_back(Note(30, 1, "sex is not M or W"));
    if (!Need(31, 1)) return false;
    s_.StatsScriptPath = std::string(Line(31));
    if (!Need(33, 1)) return false;
    s_.GifRecording = Line(33).size() == 1 && static_cast<unsigned char>(Line(33)[0]) == kGifOn;
    if (!Need(34, 1)) return false;
    Number(34, 1, Line(34), 1, 2, s_.GifSource, "GIF source");
    if (!Need(35, 1)) return false;
    Number(35, 1, Line(35), 10, 5000, s_.GifDelay, "GIF delay");
    return true;
  }

 private:
  bool Need(int n, size_t length) {
    if (Line(n).size() >= length) return true;
    out_.notes.push_back(Note(n, static_cast<int>(Line(n).size()) + 1,
                              length == 1 ? "empty; the lines after it are not read"
                                          : "too short; the lines after it are not read"));
    return false;
  }

  const std::vector<std::string_view>& lines_;
  SettingsRead& out_;
  TSettings& s_;
};

}  // namespace

TSettings DefaultSettings() {
  TSettings s;
  s.TopTenScriptPath = EncipherAddress(kDefaultWorldTopScript, kSettingsAddressKey);
  s.StatsScriptPath = EncipherAddress(kDefaultStatsScript, kSettingsAddressKey);
  return s;
}

bool IsValidCountryCode(std::string_view code) {
  // Row 0 of each continent is "Unknown", which the top-ten form never stores.
  const Country* country = CountryByCode(code);
  return country != nullptr && country != CountryTable(code[0] - '0').data();
}

SettingsRead ParseSettings(std::string_view bytes) {
  SettingsRead out;
  out.settings = DefaultSettings();
  const auto lines = SplitLines(bytes);
  if (lines.size() < kSettingsLines) {
    out.notes.push_back(Note(static_cast<int>(lines.size()) + 1, 0,
                             "the file has " + std::to_string(lines.size()) +
                                 " lines, fewer than 35; nothing is taken from it"));
    return out;
  }
  Reader reader(lines, out);
  reader.General();
  out.reachedEnd = reader.Rest();
  if (out.settings.GifRecording && out.settings.WindowSize != 1) {
    out.settings.GifRecording = false;  // recordings are made of the small window only
  }
  return out;
}

std::string FormatSettings(const TSettings& s) {
  std::string g(20, '#');
  const int lang = s.LanguageIndex;
  g[0] = lang >= 1 && lang <= 9     ? Digit(lang)
         : lang >= 10 && lang <= 20 ? static_cast<char>('a' + lang - 10)
                                    : '0';
  g[1] = s.SoundOn && s.MusicOn ? '1' : s.SoundOn ? '2' : s.MusicOn ? '3' : '0';
  g[2] = s.GifAnimationOn ? '1' : '0';
  g[3] = s.FlyCardsOn ? '1' : '0';
  g[4] = s.MenuMode == 2 ? '2' : '1';
  g[5] = s.NetMode ? '1' : '0';
  g[6] = s.OwnCursor ? '1' : '0';
  g[7] = s.FlightSpeed >= 1 && s.FlightSpeed <= 6 ? Digit(s.FlightSpeed) : '4';
  g[8] = s.WindowSize >= 1 && s.WindowSize <= 5 ? Digit(s.WindowSize) : '1';
  g[9] = s.StartRegistered ? 'R' : '#';
  g[10] = s.Liked ? 'L' : '#';
  g[11] = s.RadioListFromServer ? '0' : '1';
  g[12] = s.CaptionTint >= 0 && s.CaptionTint <= 9 ? Digit(s.CaptionTint) : '1';
  g[13] = s.NewButtons ? '1' : '0';
  g[14] = s.AuxPurple ? '1' : '0';
  g[15] = s.AuxGray >= 1 && s.AuxGray <= 3 ? Digit(s.AuxGray) : '1';
  g[16] = s.MenuDesign == 1 ? '1' : '0';
  g[17] = s.TableDesign == 1 ? '1' : '0';
  g[18] = s.SaluteButtons ? '1' : '0';
  g[19] = s.SaluteCards ? '1' : '0';

  auto twoDigits = [](int v, int fallback) {
    if (v < 0 || v > 99) v = fallback;
    return PadLeft(std::to_string(v), 2, '0');
  };
  std::string rule = "######";
  rule[0] = s.RuleTwoFour ? '1' : '0';

  std::vector<std::string> lines;
  lines.reserve(kSettingsLines);
  lines.push_back("<# General>");
  lines.push_back(g);
  lines.push_back("<# Cards>");
  lines.push_back(std::to_string(s.CardDesign));
  lines.push_back("<# Decks>");
  lines.push_back(twoDigits(s.BackDesign, 0) + (s.BackAlwaysOne ? "1" : "0"));
  lines.push_back("<# Individual>");
  lines.push_back(rule);
  lines.push_back("<# Fonts>");
  for (const auto& name : s.FontName) lines.push_back(Clean(name));
  for (int scale : s.FontScale) lines.push_back(std::to_string(scale));
  lines.push_back("<# IP & Port>");
  lines.push_back(Clean(s.ServerAddress));
  lines.push_back(Clean(s.ServerPort));
  lines.push_back("<# Background>");
  lines.push_back(twoDigits(s.Background, 2) + (s.BackgroundColour >= 0 && s.BackgroundColour <= 9
                                                    ? Digit(s.BackgroundColour)
                                                    : '0'));
  lines.push_back("<# Name Of Player>");
  lines.push_back(Clean(s.PlayerName));
  lines.push_back("<# World Top Ten>");
  lines.push_back(Clean(s.TopTenScriptPath));
  lines.push_back(Clean(std::string_view(s.TopTenNick).substr(0, 12)));
  lines.push_back(Clean(std::string_view(s.TopTenCountry).substr(0, 15)));
  lines.push_back(Clean(std::string_view(s.TopTenCity).substr(0, 15)));
  lines.push_back(Clean(s.TopTenSex));
  lines.push_back(Clean(s.StatsScriptPath));
  lines.push_back("<# Save Games as GIF>");
  lines.push_back(std::string(1, static_cast<char>(s.GifRecording ? kGifOn : kGifOff)));
  lines.push_back(std::to_string(s.GifSource));
  lines.push_back(std::to_string(s.GifDelay));
  return JoinLines(lines);
}

SettingsRead LoadSettings(const std::filesystem::path& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes && bytes.error().kind != RecordErrorKind::kMissing) bytes = ReadWholeFile(path);
  if (!bytes) {
    SettingsRead out;
    out.settings = DefaultSettings();
    out.notes.push_back(bytes.error());
    return out;
  }
  SettingsRead out = ParseSettings(*bytes);
  for (auto& note : out.notes) note.path = path.string();
  return out;
}

std::optional<RecordError> SaveSettings(const std::filesystem::path& path,
                                        const TSettings& settings, const WriteFaultHook& hook) {
  const std::string bytes = FormatSettings(settings);
  auto error = WriteFileAtomically(path, bytes, hook);
  // A read-only file stays read-only on a second try; anything else may have been passing.
  if (error && error->kind != RecordErrorKind::kReadOnly) {
    error = WriteFileAtomically(path, bytes, hook);
  }
  return error;
}

}  // namespace trilane

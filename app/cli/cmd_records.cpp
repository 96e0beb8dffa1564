// Local records: the settings file, the club files and the history files.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/codepage.h"
#include "cli.h"
#include "commands.h"
#include "records/address_cipher.h"
#include "records/club_file.h"
#include "records/history_file.h"
#include "records/settings.h"
#include "records/text_lines.h"

namespace trilane::cli {
namespace {

namespace fs = std::filesystem;

std::string Sub(const CommandArgs& args, const char* command, const char* choices) {
  if (args.empty() || args[0].rfind("--", 0) == 0) {
    throw UsageError(std::string("missing ") + command + " subcommand (" + choices + ")");
  }
  return args[0];
}

CommandArgs Rest(const CommandArgs& args) {
  return CommandArgs(args.begin() + 1, args.end());
}

fs::path OnePath(const Args& a, const char* what) {
  if (a.Positional().size() != 1) throw UsageError(std::string("expected one ") + what);
  return PathArgument(a.Positional()[0]);
}

std::string Utf8(std::string_view cp1251) {
  return Cp1251ToUtf8(cp1251);
}

std::string ToCp1251(const std::string& utf8, const std::string& what) {
  auto bytes = Utf8ToCp1251(utf8);
  if (!bytes) throw UsageError(what + ": '" + utf8 + "' has characters code page 1251 lacks");
  return *bytes;
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void RefuseExisting(const fs::path& path, bool force) {
  std::error_code ec;
  if (!force && fs::exists(path, ec)) {
    throw std::runtime_error(path.string() + " exists; add --force to replace it");
  }
}

// --- settings ---

// Every field of the record, in file order, under its own name.
template <typename Visit>
void ForEachField(const TSettings& s, Visit&& v) {
  v("LanguageIndex", s.LanguageIndex);
  v("SoundOn", s.SoundOn);
  v("MusicOn", s.MusicOn);
  v("GifAnimationOn", s.GifAnimationOn);
  v("FlyCardsOn", s.FlyCardsOn);
  v("OwnCursor", s.OwnCursor);
  v("FlightSpeed", s.FlightSpeed);
  v("WindowSize", s.WindowSize);
  v("MenuMode", s.MenuMode);
  v("NetMode", s.NetMode);
  v("StartRegistered", s.StartRegistered);
  v("Liked", s.Liked);
  v("RadioListFromServer", s.RadioListFromServer);
  v("CaptionTint", s.CaptionTint);
  v("NewButtons", s.NewButtons);
  v("AuxPurple", s.AuxPurple);
  v("AuxGray", s.AuxGray);
  v("MenuDesign", s.MenuDesign);
  v("TableDesign", s.TableDesign);
  v("SaluteButtons", s.SaluteButtons);
  v("SaluteCards", s.SaluteCards);
  v("CardDesign", s.CardDesign);
  v("BackDesign", s.BackDesign);
  v("BackAlwaysOne", s.BackAlwaysOne);
  v("RuleTwoFour", s.RuleTwoFour);
  v("FontName", s.FontName);
  v("FontScale", s.FontScale);
  v("ServerAddress", s.ServerAddress);
  v("ServerPort", s.ServerPort);
  v("Background", s.Background);
  v("BackgroundColour", s.BackgroundColour);
  v("PlayerName", s.PlayerName);
  v("TopTenScriptPath", s.TopTenScriptPath);
  v("TopTenNick", s.TopTenNick);
  v("TopTenCountry", s.TopTenCountry);
  v("TopTenCity", s.TopTenCity);
  v("TopTenSex", s.TopTenSex);
  v("StatsScriptPath", s.StatsScriptPath);
  v("GifRecording", s.GifRecording);
  v("GifSource", s.GifSource);
  v("GifDelay", s.GifDelay);
}

struct JsonField {
  Json& j;
  void operator()(const char* name, int v) { j.Key(name).Int(v); }
  void operator()(const char* name, bool v) { j.Key(name).Bool(v); }
  void operator()(const char* name, const std::string& v) { j.Key(name).String(Utf8(v)); }
  void operator()(const char* name, const std::array<int, 4>& v) { j.Key(name).IntArray(v); }
  void operator()(const char* name, const std::array<std::string, 4>& v) {
    j.Key(name).BeginArray();
    for (const auto& text : v) j.String(Utf8(text));
    j.EndArray();
  }
};

struct TextField {
  std::string& out;
  void Line(const char* name, const std::string& value) {
    out += std::string(name) + ": " + value + "\n";
  }
  void operator()(const char* name, int v) { Line(name, std::to_string(v)); }
  void operator()(const char* name, bool v) { Line(name, v ? "true" : "false"); }
  void operator()(const char* name, const std::string& v) { Line(name, "\"" + Utf8(v) + "\""); }
  void operator()(const char* name, const std::array<int, 4>& v) {
    Line(name, std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) +
                   ", " + std::to_string(v[3]));
  }
  void operator()(const char* name, const std::array<std::string, 4>& v) {
    Line(name, "\"" + Utf8(v[0]) + "\", \"" + Utf8(v[1]) + "\", \"" + Utf8(v[2]) + "\", \"" +
                   Utf8(v[3]) + "\"");
  }
};

std::string SettingsText(const TSettings& s) {
  std::string out;
  ForEachField(s, TextField{out});
  auto address = [](const std::string& enciphered) {
    auto plain = DecipherAddress(enciphered, kSettingsAddressKey);
    return plain ? Utf8(*plain) : std::string("(not a valid enciphered address)");
  };
  out += "(world top ten script: " + address(s.TopTenScriptPath) + ")\n";
  out += "(statistics script: " + address(s.StatsScriptPath) + ")\n";
  return out;
}

int SettingsShow(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  const fs::path path = OnePath(a, "settings file");
  const SettingsRead read = LoadSettings(path);
  for (const auto& note : read.notes) {
    if (note.kind == RecordErrorKind::kMissing || note.kind == RecordErrorKind::kUnreadable) {
      throw std::runtime_error(note.Describe());
    }
  }
  for (const auto& note : read.notes) {
    std::fprintf(stderr, "note: %s (default kept)\n", note.Describe().c_str());
  }
  if (a.Flag("json")) {
    Json j;
    j.BeginObject();
    ForEachField(read.settings, JsonField{j});
    j.EndObject();
    Print(j.Text() + "\n");
  } else {
    Print(SettingsText(read.settings));
  }
  return 0;
}

// What a command that writes a new file prints.
void ReportWritten(const fs::path& path, bool json) {
  if (json) {
    Json j;
    j.BeginObject().Key("written").String(path.string()).EndObject();
    Print(j.Text() + "\n");
  } else {
    Print("wrote " + path.string() + "\n");
  }
}

int SettingsDefault(const CommandArgs& raw) {
  const Args a(raw, {"out"}, {"force", "json"});
  if (!a.Positional().empty()) throw UsageError("unexpected argument " + a.Positional()[0]);
  const fs::path path = PathArgument(a.Required("out"));
  RefuseExisting(path, a.Flag("force"));
  if (auto e = SaveSettings(path, DefaultSettings())) throw std::runtime_error(e->Describe());
  ReportWritten(path, a.Flag("json"));
  return 0;
}

// --- club ---

int ClubNew(const CommandArgs& raw) {
  const Args a(raw, {"out"}, {"net", "force", "json"});
  if (!a.Positional().empty()) throw UsageError("unexpected argument " + a.Positional()[0]);
  const fs::path path = PathArgument(a.Required("out"));
  RefuseExisting(path, a.Flag("force"));
  if (auto e = SaveClubFile(path, NewClubFile(a.Flag("net")))) {
    throw std::runtime_error(e->Describe());
  }
  ReportWritten(path, a.Flag("json"));
  return 0;
}

int ClubCheck(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  const fs::path path = OnePath(a, "club file");
  const auto check = CheckClubFile(path);
  if (a.Flag("json")) {
    Json j;
    j.BeginObject();
    j.Key("good").Bool(check.good);
    j.Key("reason").String(check.good ? "" : Utf8(check.error.Where()));
    j.Key("marker").String(Utf8(check.marker));
    j.Key("russian").Bool(check.russian);
    j.Key("write_lock").Bool(check.writeLock);
    j.EndObject();
    Print(j.Text() + "\n");
  } else if (check.good) {
    Print("good: marker \"" + Utf8(check.marker) + "\"" +
          (check.russian ? ", starts in Russian" : "") +
          (check.writeLock ? ", write-locked (read-only): nothing will be written" : "") + "\n");
  } else {
    Print("bad: " + Utf8(check.error.Where()) + "\n");
  }
  return check.good ? 0 : 1;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

int ClubShow(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  const fs::path path = OnePath(a, "club file");
  auto club = LoadClubFile(path);
  if (!club) throw std::runtime_error(club.error().Describe());
  if (a.Flag("json")) {
    Json j;
    j.BeginObject().Key("members").BeginArray();
    for (int s = 1; s <= kClubMembers; ++s) {
      const Member m = ReadMember(*club, s);
      j.BeginObject();
      j.Key("name").String(Utf8(m.name));
      j.Key("rating");
      m.rating ? j.Double(*m.rating) : j.Null();
      j.Key("games");
      m.games ? j.Int(*m.games) : j.Null();
      j.Key("score");
      m.cycleScore ? j.Int(*m.cycleScore) : j.Null();
      j.Key("empty").Bool(m.empty);
      j.EndObject();
    }
    j.EndArray().Key("topten").BeginArray();
    for (const auto& t : ReadTopTen(*club)) {
      j.BeginObject().Key("name").String(Utf8(t.name)).Key("score").Int(t.score).EndObject();
    }
    j.EndArray();
    j.Key("marker").String(Utf8(ClubMarker(*club)));
    j.Key("russian").Bool(ClubStartsInRussian(*club));
    j.EndObject();
    Print(j.Text() + "\n");
    return 0;
  }
  std::string out = "Members (name, rating, games, cycle game, score):\n";
  for (int s = 1; s <= kClubMembers; ++s) {
    const Member m = ReadMember(*club, s);
    char line[160];
    if (m.empty) {
      std::snprintf(line, sizeof line, "  %d. (empty)\n", s);
    } else {
      const int64_t games = m.games.value_or(0);
      const int64_t inCycle = GameOfCycle(games);
      // Padded in code-page bytes, so the columns line up whatever the script.
      std::snprintf(line, sizeof line, "  %d. %s %11s %7lld %3lld/80 %7lld\n", s,
                    Utf8(PadRightOrCut(m.name, kMemberNameLength)).c_str(),
                    m.rating ? Fixed(*m.rating, 6).c_str() : "-", static_cast<long long>(games),
                    static_cast<long long>(inCycle),
                    static_cast<long long>(m.cycleScore.value_or(0)));
    }
    out += line;
  }
  out += "Top ten:\n";
  int place = 1;
  for (const auto& t : ReadTopTen(*club)) {
    char line[160];
    std::snprintf(line, sizeof line, "  %2d. %s %7lld\n", place++,
                  Utf8(PadRightOrCut(t.name, kMemberNameLength)).c_str(),
                  static_cast<long long>(t.score));
    out += line;
  }
  out += "Marker: \"" + Utf8(ClubMarker(*club)) + "\"" +
         (ClubStartsInRussian(*club) ? ", starts in Russian" : "") + "\n";
  Print(out);
  return 0;
}

void FailOnLock(const fs::path& path) {
  if (ClubWriteLocked(path)) {
    throw std::runtime_error(path.string() +
                             ": the club file is write-locked (read-only); nothing written");
  }
}

int ClubRemove(const CommandArgs& raw) {
  const Args a(raw, {"slot"}, {"json"});
  const fs::path path = OnePath(a, "club file");
  const int slot = static_cast<int>(a.RequiredInt("slot", 1, 6));
  if (auto club = LoadClubFile(path); !club) throw std::runtime_error(club.error().Describe());
  FailOnLock(path);
  if (auto e = RemoveMemberFromFile(path, slot)) throw std::runtime_error(e->Describe());
  const bool removed = slot <= kClubMembers;
  if (a.Flag("json")) {
    Json j;
    j.BeginObject().Key("slot").Int(slot).Key("removed").Bool(removed).EndObject();
    Print(j.Text() + "\n");
  } else {
    Print(removed ? "removed member " + std::to_string(slot) + "\n"
                  : std::string("slot 6 has no member line; nothing changed\n"));
  }
  return 0;
}

int ClubResult(const CommandArgs& raw) {
  const Args a(raw, {"slot", "name", "password", "match-score", "rounds"}, {"json"});
  const fs::path path = OnePath(a, "club file");
  const int slot = static_cast<int>(a.RequiredInt("slot", 1, 6));
  const int64_t matchScore = a.RequiredInt("match-score", -999999, 999999);
  const int64_t rounds = a.RequiredInt("rounds", 1, 9999999);
  auto club = LoadClubFile(path);
  if (!club) throw std::runtime_error(club.error().Describe());
  const Member member = ReadMember(*club, slot);
  if (slot <= kClubMembers && member.empty) {
    throw UsageError("--slot: member line " + std::to_string(slot) + " is empty");
  }

  std::string name = slot <= kClubMembers ? member.name : std::string();
  if (auto given = a.Value("name")) {
    auto typed = TypedMemberName(ToCp1251(*given, "--name"));
    if (!typed) throw UsageError("--name: " + typed.error().reason);
    name = *typed;
  } else if (slot == kSlotNewPlayer) {
    throw UsageError("missing option --name (a new player needs a name)");
  }

  std::string code = member.passwordCode;
  if (auto given = a.Value("password")) {
    const std::string pw = ToCp1251(*given, "--password");
    const auto encoded = EncodePassword(pw);
    if (!encoded) throw UsageError("--password: at most 5 characters");
    if (slot <= kClubMembers && !PasswordMatches(pw, member.passwordCode)) {
      throw std::runtime_error("the password does not match member " + std::to_string(slot));
    }
    code = *encoded;
  } else if (slot == kSlotNewPlayer) {
    throw UsageError(
        "missing option --password (a new player needs one; it may be empty: --password=)");
  }

  auto result = MatchResultFor(*club, slot, name, code, matchScore, rounds);
  if (!result) throw std::runtime_error(result.error().Describe());
  FailOnLock(path);
  auto outcome = WriteMemberResultToFile(path, *result);
  if (!outcome) throw std::runtime_error(outcome.error().Describe());
  if (a.Flag("json")) {
    Json j;
    j.BeginObject();
    j.Key("member_line").String(Utf8(outcome->memberLine));
    j.Key("place").Int(outcome->place);
    j.Key("cycle_score").Int(outcome->cycleScore);
    j.Key("rating").Double(result->rating);
    j.Key("games").Int(result->gamesAfter);
    j.Key("cycle_completed").Bool(outcome->cycleCompleted);
    j.Key("slot").Int(outcome->memberSlot);
    j.EndObject();
    Print(j.Text() + "\n");
  } else {
    std::string out = "member line: \"" + Utf8(outcome->memberLine) + "\"\n";
    out += "rating " + Fixed(result->rating, 6) + " after " + std::to_string(result->gamesAfter) +
           " games\n";
    out += outcome->memberSlot ? "now member " + std::to_string(outcome->memberSlot) + "\n"
                               : std::string("rated below all five members: not kept\n");
    if (outcome->cycleCompleted) {
      out += "cycle completed with score " + std::to_string(outcome->cycleScore) +
             (outcome->place ? ": place " + std::to_string(outcome->place) + " in the top ten\n"
                             : std::string(": not in the top ten\n"));
    } else {
      out += "cycle score " + std::to_string(outcome->cycleScore) + "\n";
    }
    Print(out);
  }
  return 0;
}

// --- history ---

CalendarTime ParseNow(const std::string& text) {
  int y, mo, d, h, mi;
  char tail;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &y, &mo, &d, &h, &mi, &tail) != 5 ||
      h < 0 || h > 23 || mi < 0 || mi > 59) {
    throw UsageError("--now: '" + text + "' is not \"YYYY-MM-DD hh:mm\"");
  }
  if (!IsCalendarDate(y, mo, d)) {
    throw UsageError("--now: '" + text + "' names a day the calendar does not have");
  }
  return CalendarTime{y, mo, d, h, mi};
}

std::string DatePattern(const Args& a) {
  const std::string pattern = a.Value("date-format").value_or(kDefaultDatePattern);
  if (pattern.empty()) throw UsageError("--date-format: empty pattern");
  for (char c : pattern) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
      throw UsageError("--date-format: use the letters d, M, y and plain separators");
    }
  }
  return pattern;
}

int HistoryAppendCmd(const CommandArgs& raw) {
  const Args a(raw, {"dir", "name", "games", "result", "rating", "kind", "now", "date-format"},
               {"json"});
  if (!a.Positional().empty()) throw UsageError("unexpected argument " + a.Positional()[0]);
  HistoryRecord record;
  record.players = ToCp1251(a.Required("name"), "--name");
  record.games = a.RequiredInt("games", 0, 999);
  record.result = a.RequiredInt("result", -999999999, 9999999999);
  record.rating = ParseDouble(a.Required("rating"), "--rating");
  const std::string kind = a.Required("kind");
  const auto kindRead = kind.size() == 1 ? MatchKindFromLetter(kind[0]) : std::nullopt;
  if (!kindRead) throw UsageError("--kind: '" + kind + "' is not L, A, T or N");
  record.kind = *kindRead;
  const CalendarTime now = ParseNow(a.Required("now"));
  const std::string pattern = DatePattern(a);
  if (!FormatHistoryRating(record.rating)) throw UsageError("--rating: too large for the file");
  auto done = AppendHistory(PathArgument(a.Required("dir")), {record}, now, pattern);
  if (!done) throw std::runtime_error(done.error().Describe());
  if (a.Flag("json")) {
    Json j;
    j.BeginObject();
    j.Key("file").String(done->file.string());
    j.Key("number").Int(done->fileNumber);
    j.Key("records").Int(done->records);
    j.Key("restarted").Bool(done->restarted);
    j.Key("set_aside").String(done->setAside.string());
    j.Key("line").String(Utf8(done->lines.front()));
    j.EndObject();
    Print(j.Text() + "\n");
  } else {
    std::string out =
        "appended to " + done->file.string() + " (" + std::to_string(done->records) + " records)\n";
    if (done->restarted) out += "the file was started anew\n";
    if (!done->setAside.empty()) {
      out += "the invalid file it replaces was kept as " + done->setAside.string() + "\n";
    }
    Print(out);
  }
  return 0;
}

int HistoryCheckCmd(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  const fs::path path = OnePath(a, "history file");
  const HistoryCheck check = CheckHistoryFile(path);
  if (a.Flag("json")) {
    Json j;
    j.BeginObject();
    j.Key("valid").Bool(check.valid);
    j.Key("records").Int(check.valid ? check.records : 0);
    j.Key("reason").String(check.valid ? "" : Utf8(check.error.Where()));
    j.EndObject();
    Print(j.Text() + "\n");
  } else if (check.valid) {
    Print("valid: " + std::to_string(check.records) + " records\n");
  } else {
    Print("invalid: " + Utf8(check.error.Where()) + "\n");
  }
  return check.valid ? 0 : 1;
}

std::string FileDate(fs::file_time_type when, const std::string& pattern) {
  const auto sys = std::chrono::file_clock::to_sys(when);
  const std::time_t t = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  CalendarTime c{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                 local.tm_min};
  return FormatShortDate(c, pattern);
}

int HistoryListCmd(const CommandArgs& raw) {
  const Args a(raw, {"date-format"}, {"json"});
  const fs::path dir = OnePath(a, "history folder");
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) throw std::runtime_error(dir.string() + ": not a folder");
  const std::string pattern = DatePattern(a);
  const auto files = ListHistoryFiles(dir);
  if (a.Flag("json")) {
    Json j;
    j.BeginObject().Key("files").BeginArray();
    for (const auto& f : files) {
      j.BeginObject();
      j.Key("number").Int(f.number);
      j.Key("records").Int(f.records);
      j.Key("date").String(FileDate(f.modified, pattern));
      j.EndObject();
    }
    j.EndArray().EndObject();
    Print(j.Text() + "\n");
  } else if (files.empty()) {
    Print("No History Files\n");
  } else {
    std::string out;
    for (const auto& f : files) {
      char line[96];
      std::snprintf(line, sizeof line, "File I%04d %s  %d records\n", f.number,
                    FileDate(f.modified, pattern).c_str(), f.records);
      out += line;
    }
    Print(out);
  }
  return 0;
}

int HistoryShowCmd(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  const fs::path path = OnePath(a, "history file");
  const HistoryCheck check = CheckHistoryFile(path);
  if (!check.valid) throw std::runtime_error(check.error.Describe());
  Json j;
  j.BeginObject().Key("rows").BeginArray();
  // The file's own columns, a space between them, each under its header.
  const std::pair<const char*, HistoryColumn> columns[] = {
      {"Time", kHistoryTimeColumn},      {"Date", kHistoryDateColumn},
      {"Player", kHistoryPlayersColumn}, {"Games", kHistoryGamesColumn},
      {"Result", kHistoryResultColumn},  {"Rating", kHistoryRatingColumn},
  };
  std::string out;
  for (const auto& [header, column] : columns) {
    const size_t width = std::max(column.width, std::string_view(header).size());
    out += (column.column == kHistoryPlayersColumn.column ? PadRightOrCut(header, width)
                                                          : PadLeft(header, width)) +
           " ";
  }
  out += "Type\n";
  for (const auto& line : check.recordLines) {
    const std::string_view kindField = kHistoryKindColumn.Of(line);
    const auto kind = kindField.empty() ? std::nullopt : MatchKindFromLetter(kindField[0]);
    // A kind letter the program never writes shows as a local game, as the window does.
    const char* type = MatchKindName(kind.value_or(kLocalMatch));
    j.BeginObject();
    j.Key("time").String(kHistoryTimeColumn.Text(line));
    j.Key("date").String(Utf8(kHistoryDateColumn.Text(line)));
    j.Key("player").String(Utf8(kHistoryPlayersColumn.Text(line)));
    j.Key("games").String(kHistoryGamesColumn.Text(line));
    j.Key("result").String(kHistoryResultColumn.Text(line));
    j.Key("rating").String(kHistoryRatingColumn.Text(line));
    j.Key("type").String(type);
    j.EndObject();
    std::string row;
    for (const auto& [header, column] : columns) {
      const size_t width = std::max(column.width, std::string_view(header).size());
      row += PadLeft(column.Of(line), width) + " ";
    }
    out += Utf8(row) + type + "\n";
  }
  j.EndArray().EndObject();
  Print(a.Flag("json") ? j.Text() + "\n" : out);
  return 0;
}

}  // namespace

int RunSettings(const CommandArgs& args) {
  const std::string sub = Sub(args, "settings", "show, default");
  if (sub == "show") return SettingsShow(Rest(args));
  if (sub == "default") return SettingsDefault(Rest(args));
  throw UsageError("unknown settings subcommand '" + sub + "' (show, default)");
}

int RunClub(const CommandArgs& args) {
  const std::string sub = Sub(args, "club", "new, check, show, remove, result");
  if (sub == "new") return ClubNew(Rest(args));
  if (sub == "check") return ClubCheck(Rest(args));
  if (sub == "show") return ClubShow(Rest(args));
  if (sub == "remove") return ClubRemove(Rest(args));
  if (sub == "result") return ClubResult(Rest(args));
  throw UsageError("unknown club subcommand '" + sub + "' (new, check, show, remove, result)");
}

int RunHistory(const CommandArgs& args) {
  const std::string sub = Sub(args, "history", "append, check, list, show");
  if (sub == "append") return HistoryAppendCmd(Rest(args));
  if (sub == "check") return HistoryCheckCmd(Rest(args));
  if (sub == "list") return HistoryListCmd(Rest(args));
  if (sub == "show") return HistoryShowCmd(Rest(args));
  throw UsageError("unknown history subcommand '" + sub + "' (append, check, list, show)");
}

}  // namespace trilane::cli

#include "records/history_file.h"

#include <cmath>
#include <cstdio>
#include <system_error>

#include "base/rounding.h"
#include "records/club_file.h"
#include "records/text_lines.h"

namespace trilane {
namespace fs = std::filesystem;
namespace {

constexpr size_t kChecksummed = 99;
constexpr char kBaseName[] = "Trilane";  // the local club file's name without ".clb"
constexpr char kTerminatorMarker = static_cast<char>(kGameCode + 100);

struct Sums {
  int64_t s1 = 0, s2 = 0, s3 = 0;
};

Sums LineSums(std::string_view line) {
  Sums s;
  const size_t n = std::min(line.size(), kChecksummed);
  for (size_t i = 0; i < n; ++i) {
    const int b = static_cast<unsigned char>(line[i]);
    const size_t pos = i + 1;
    s.s1 += b;
    if (pos % 2 == 0) s.s2 += b;
    if (pos % 3 == 0) s.s3 += b;
  }
  return s;
}

std::string Digits(int64_t v, size_t width) {
  return PadLeft(std::to_string(v), width, '0');
}

}  // namespace

char MatchKindLetter(MatchKind kind) {
  static constexpr char kLetters[] = {'L', 'A', 'T', 'N'};
  return kind >= kLocalMatch && kind <= kNetMatch ? kLetters[kind] : '?';
}

std::optional<MatchKind> MatchKindFromLetter(char letter) {
  for (MatchKind kind : {kLocalMatch, kAccountMatch, kTourneyMatch, kNetMatch}) {
    if (MatchKindLetter(kind) == letter) return kind;
  }
  return std::nullopt;
}

const char* MatchKindName(MatchKind kind) {
  static constexpr const char* kNames[] = {"Local", "Account", "Tourney", "Net"};
  return kind >= kLocalMatch && kind <= kNetMatch ? kNames[kind] : "";
}

bool IsCalendarDate(int year, int month, int day) {
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string FormatShortDate(const CalendarTime& when, std::string_view pattern) {
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {
      const size_t close = pattern.find('\'', i + 1);
      const size_t end = close == std::string_view::npos ? pattern.size() : close;
      out += pattern.substr(i + 1, end - i - 1);
      i = end == pattern.size() ? end : end + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == 'd') {
      out += run == 1 ? std::to_string(when.day) : Digits(when.day, 2);
    } else if (c == 'M') {
      out += run == 1 ? std::to_string(when.month) : Digits(when.month, 2);
    } else if (c == 'y') {
      const int year = when.year < 0 ? 0 : when.year;
      out += run == 1   ? std::to_string(year % 100)
             : run == 2 ? Digits(year % 100, 2)
                        : Digits(year, 4);
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

fs::path HistoryFilePath(const fs::path& dir, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%s_I%04d.hst", kBaseName, number);
  return dir / name;
}

std::string HistoryLineChecksum(std::string_view line) {
  const Sums s = LineSums(line);
  return Digits(s.s1, 5) + Digits(s.s2, 5) + Digits(s.s3, 5);
}

Expected<std::string, RecordError> FormatHistoryRating(double rating) {
  if (!std::isfinite(rating) || std::fabs(rating) > 9e7) {
    return Fail(BadValue("the rating does not fit 10 characters"));
  }
  const int64_t n = RoundHalfEvenToInt(rating * 100);
  const int64_t magnitude = n < 0 ? -n : n;
  std::string text = FormatScaledComma(magnitude, 2);
  if (rating < 0) text = "-" + text;
  if (text.size() > 10) return Fail(BadValue("the rating does not fit 10 characters"));
  return PadLeft(text, 10);
}

Expected<std::string, RecordError> FormatHistoryRecord(const HistoryRecord& record,
                                                       const CalendarTime& now,
                                                       std::string_view datePattern) {
  if (record.games < -99 || record.games > 999) {
    return Fail(BadValue("the number of games does not fit 3 characters"));
  }
  if (record.result < -999999999 || record.result > 9999999999) {
    return Fail(BadValue("the result does not fit 10 characters"));
  }
  if (record.kind < kLocalMatch || record.kind > kNetMatch) {
    return Fail(BadValue("the kind of match is not 0..3"));
  }
  auto rating = FormatHistoryRating(record.rating);
  if (!rating) return Fail(rating.error());
  if (now.hour < 0 || now.hour > 23 || now.minute < 0 || now.minute > 59) {
    return Fail(BadValue("the time is not a time of day"));
  }
  if (!IsCalendarDate(now.year, now.month, now.day)) {
    return Fail(BadValue("the date is not a day of the calendar"));
  }
  std::string players = PadRightOrCut(record.players, kHistoryPlayersColumn.width);
  for (char& c : players) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';  // a line end would split the record
  }
  const std::string kind = MatchKindLetter(record.kind) + std::string(9, '#');
  const std::string fields[] = {
      PadLeft(std::to_string(now.hour) + ":" + Digits(now.minute, 2), kHistoryTimeColumn.width),
      PadLeft(FormatShortDate(now, datePattern).substr(0, kHistoryDateColumn.width),
              kHistoryDateColumn.width),
      players,
      PadLeft(std::to_string(record.games), kHistoryGamesColumn.width),
      PadLeft(std::to_string(record.result), kHistoryResultColumn.width),
      *rating,
      kind,
  };
  std::string line;
  line.reserve(kHistoryLineLength);
  for (const std::string& field : fields) line += field;
  line += HistoryLineChecksum(line);
  return line;
}

std::string HistoryTerminatorLine() {
  std::string line = "$";
  line += kTerminatorMarker;
  line += '}';
  line.resize(kChecksummed, '#');
  return line + HistoryLineChecksum(line);
}

std::string BuildHistoryFile(const std::vector<std::string>& recordLines) {
  std::vector<std::string> lines = recordLines;
  lines.push_back(HistoryTerminatorLine());
  // The totals are summed from the bytes themselves, so they agree with what the check
  // recomputes even if a stored line checksum was ever altered.
  Sums total;
  for (const auto& l : lines) {
    const Sums s = LineSums(l);
    total.s1 += s.s1;
    total.s2 += s.s2;
    total.s3 += s.s3;
  }
  lines.push_back(Digits(total.s1, 10) + Digits(total.s2, 10) + Digits(total.s3, 10));
  return JoinLines(lines);
}

HistoryCheck CheckHistory(std::string_view bytes) {
  HistoryCheck check;
  const auto lines = SplitLines(bytes);
  Sums total;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (line.size() < kHistoryLineLength) {
      check.error =
          BadFile(number, static_cast<int>(line.size()) + 1,
                  "the line has " + std::to_string(line.size()) + " characters, fewer than 114");
      return check;
    }
    const Sums s = LineSums(line);
    total.s1 += s.s1;
    total.s2 += s.s2;
    total.s3 += s.s3;
    if (line[0] != '$') {
      ++check.records;
      check.recordLines.emplace_back(line);
      continue;
    }
    if (i + 1 >= lines.size()) {
      check.error = BadFile(number + 1, 0, "the totals line is missing");
      return check;
    }
    const std::string_view totals = lines[i + 1];
    if (totals.size() < kHistoryTotalsLength) {
      check.error = BadFile(number + 1, static_cast<int>(totals.size()) + 1,
                            "the totals line is shorter than 30 characters");
      return check;
    }
    const int64_t expected[3] = {total.s1, total.s2, total.s3};
    for (int k = 0; k < 3; ++k) {
      const auto stored = ParseWholeNumber(totals.substr(10 * static_cast<size_t>(k), 10));
      if (!stored || *stored != expected[k]) {
        check.error = BadFile(number + 1, 1 + 10 * k,
                              "total " + std::to_string(k + 1) + " is " +
                                  std::string(totals.substr(10 * static_cast<size_t>(k), 10)) +
                                  " but the lines add up to " + Digits(expected[k], 10));
        return check;
      }
    }
    check.valid = true;
    return check;
  }
  check.error = BadFile(static_cast<int>(lines.size()) + 1, 0, "the terminator line is missing");
  return check;
}

HistoryCheck CheckHistoryFile(const fs::path& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) {
    HistoryCheck check;
    check.error = bytes.error();
    return check;
  }
  HistoryCheck check = CheckHistory(*bytes);
  if (!check.valid) check.error.path = path.string();
  return check;
}

std::optional<HistoryRecord> ReadHistoryRecord(std::string_view line) {
  const auto games = ParseWholeNumber(kHistoryGamesColumn.Of(line));
  const auto result = ParseWholeNumber(kHistoryResultColumn.Of(line));
  const auto rating = ParseCommaReal(kHistoryRatingColumn.Of(line));
  const std::string_view kindField = kHistoryKindColumn.Of(line);
  const auto kind = kindField.empty() ? std::nullopt : MatchKindFromLetter(kindField[0]);
  if (!games || !result || !rating || !kind) return std::nullopt;
  HistoryRecord record;
  record.writtenTime = kHistoryTimeColumn.Text(line);
  record.writtenDate = kHistoryDateColumn.Text(line);
  record.players = kHistoryPlayersColumn.Text(line);
  record.games = *games;
  record.result = *result;
  record.rating = *rating;
  record.kind = *kind;
  return record;
}

Expected<HistoryAppend, RecordError> AppendHistory(const fs::path& dir,
                                                   const std::vector<HistoryRecord>& records,
                                                   const CalendarTime& now,
                                                   std::string_view datePattern,
                                                   const WriteFaultHook& hook) {
  HistoryAppend out;
  for (const HistoryRecord& r : records) {
    auto line = FormatHistoryRecord(r, now, datePattern);
    if (!line) return Fail(line.error());
    out.lines.push_back(std::move(*line));
  }
  if (out.lines.empty()) return Fail(BadValue("nothing to append"));
  if (out.lines.size() > static_cast<size_t>(kHistoryRecordsPerFile)) {
    return Fail(BadValue("more records than a file holds"));
  }

  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) {
    RecordError e;
    e.kind = RecordErrorKind::kCreateFailed;
    e.path = dir.string();
    e.reason = "cannot create the history folder";
    return Fail(std::move(e));
  }

  std::vector<std::string> keep;
  for (int n = 1; n <= kHistoryMaxFiles; ++n) {
    const fs::path file = HistoryFilePath(dir, n);
    HistoryCheck check = CheckHistoryFile(file);
    if (check.valid && check.records + out.lines.size() <= kHistoryRecordsPerFile) {
      keep = std::move(check.recordLines);
    } else if (check.valid) {
      continue;  // full
    } else {
      out.restarted = true;
      if (check.error.kind != RecordErrorKind::kMissing) {
        // Keep the damaged file under a name the history ignores instead of destroying
        // what may be years of results.
        for (int k = 1; k <= 99 && out.setAside.empty(); ++k) {
          fs::path aside = file;
          aside += k == 1 ? ".bad" : ".bad" + std::to_string(k);
          if (!fs::exists(aside, ec)) out.setAside = aside;
        }
        fs::rename(file, out.setAside, ec);
        if (out.setAside.empty() || ec) {
          RecordError e;
          e.kind = RecordErrorKind::kRenameFailed;
          e.path = file.string();
          e.reason = "cannot move the invalid file aside";
          return Fail(std::move(e));
        }
      }
    }
    out.fileNumber = n;
    out.file = file;
    keep.insert(keep.end(), out.lines.begin(), out.lines.end());
    out.records = static_cast<int>(keep.size());
    if (auto e = WriteFileAtomically(file, BuildHistoryFile(keep), hook)) {
      if (!out.setAside.empty()) {
        std::error_code ignored;
        fs::rename(out.setAside, file, ignored);  // put the old file back as it was
      }
      return Fail(std::move(*e));
    }
    return out;
  }
  RecordError e;
  e.kind = RecordErrorKind::kFull;
  e.path = dir.string();
  e.reason = "all 9999 history files are full";
  return Fail(std::move(e));
}

std::vector<HistoryFileInfo> ListHistoryFiles(const fs::path& dir) {
  std::vector<HistoryFileInfo> out;
  for (int n = 1; n <= kHistoryMaxFiles; ++n) {
    HistoryFileInfo info;
    info.number = n;
    info.file = HistoryFilePath(dir, n);
    const HistoryCheck check = CheckHistoryFile(info.file);
    if (!check.valid) break;
    info.records = check.records;
    std::error_code ec;
    info.modified = fs::last_write_time(info.file, ec);
    out.push_back(std::move(info));
  }
  return out;
}

}  // namespace trilane

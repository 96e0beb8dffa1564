#include "web/information_clock.h"

#include "base/codepage.h"
#include "rules/game.h"
#include "words/word_entries.h"

namespace trilane::web {

int InformationPageAt(int minute, bool signedIn) {
  const int page = ((minute % kInformationPages) + kInformationPages) % kInformationPages + 1;
  return page == 6 && !signedIn ? 7 : page;
}

std::string ShortCount(int64_t count) {
  if (count > 999999999) return std::to_string(count / 1000000000) + "G";
  if (count > 999999) return std::to_string(count / 1000000) + "M";
  if (count > 999) return std::to_string(count / 1000) + "K";
  return std::to_string(count);
}

namespace {

// Pages 3..5: the best entry of a world table.
void ReadBest(WebClient& client, int64_t gid, InformationPage& out) {
  const WebRead<RecordList> read = client.WebReadRecords(gid);
  if (!read.ok) {
    out.failed = true;
    return;
  }
  const TQorRecord& best = read.value[0];
  if (best.Nick.empty() || best.Nick == "#") {
    out.empty = true;
    return;
  }
  out.nick = best.Nick;
  out.value = std::to_string(best.Score);
  // Only this program's table shows the best player's flag.
  if (gid == kWindowsTableId) out.country = best.Country;
}

}  // namespace

InformationPage ReadInformationPage(WebClient& client, int page, const std::string& nick) {
  InformationPage out;
  out.page = page >= 1 && page <= kInformationPages ? page : 7;
  out.value = "0";
  switch (out.page) {
    case 1:
    case 2: {
      out.icon = "Windows";
      out.hintEntry = out.page == 1 ? kWordStatDynamicIq : kWordTopGamesWithPc;
      const WebRead<TQorStat> read = client.WebReadStats(kWindowsTableId);
      if (!read.ok) {
        out.failed = true;
        break;
      }
      const std::array<int64_t, 12>& r = read.value.StatX;
      if (out.page == 2) {
        out.value = ShortCount(r[0]);
      } else if (const int64_t games = r[2] + r[3]; games > 0) {
        // The share of matches the computer won: R3 counts people's wins, R4 their losses.
        out.value = std::to_string(PerHundred(r[3], games));
      }
      break;
    }
    case 3:
      out.icon = "Windows";
      out.hintEntry = kWordBestWindowsPlayer;
      ReadBest(client, kWindowsTableId, out);
      break;
    case 4:
      out.icon = "Android";
      out.hintEntry = kWordBestAndroidPlayer;
      ReadBest(client, kAndroidTableId, out);
      break;
    case 5:
      out.icon = "Account48";
      out.hintEntry = kWordBestAccountPlayer;
      ReadBest(client, kAccountTableId, out);
      break;
    case 6: {
      out.icon = "GQors128";
      out.hintEntry = kWordQors;
      const WebRead<int64_t> read = client.WebReadQors(nick);
      if (read.ok)
        out.value = std::to_string(read.value);
      else
        out.failed = true;
      break;
    }
    default: {
      out.icon = "Account48";
      out.hintEntry = kWordClubMembers;
      const WebRead<int64_t> read = client.WebClubMembers();
      if (read.ok && read.value >= 0)
        out.value = std::to_string(read.value);
      else
        out.failed = true;
      break;
    }
  }
  return out;
}

std::string InformationHint(const InformationPage& page,
                            const std::function<std::string(int entry)>& word) {
  std::string hint = word(page.hintEntry) + Cp1251ToUtf8(page.nick);
  if (page.empty) hint += word(kWordNoRecords);
  if (page.failed) {
    // Pages 1 and 2 end without a colon, 6 and 7 with a word; 3..5 end in ": " already.
    if (page.page <= 2)
      hint += ": ";
    else if (page.page >= 6 && !hint.empty() && hint.back() != ' ')
      hint += " ";
    hint += word(kWordNoConnectHint);
  }
  return hint;
}

}  // namespace trilane::web

#include "program/world_reads.h"

#include "program/club_access.h"
#include "records/settings.h"
#include "words/word_entries.h"

namespace trilane {
namespace {

std::string TrimmedRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

WorldList RecordsList(const web::WebRead<web::RecordList>& read) {
  WorldList list;
  list.failed = !read.ok;
  if (read.ok) list.rows = RecordRows(read.value);
  return list;
}

}  // namespace

WorldIdentity PassportOf(const TSettings& settings) {
  return {settings.TopTenNick, settings.TopTenCity, settings.TopTenCountry, settings.TopTenSex};
}

std::vector<WorldRow> RecordRows(const web::RecordList& records) {
  std::vector<WorldRow> rows;
  for (const web::TQorRecord& record : records) {
    if (web::IsEmptyNick(record.Nick)) continue;
    rows.push_back({record.Place, record.Country, record.R07, record.Nick, record.City,
                    std::to_string(record.Score)});
  }
  return rows;
}

WorldCategoryRead ReadWorldCategory(web::WebClient& client, WorldCategory category, char onlineList,
                                    const std::optional<WorldIdentity>& own, const ClubFile* club) {
  WorldCategoryRead read;
  read.category = category;
  switch (category) {
    case WorldCategory::kAccountRating: {
      const auto top = client.WebReadTopTen();
      read.list.failed = !top.ok;
      if (!top.ok) break;
      int place = 0;
      for (const web::TQorTop10& entry : top.value) {
        ++place;
        if (web::IsEmptyNick(entry.Nick)) continue;
        read.list.rows.push_back({place, entry.Country, std::string(1, entry.Sex), entry.Nick,
                                  entry.City, RatingText(entry.Rating)});
      }
      break;
    }
    case WorldCategory::kAccountCycles:
    case WorldCategory::kWindowsCycles:
    case WorldCategory::kAndroidCycles: {
      const int64_t table = *CategoryTable(category);
      read.list = RecordsList(client.WebReadRecords(table));
      read.hasOwn = true;
      const auto count = client.WebRecordCount(table);
      if (count.ok) read.count = count.value;
      if (own) {
        read.own = RecordsList(client.WebReadMyRecords(table, own->nick, own->city));
      } else {
        read.own.failed = !count.ok;
      }
      break;
    }
    case WorldCategory::kOnline:
      read.list = RecordsList(client.WebReadOnlineTop(onlineList));
      break;
    case WorldCategory::kLocal:
    case WorldCategory::kNet: {
      // The club file in use; an unreadable one shows nothing rather than "No Connect".
      if (!club) break;
      int place = 0;
      for (const TopTenRow& row : TopTenRows(*club)) {
        ++place;
        read.list.rows.push_back(
            {place, {}, {}, TrimmedRight(row.name), {}, std::to_string(row.score)});
      }
      break;
    }
  }
  return read;
}

OnlineTopRead ReadOnlineTop(web::WebClient& client, char list, std::optional<int64_t> ownValue) {
  OnlineTopRead read;
  read.list = RecordsList(client.WebReadOnlineTop(list));
  if (ownValue) {
    const auto place = client.WebOnlinePlace(list, kTourneyGameId, *ownValue);
    if (place.ok && place.value > 0) read.ownPlace = place.value;
  }
  return read;
}

StatisticsRead ReadStatistics(web::WebClient& client) {
  const auto stats = client.WebReadStats();
  StatisticsRead read;
  read.failed = !stats.ok;
  const web::TQorStat& s = stats.value;
  auto number = [&](int64_t v) { return stats.ok ? std::to_string(v) : std::string(); };
  read.rows = {{kWordNumberOfStarts, number(s.Stat1)},
               {kWordNumberOfUniqueStarts, number(s.Stat2)},
               {kWordLikes, number(s.Stat3)},
               {kWordLastLike, stats.ok ? s.Stat4 : std::string()},
               {kWordStatGamesWithPc, number(s.StatX[0])},
               {kWordStatCyclesWithPc, number(s.StatX[1])},
               {kWordStatPeopleWins, number(s.StatX[2])},
               {kWordStatPeopleLosses, number(s.StatX[3])},
               {kWordStatGamesNet, number(s.StatX[4])},
               {kWordStatGamesOnline, number(s.StatX[5])}};
  return read;
}

}  // namespace trilane

#pragma once
// The world windows' reads, without drawing: each category of the world top ten, the online
// top ten with the player's own place, the statistics rows and the message board, as rows
// of texts the windows draw. Texts are code-page-1251 bytes as the service sent them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "program/world_rules.h"
#include "web/calls.h"

namespace trilane {

struct ClubFile;
struct TSettings;

// Who a world table entry or a board message is written as (code-page-1251 texts).
struct WorldIdentity {
  std::string nick;
  std::string city;
  std::string country;  // "C-RRR"
  std::string sex;      // "M" or "W"
  bool operator==(const WorldIdentity&) const = default;
};

// The passport of the settings: the identity used without an account.
WorldIdentity PassportOf(const TSettings& settings);

// One row of a world list: "n.", flag, sex picture, nick, city, value.
struct WorldRow {
  int64_t place = 0;
  std::string country;  // "C-RRR" (a flag), or empty for none
  std::string sex;      // "M" shows the man, anything else the woman; empty for none
  std::string nick;
  std::string city;
  std::string value;
  bool operator==(const WorldRow&) const = default;
};

struct WorldList {
  bool failed = false;  // "No Connect" instead of the rows
  std::vector<WorldRow> rows;
};

struct WorldCategoryRead {
  WorldCategory category = WorldCategory::kWindowsCycles;
  WorldList list;  // the upper picture
  // The lower picture of B, C and D: the table's count and the player's own entries.
  bool hasOwn = false;
  std::optional<int64_t> count;  // nothing: the count could not be read
  WorldList own;
};

// Reads one category. `onlineList` is the selector of E ('s', 'r', 'k'); `own` the identity
// whose entries B, C and D show (nothing: none); `club` the club file of F or G.
WorldCategoryRead ReadWorldCategory(web::WebClient& client, WorldCategory category, char onlineList,
                                    const std::optional<WorldIdentity>& own, const ClubFile* club);

// The rows of a records list, empty entries skipped.
std::vector<WorldRow> RecordRows(const web::RecordList& records);

// The online top ten and the player's own place in the list chosen.
struct OnlineTopRead {
  WorldList list;
  std::optional<int64_t> ownPlace;  // nothing: not read
};
OnlineTopRead ReadOnlineTop(web::WebClient& client, char list, std::optional<int64_t> ownValue);

// The ten rows of the statistics window: words entry and value. A failed read leaves the
// values empty; the window writes "No Connect" in the first.
struct StatisticsRead {
  bool failed = false;
  std::vector<std::pair<int, std::string>> rows;
};
StatisticsRead ReadStatistics(web::WebClient& client);

}  // namespace trilane

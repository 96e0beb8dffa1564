#pragma once
// The call table of the web service: every call builds its form, posts it through the one
// request pattern and reads its reply with one of the grammars. A call never throws and never
// shows a message: it returns its success flag and, on failure, its failure value; messages
// and retries belong to the callers.
//
// The parsers are pure functions of the reply text, so tests and fuzzers drive them without a
// network; WebClient joins them to a transport.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "web/http_transport.h"
#include "web/request.h"
#include "web/service_addresses.h"
#include "rules/game.h"
#include "web/web_records.h"

namespace trilane::web {

// The prefix of the per-game keys the account script keeps for each of the maker's games.
inline constexpr char kGameLabel[] = "crdtrilane";
// The version text every world-table entry carries.
inline constexpr char kProgramVersion[] = "5.7f";

// A read's flag and what it read; on failure the value holds what was read before the fault.
template <typename T>
struct WebRead {
  bool ok = false;
  T value{};
};

using TopTenList = std::array<TQorTop10, 10>;
using RecordList = std::array<TQorRecord, 10>;
using TableList = std::array<TQorTable_4, 10>;

// WebRegisterUser and WebTakeSeat answer with one of three outcomes.
enum class RegisterResult { kCreated = 0, kNickTaken = 1, kFailed = 2 };
enum class SeatResult { kTaken = 0, kFailed = 1, kAlreadyHeld = 2 };

struct ServerInfo {
  char state = 'X';  // 'Y': the tournament server is on
  std::string text;  // the welcome line, "_" for blanks
  bool operator==(const ServerInfo&) const = default;
};

// A player's tournament figures (WebReadRating): total score, games and rating.
struct OnlineRating {
  int64_t Score = -1;
  int64_t Kon = 0;
  int64_t Rating = 0;
  bool operator==(const OnlineRating&) const = default;
};

// --- Replies, pure. Each returns the call's flag and fills what it read. ---
RegisterResult ParseRegisterReply(std::string_view reply);
SeatResult ParseTakeSeatReply(std::string_view reply);
bool ParseUserReply(std::string_view reply, TQorUser& user);
bool ParseTopTenReply(std::string_view reply, TopTenList& list);
bool ParseQorsReply(std::string_view reply, int64_t& balance);
bool ParseInfoReply(std::string_view reply, TInfo14& info);
bool ParseBestReply(std::string_view reply, TQorGame& game);
bool ParseRecordsReply(std::string_view reply, int64_t gid, RecordList& list);
bool ParseOnlineTopReply(std::string_view reply, int64_t gid, RecordList& list);
bool ParseTablesReply(std::string_view reply, TableList& tables);
bool ParseSeatReply(std::string_view reply, TQorClient& client);
bool ParseServerInfoReply(std::string_view reply, ServerInfo& info);
bool ParseOnlineRatingReply(std::string_view reply, OnlineRating& rating);
bool ParseStatsReply(std::string_view reply, TQorStat& stat);

// The record a read starts from.
TQorUser ResetUser(std::string nick, std::string pw);
TQorGame ResetBest(TQorGame game);
TQorRecord EmptyRecord(int64_t gid);

// The free-seat record sent when a seat is given up.
TQorClient FreeSeat();

class WebClient {
 public:
  // Before the first records, statistics or table read: a bound of our own, so that no web
  // call can hold the window indefinitely. Those reads set 3000 ms, which then stays.
  static constexpr std::chrono::milliseconds kDefaultReadTimeout{15000};
  static constexpr std::chrono::milliseconds kRecordsReadTimeout{3000};

  WebClient(HttpTransport& transport, ServiceAddresses addresses)
      : transport_(transport), addresses_(std::move(addresses)) {}

  const ServiceAddresses& Addresses() const { return addresses_; }
  void SetAddresses(ServiceAddresses addresses) { addresses_ = std::move(addresses); }

  // The read time-out of the next call, and the one the records reads switch to.
  std::chrono::milliseconds ReadTimeout() const { return readTimeout_; }
  void SetReadTimeout(std::chrono::milliseconds timeout) { readTimeout_ = timeout; }
  void SetRecordsReadTimeout(std::chrono::milliseconds timeout) { recordsTimeout_ = timeout; }

  // The text of the last reply received (the tournament window shows the table list's).
  const std::string& LastReply() const { return lastReply_; }

  // --- Account script ---
  RegisterResult WebRegisterUser(const TQorUser& user);
  WebRead<TQorUser> WebReadUser(const std::string& nick, const std::string& pw);
  WebRead<TopTenList> WebReadTopTen();
  WebRead<int64_t> WebRatingPlace(double rating);  // -1 on failure
  WebRead<int64_t> WebClubMembers();               // -1 on failure
  WebRead<int64_t> WebReadQors(const std::string& nick);
  bool WebSaveQors(const std::string& nick, int64_t amount);
  WebRead<TInfo14> WebReadInfo(const std::string& nick);
  bool WebSaveInfo(const std::string& nick, const TInfo14& info);
  // `previous` keeps the fields the read does not reset (Best, KonL, Place).
  WebRead<TQorGame> WebReadBest(const std::string& nick, const std::string& pw,
                                const TQorGame& previous = {});
  bool WebSaveBest(const std::string& nick, const std::string& pw, const TQorGame& game);

  // --- World-top-ten script (also the message board, id 100) ---
  WebRead<int64_t> WebRecordCount(int64_t rgid);
  WebRead<RecordList> WebReadRecords(int64_t gid);
  WebRead<RecordList> WebReadMyRecords(int64_t gid, const std::string& nick,
                                       const std::string& city);
  // The place reached, -1 on failure. `r10` is sent followed by "*".
  WebRead<int64_t> WebSaveRecord(int64_t gid, const std::string& nick, const std::string& city,
                                 const std::string& country, int64_t score, const std::string& r7,
                                 const std::string& r9, const std::string& r10);

  // --- Tournament script ---
  WebRead<TableList> WebReadTables(int64_t gid = kTourneyGameId);
  // `tableSize` is "3", "4" or empty; `can` 1 takes the seat, 0 and 2 give it up.
  SeatResult WebTakeSeat(std::string_view tableSize, int64_t gid, int table, int can,
                         const TQorClient& client, int seat);
  WebRead<TQorClient> WebReadSeat(int seat, int64_t gid, int table);
  WebRead<ServerInfo> WebReadServerInfo(int64_t gid = kTourneyGameId);
  WebRead<OnlineRating> WebReadRating(int64_t gid, const std::string& nick);
  // `list` is 's' score, 'r' rating or 'k' games.
  WebRead<RecordList> WebReadOnlineTop(char list, int64_t gid = kTourneyGameId);
  WebRead<int64_t> WebOnlinePlace(char list, int64_t gid, int64_t value);  // -1 on failure

  // --- Statistics script ---
  WebRead<TQorStat> WebReadStats(int64_t gid = kWindowsTableId);
  bool WebCountStart(int64_t gid, int64_t stat1, int64_t stat2);
  bool WebLike(int64_t gid, int64_t stat3, const std::string& stat4);
  bool WebSaveGameStats(int64_t gid, const std::array<int64_t, 12>& counters);

  // --- Plain fetches and the photo upload ---
  // The account photo (JPEG bytes) of a nick; nothing when it cannot be fetched.
  std::optional<std::string> WebLoadAvatar(const std::string& nick);
  bool UploadPhoto(const std::string& nick, std::string_view jpeg);
  // This machine's address as the service sees it (direct play's "own outside address").
  std::optional<std::string> WebOwnAddress();
  // An add-on library from the service's download folder.
  std::optional<std::string> DownloadAddon(const std::string& fileName);

 private:
  enum class Timeout { kKeep, kRecords };
  std::optional<std::string> Post(const std::string& script, const Form& form, FormVariant variant,
                                  Timeout timeout = Timeout::kKeep);
  std::optional<std::string> Get(const std::string& url);

  HttpTransport& transport_;
  ServiceAddresses addresses_;
  std::chrono::milliseconds readTimeout_ = kDefaultReadTimeout;
  std::chrono::milliseconds recordsTimeout_ = kRecordsReadTimeout;
  std::string lastReply_;
};

// A nick as one segment of a URL path.
std::string UrlPathSegment(std::string_view cp1251);

}  // namespace trilane::web

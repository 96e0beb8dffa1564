// Any reply bytes through every grammar and every call parser: nothing may crash, hang or read
// out of bounds. And the reals the program writes read back as the same numbers: the bytes
// also give a double (their first eight) and the number the reply reads as, and each of them
// goes through WebFloat and ParseWebFloat.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "web/calls.h"
#include "web/replies.h"
#include "web/service_addresses.h"

namespace {

[[noreturn]] void Fail(const char* what, double value, const std::string& text) {
  std::fprintf(stderr, "%s: %.17g printed as \"%s\"\n", what, value, text.c_str());
  std::abort();
}

// WebFloat keeps 15 significant digits (more where it has to write a huge number out in full),
// sends what is too small to matter as "0" and never writes an exponent; ParseWebFloat reads
// that back to the nearest double, and printing the read number again gives the same text.
void CheckRoundTrip(double value) {
  using namespace trilane::web;
  const std::string text = WebFloat(value);
  if (text.find_first_not_of("-0123456789.") != std::string::npos) {
    Fail("not a plain decimal", value, text);
  }
  const std::optional<double> back = ParseWebFloat(text);
  if (!back) Fail("does not read back", value, text);
  if (!std::isfinite(value) || std::fabs(value) < 0.00001) {
    if (*back != 0) Fail("should be sent as 0", value, text);
    return;
  }
  // Rounding to 15 significant digits moves a number by at most half a unit in its 15th
  // digit: 5e-15 of its size, a little more for the leading digit 1 and the final rounding.
  if (std::fabs(*back - value) > std::fabs(value) * 1e-14) Fail("moved", value, text);
  if (WebFloat(*back) != text) Fail("prints differently when read back", value, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trilane::web;
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckRoundTrip(value);
  }
  if (const auto read = ParseWebFloat(reply)) CheckRoundTrip(*read);
  FindMarker(reply, "ok");
  ReadDollarNumber(reply);
  ReadDollarFields(reply, '$', ' ');
  ReadDollarFields(reply, '$', '~');
  ReadDollarFieldList(reply, '*', ' ');
  ReadOkAfterDollar(reply);
  ParseStrictInt(reply);

  ParseRegisterReply(reply);
  ParseTakeSeatReply(reply);
  TQorUser user;
  ParseUserReply(reply, user);
  TopTenList top;
  ParseTopTenReply(reply, top);
  int64_t balance = 0;
  ParseQorsReply(reply, balance);
  TInfo14 info;
  ParseInfoReply(reply, info);
  TQorGame game;
  ParseBestReply(reply, game);
  RecordList records;
  ParseRecordsReply(reply, 814, records);
  ParseOnlineTopReply(reply, 94, records);
  TableList tables;
  ParseTablesReply(reply, tables);
  TQorClient client;
  ParseSeatReply(reply, client);
  ServerInfo server;
  ParseServerInfoReply(reply, server);
  OnlineRating rating;
  ParseOnlineRatingReply(reply, rating);
  TQorStat stat;
  ParseStatsReply(reply, stat);

  ServiceAddresses addresses = BuiltInAddresses();
  ApplyServiceDirectory(addresses, reply);
  ServiceOrigin(reply);
  ParseFtpAddress(reply);
  return 0;
}

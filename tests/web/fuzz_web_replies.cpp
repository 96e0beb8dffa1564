// Any reply bytes through every grammar and every call parser: nothing may crash, hang or read
// out of bounds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "web/calls.h"
#include "web/replies.h"
#include "web/service_addresses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trilane::web;
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  FindMarker(reply, "ok");
  ReadDollarNumber(reply);
  ReadDollarFields(reply, '$', ' ');
  ReadDollarFields(reply, '$', '~');
  ReadDollarFieldList(reply, '*', ' ');
  ReadOkAfterDollar(reply);
  ParseWebFloat(reply);
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

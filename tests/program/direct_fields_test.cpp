// The checks of the player window's network fields: the address to join, the port, and the
// lines of this machine's own addresses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/direct_fields.h"

namespace trilane {
namespace {

TEST(NetworkFieldChecks, AddressesToJoin) {
  struct Case {
    const char* address;
    bool ok;
  };
  const Case cases[] = {
      {"127.0.0.1", true},
      {"192.168.100.254", true},
      {"999.999.999.999", true},
      {"1.2.3", false},
      {"1.2.3.4.5", false},
      {"1..2.3", false},
      {".1.2.3", false},
      {"1.2.3.", false},
      {"1.2.3.4444", false},
      {"", false},
      {"...", false},
      {"1.2.3.a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckNetFields(true, c.address, "25666") == NetFieldFault::kNone, c.ok) << c.address;
  }
  // A host needs no address at all.
  EXPECT_EQ(CheckNetFields(false, "", "25666"), NetFieldFault::kNone);
}

TEST(NetworkFieldChecks, Ports) {
  struct Case {
    const char* port;
    NetFieldFault fault;
    uint16_t value;
  };
  const Case cases[] = {
      {"25666", NetFieldFault::kNone, 25666},
      {"1", NetFieldFault::kNone, 1},
      {"65535", NetFieldFault::kNone, 65535},
      {"", NetFieldFault::kIncorrectPort, 0},
      {"0", NetFieldFault::kIncorrectPort, 0},
      {"65536", NetFieldFault::kIncorrectPort, 0},
      // Taken as they stand these would wrap round to some other port.
      {"91202", NetFieldFault::kIncorrectPort, 0},
      {"25a", NetFieldFault::kIncorrectPort, 0},
  };
  for (const Case& c : cases) {
    NetChoice choice;
    EXPECT_EQ(CheckNetFields(false, "", c.port, &choice), c.fault) << c.port;
    if (c.fault == NetFieldFault::kNone) {
      EXPECT_EQ(choice.port, c.value) << c.port;
    }
  }
  // The address is checked first.
  EXPECT_EQ(CheckNetFields(true, "1.2.3", ""), NetFieldFault::kIncorrectAddress);
}

TEST(NetworkFieldChecks, OwnAddressLinesKeepRoomForOutsideAndLoopback) {
  const std::vector<std::string> many = {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4",
                                         "10.0.0.5", "10.0.0.6", "10.0.0.7"};
  const auto withOutside = OwnAddressLines(many, std::string("203.0.113.9"), "http://home");
  ASSERT_EQ(withOutside.size(), static_cast<size_t>(kOwnAddressFields));
  EXPECT_EQ(withOutside[3].address, "10.0.0.4");
  EXPECT_EQ(withOutside[4].address, "203.0.113.9");
  EXPECT_EQ(withOutside[4].hint, "http://home");
  EXPECT_EQ(withOutside[5].address, "127.0.0.1");
  EXPECT_EQ(withOutside[5].hint, "Loop");

  // A failed echo leaves its line out.
  const auto withoutOutside = OwnAddressLines({"10.0.0.1"}, std::nullopt, "http://home");
  ASSERT_EQ(withoutOutside.size(), 2u);
  EXPECT_EQ(withoutOutside[0].address, "10.0.0.1");
  EXPECT_EQ(withoutOutside[1].address, "127.0.0.1");
}

}  // namespace
}  // namespace trilane

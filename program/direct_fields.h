#pragma once
// The checks of the player window's network fields: what typing may put into the address
// and port fields, the address to join and the port, and the lines of this machine's own
// addresses. Plain functions, so they can be tried without a window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trilane {

inline constexpr char kDefaultDirectPort[] = "25666";
inline constexpr char kLoopbackAddress[] = "127.0.0.1";
// How many of this machine's addresses the player window can show.
inline constexpr int kOwnAddressFields = 6;

// The address field admits digits and points only; the port field digits only. A typed
// text that breaks the rule puts the last accepted text back.
bool AddressTextAllowed(std::string_view text);
bool PortTextAllowed(std::string_view text);

// An address to join: exactly three points cutting it into four groups of one to three
// characters. The value of a group is not looked at ("999" passes).
bool AddressFormatOk(std::string_view text);

enum class NetFieldFault { kNone, kIncorrectAddress, kIncorrectPort };

struct NetChoice {
  bool joining = false;
  std::string address;  // joining only
  uint16_t port = 0;
};

// The checks of the window's OK: the address when joining, then the port. A port must be
// a number the sockets can use (1..65535); an empty one or one out of range is refused
// with the same message, rather than wrapping around to some other port.
NetFieldFault CheckNetFields(bool joining, std::string_view address, std::string_view port,
                             NetChoice* choice = nullptr);

// This machine's own addresses for the player window: the IPv4 addresses of its
// interfaces, then the address the web service sees (when it could be had), then the
// loopback address. The interfaces give way so that the last two always have a field.
struct OwnAddress {
  std::string address;
  std::string hint;  // the web service's home for the outside address, "Loop" for loopback
};
std::vector<OwnAddress> OwnAddressLines(const std::vector<std::string>& interfaces,
                                        const std::optional<std::string>& outside,
                                        const std::string& serviceHome);

}  // namespace trilane

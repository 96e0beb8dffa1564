#include "program/direct_fields.h"

#include <algorithm>
#include <charconv>

namespace trilane {

bool AddressTextAllowed(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

bool PortTextAllowed(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AddressFormatOk(std::string_view text) {
  if (std::count(text.begin(), text.end(), '.') != 3) return false;
  size_t start = 0;
  for (int group = 0; group < 4; ++group) {
    size_t end = text.find('.', start);
    if (end == std::string_view::npos) end = text.size();
    const size_t length = end - start;
    if (length < 1 || length > 3) return false;
    start = end + 1;
  }
  return true;
}

NetFieldFault CheckNetFields(bool joining, std::string_view address, std::string_view port,
                             NetChoice* choice) {
  if (joining && (!AddressTextAllowed(address) || !AddressFormatOk(address))) {
    return NetFieldFault::kIncorrectAddress;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (port.empty() || !PortTextAllowed(port) || error != std::errc() ||
      end != port.data() + port.size() || value < 1 || value > 65535) {
    return NetFieldFault::kIncorrectPort;
  }
  if (choice != nullptr) {
    choice->joining = joining;
    choice->address = joining ? std::string(address) : std::string();
    choice->port = static_cast<uint16_t>(value);
  }
  return NetFieldFault::kNone;
}

std::vector<OwnAddress> OwnAddressLines(const std::vector<std::string>& interfaces,
                                        const std::optional<std::string>& outside,
                                        const std::string& serviceHome) {
  std::vector<OwnAddress> lines;
  const int trailing = outside ? 2 : 1;
  const int room = kOwnAddressFields - trailing;
  for (const std::string& address : interfaces) {
    if (static_cast<int>(lines.size()) >= room) break;
    lines.push_back({address, std::string()});
  }
  if (outside) lines.push_back({*outside, serviceHome});
  lines.push_back({kLoopbackAddress, "Loop"});
  return lines;
}

}  // namespace trilane

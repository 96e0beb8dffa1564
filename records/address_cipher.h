#pragma once
// The program keeps its web-service addresses enciphered: a keyed, reversible byte routine
// whose output is written as base64 text. Each group of addresses has its own 16-bit key.
// This hides the addresses from casual reading of the program and the settings file; it is
// not meant as protection against a determined reader.
//
// Built-in addresses point at the reference club service on this machine,
// http://127.0.0.1:8094/ (see records/README.md); the service directory may replace them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trilane {

// The key of the two addresses kept in the settings file (world top ten and statistics).
inline constexpr uint16_t kSettingsAddressKey = 0x5A3C;

inline constexpr char kReferenceServiceHost[] = "127.0.0.1";
inline constexpr int kReferenceServicePort = 8094;
inline constexpr char kDefaultWorldTopScript[] = "http://127.0.0.1:8094/scripts/worldtop";
inline constexpr char kDefaultStatsScript[] = "http://127.0.0.1:8094/scripts/stats";

std::string EncipherAddress(std::string_view plain, uint16_t key);
// Nothing when the text is not valid base64.
std::optional<std::string> DecipherAddress(std::string_view enciphered, uint16_t key);

}  // namespace trilane

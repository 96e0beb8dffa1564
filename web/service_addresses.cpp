#include "web/service_addresses.h"

#include <cstdlib>

#include "records/address_cipher.h"

namespace trilane::web {
namespace {

// The built-in photo upload of the reference service.
constexpr int kReferenceFtpPort = 2121;
constexpr char kReferenceFtpUser[] = "trilane";
constexpr char kReferenceFtpPassword[] = "photos";
constexpr char kReferenceFtpFolder[] = "/";

std::optional<std::string>& OverrideSlot() {
  static std::optional<std::string> slot;
  return slot;
}

bool LooksLikeHttpAddress(std::string_view text) {
  if (!(text.starts_with("http://") || text.starts_with("https://"))) return false;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= ' ' || u >= 0x7F) return false;
  }
  return ServiceOrigin(text).has_value();
}

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The host part of an authority "user:pw@host:port" without user and port.
std::string_view HostOf(std::string_view authority) {
  if (auto at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  if (authority.starts_with('[')) {
    const size_t close = authority.find(']');
    return close == std::string_view::npos ? std::string_view{} : authority.substr(1, close - 1);
  }
  return authority.substr(0, authority.find(':'));
}

}  // namespace

std::optional<std::string> ServiceOrigin(std::string_view url) {
  url = Trim(url);
  std::string scheme = "http";
  if (const size_t sep = url.find("://"); sep != std::string_view::npos) {
    scheme = std::string(url.substr(0, sep));
    url.remove_prefix(sep + 3);
  }
  const std::string_view authority = url.substr(0, url.find_first_of("/?#"));
  if (HostOf(authority).empty()) return std::nullopt;
  return scheme + "://" + std::string(authority);
}

std::optional<ServiceAddresses> AddressesUnder(std::string_view directoryUrl) {
  const auto origin = ServiceOrigin(directoryUrl);
  if (!origin) return std::nullopt;
  ServiceAddresses a;
  a.accountScript = *origin + "/scripts/account";
  a.statsScript = *origin + "/scripts/stats";
  a.worldTopScript = *origin + "/scripts/worldtop";
  a.tourneyScript = *origin + "/scripts/tourney";
  a.avatarFolder = *origin + "/photos/";
  a.addonFolder = *origin + "/downloads/progr/cards/";
  a.addressEcho = *origin + "/scripts/myip";
  std::string_view directory = Trim(directoryUrl);
  a.serviceDirectory = directory.find("://") == std::string_view::npos
                           ? "http://" + std::string(directory)
                           : std::string(directory);
  const std::string_view rest = std::string_view(*origin).substr(origin->find("://") + 3);
  a.photoUpload = {std::string(HostOf(rest)), kReferenceFtpPort, kReferenceFtpUser,
                   kReferenceFtpPassword, kReferenceFtpFolder};
  return a;
}

ServiceAddresses BuiltInAddresses() {
  ServiceAddresses a = *AddressesUnder(kDefaultServiceDirectory);
  a.worldTopScript = kDefaultWorldTopScript;
  a.statsScript = kDefaultStatsScript;
  return a;
}

std::optional<std::string> LookupDirectoryKey(std::string_view directory, std::string_view key) {
  const size_t at = directory.find(key);
  if (key.empty() || at == std::string_view::npos) return std::nullopt;
  // One separator character follows the name.
  const size_t begin = std::min(directory.size(), at + key.size() + 1);
  std::string_view value = directory.substr(begin);
  value = value.substr(0, value.find('#'));
  return std::string(Trim(value));
}

std::optional<std::string> DecipherScriptAddress(std::string_view enciphered, uint16_t key) {
  auto plain = DecipherAddress(Trim(enciphered), key);
  if (!plain || !LooksLikeHttpAddress(*plain)) return std::nullopt;
  return plain;
}

void ApplySettingsAddresses(ServiceAddresses& addresses, const TSettings& settings) {
  if (auto a = DecipherScriptAddress(settings.TopTenScriptPath, kSettingsAddressKey)) {
    addresses.worldTopScript = *a;
  }
  if (auto a = DecipherScriptAddress(settings.StatsScriptPath, kSettingsAddressKey)) {
    addresses.statsScript = *a;
  }
}

void ApplyServiceDirectory(ServiceAddresses& addresses, std::optional<std::string_view> directory) {
  if (!directory) return;  // a failed fetch keeps everything, both services available
  addresses.worldTopAvailable = directory->find("WTGamesPause") == std::string_view::npos;
  addresses.chatAvailable = directory->find("CTGamesPause") == std::string_view::npos;
  auto take = [&](std::string_view key, uint16_t cipherKey, std::string& address) {
    if (auto value = LookupDirectoryKey(*directory, key)) {
      // A value that does not decipher to an address would make every call fail: the
      // address in use is kept instead.
      if (auto plain = DecipherScriptAddress(*value, cipherKey)) address = *plain;
    }
  };
  if (addresses.worldTopAvailable)
    take("WTGamesPatt", kSettingsAddressKey, addresses.worldTopScript);
  take("StatPath", kSettingsAddressKey, addresses.statsScript);
  take("AccPath", kAccountAddressKey, addresses.accountScript);
}

std::optional<FtpAccount> ParseFtpAddress(std::string_view url) {
  url = Trim(url);
  if (!url.starts_with("ftp://")) return std::nullopt;
  url.remove_prefix(6);
  const size_t slash = url.find('/');
  std::string_view authority = url.substr(0, slash);
  FtpAccount account;
  account.folder = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    const std::string_view credentials = authority.substr(0, at);
    const size_t colon = credentials.find(':');
    account.user = std::string(credentials.substr(0, colon));
    if (colon != std::string_view::npos) account.password = credentials.substr(colon + 1);
    authority.remove_prefix(at + 1);
  }
  const size_t colon = authority.rfind(':');
  account.host = std::string(authority.substr(0, colon));
  if (colon != std::string_view::npos) {
    const std::string_view port = authority.substr(colon + 1);
    int value = 0;
    for (char c : port) {
      if (c < '0' || c > '9' || value > 65535) return std::nullopt;
      value = value * 10 + (c - '0');
    }
    if (port.empty() || value < 1 || value > 65535) return std::nullopt;
    account.port = value;
  }
  if (account.host.empty()) return std::nullopt;
  return account;
}

void SetServiceOverride(std::optional<std::string> directoryUrl) {
  OverrideSlot() = std::move(directoryUrl);
}

std::optional<std::string> ServiceOverride() {
  if (OverrideSlot() && !OverrideSlot()->empty()) return OverrideSlot();
  if (const char* env = std::getenv(kServiceEnvironment); env && *env) return std::string(env);
  return std::nullopt;
}

ServiceAddresses ChooseAddresses(HttpTransport& transport, const TSettings* settings,
                                 std::chrono::milliseconds readTimeout) {
  ServiceAddresses addresses = BuiltInAddresses();
  std::optional<ServiceAddresses> overridden;
  if (auto url = ServiceOverride()) overridden = AddressesUnder(*url);
  if (overridden) {
    addresses = *overridden;
  } else if (settings) {
    ApplySettingsAddresses(addresses, *settings);
  }
  if (const char* env = std::getenv(kPhotoUploadEnvironment); env && *env) {
    if (auto ftp = ParseFtpAddress(env)) addresses.photoUpload = *ftp;
  }
  HttpRequest request;
  request.url = addresses.serviceDirectory;
  request.readTimeout = readTimeout;
  const HttpReply reply = transport.Get(request);
  if (reply.ok) ApplyServiceDirectory(addresses, reply.body);
  return addresses;
}

}  // namespace trilane::web

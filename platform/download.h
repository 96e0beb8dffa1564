#pragma once
// Fetching one file over HTTP (libcurl, synchronous) into a local path.

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace trilane {

struct DownloadOptions {
  long connectTimeoutSeconds = 10;
  long totalTimeoutSeconds = 120;
  // Refuses larger replies; the add-on libraries are a few tens of megabytes.
  long long maxBytes = 512LL * 1024 * 1024;
};

struct DownloadResult {
  bool ok = false;
  std::string error;  // curl's or our reason, for logs and tests; never shown as is
};

// Downloads `url` to `target`: the reply goes to a temporary file beside the target and
// replaces it only when complete and successful (HTTP status 2xx), so a failed or partial
// download never leaves a broken file behind and never destroys an existing one.
// `accept`, when given, checks the complete reply before anything is written.
using DownloadCheck = std::function<bool(std::span<const uint8_t>)>;
DownloadResult DownloadFile(const std::string& url, const QString& target,
                            const DownloadOptions& options = {}, const DownloadCheck& accept = {});

}  // namespace trilane

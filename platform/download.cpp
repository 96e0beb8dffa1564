#include "platform/download.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QSaveFile>
#include <mutex>

namespace trilane {

namespace {

struct Sink {
  QByteArray data;
  long long limit = 0;
};

size_t Write(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t bytes = size * count;
  if (static_cast<long long>(sink->data.size()) + static_cast<long long>(bytes) > sink->limit) {
    return 0;  // curl stops with a write error
  }
  sink->data.append(data, static_cast<qsizetype>(bytes));
  return bytes;
}

}  // namespace

DownloadResult DownloadFile(const std::string& url, const QString& target,
                            const DownloadOptions& options, const DownloadCheck& accept) {
  static std::once_flag init;
  std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  DownloadResult result;
  CURL* curl = curl_easy_init();
  if (!curl) {
    result.error = "curl_easy_init failed";
    return result;
  }
  Sink sink{{}, options.maxBytes};
  char message[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);  // 4xx and 5xx are failures
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Write);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  if (code != CURLE_OK) {
    result.error = message[0] ? message : curl_easy_strerror(code);
    return result;
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(sink.data.constData()),
                                       static_cast<size_t>(sink.data.size()));
  if (accept && !accept(bytes)) {
    result.error = "the reply is not the expected file";
    return result;
  }
  // Written beside the target and renamed over it, so an existing file survives a failure.
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly) || file.write(sink.data) != sink.data.size() ||
      !file.commit()) {
    result.error = "cannot write " + target.toStdString();
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace trilane

#include "web/curl_transport.h"

#include <curl/curl.h>

#include <chrono>
#include <mutex>

namespace trilane::web {
namespace {

using Clock = std::chrono::steady_clock;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The state of one exchange, seen by the callbacks.
struct Exchange {
  std::string body;
  std::string_view upload;
  size_t uploaded = 0;
  std::chrono::milliseconds readTimeout{0};
  Clock::time_point lastActivity = Clock::now();
  curl_off_t lastDown = 0;
  curl_off_t lastUp = 0;
  bool timedOut = false;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
  auto* ex = static_cast<Exchange*>(user);
  ex->body.append(data, size * count);
  ex->lastActivity = Clock::now();
  return size * count;
}

size_t OnUpload(char* buffer, size_t size, size_t count, void* user) {
  auto* ex = static_cast<Exchange*>(user);
  const size_t n = std::min(size * count, ex->upload.size() - ex->uploaded);
  ex->upload.copy(buffer, n, ex->uploaded);
  ex->uploaded += n;
  return n;
}

// Called while the exchange runs (at least once a second): ends it when no data has moved for
// the read time-out. Until the connection stands, the connect time-out alone applies.
int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto* ex = static_cast<Exchange*>(user);
  const auto now = Clock::now();
  if (down != ex->lastDown || up != ex->lastUp) {
    ex->lastDown = down;
    ex->lastUp = up;
    ex->lastActivity = now;
  }
  if (ex->readTimeout.count() > 0 && now - ex->lastActivity > ex->readTimeout) {
    ex->timedOut = true;
    return 1;
  }
  return 0;
}

}  // namespace

struct CurlTransport::Handle {
  CURL* curl = nullptr;
};

CurlTransport::CurlTransport() : handle_(std::make_unique<Handle>()) {
  GlobalInit();
  handle_->curl = curl_easy_init();
  // Cookies live on the handle for the life of the transport; an empty file name switches
  // the engine on without reading a file.
  if (handle_->curl) curl_easy_setopt(handle_->curl, CURLOPT_COOKIEFILE, "");
}

void CurlTransport::SetLocalAddress(const std::string& address) {
  if (!handle_->curl) return;
  const std::string source = "host!" + address;
  curl_easy_setopt(handle_->curl, CURLOPT_INTERFACE, address.empty() ? nullptr : source.c_str());
}

CurlTransport::~CurlTransport() {
  if (handle_->curl) curl_easy_cleanup(handle_->curl);
}

namespace {

enum class Method { kGet, kPost };

HttpReply Perform(CURL* curl, Exchange& ex, const std::string& url) {
  HttpReply reply;
  if (!curl) {
    reply.error = "no HTTP client";
    return reply;
  }
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(CurlTransport::kConnectTimeout.count()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &ex);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &ex);
  // The call's whole limit; a call without a read time-out keeps libcurl's "no limit".
  const long overall =
      ex.readTimeout.count() > 0
          ? static_cast<long>((ex.readTimeout + CurlTransport::kOverallMargin).count())
          : 0L;
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, overall);
  const Clock::time_point start = Clock::now();
  ex.lastActivity = start;
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  reply.status = status;
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  if (code != CURLE_OK) {
    if (ex.timedOut) {
      reply.error = "no reply within the read time-out";
    } else if (code == CURLE_OPERATION_TIMEDOUT && overall > 0 &&
               Clock::now() - start >= std::chrono::milliseconds(overall)) {
      reply.error = "the reply took longer than the call may last";
    } else {
      reply.error = errorText[0] ? std::string(errorText) : curl_easy_strerror(code);
    }
    return reply;
  }
  reply.body = std::move(ex.body);
  return reply;
}

// The HTTP handle is never reset (that would drop the cookie engine): every option a call
// depends on is set again before each call.
HttpReply PerformHttp(CURL* curl, const HttpRequest& request, Method method) {
  if (!curl) return {false, 0, {}, "no HTTP client"};
  Exchange ex;
  ex.readTimeout = request.readTimeout;
  curl_slist* headers = nullptr;
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  if (method == Method::kPost) {
    for (const std::string& h : request.headers) headers = curl_slist_append(headers, h.c_str());
    // No "Expect: 100-continue" pause before the body.
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
  HttpReply reply = Perform(curl, ex, request.url);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
  curl_slist_free_all(headers);
  if (reply.error.empty() && (reply.status < 200 || reply.status > 299)) {
    reply.error = "HTTP status " + std::to_string(reply.status);
    reply.body.clear();
  }
  reply.ok = reply.error.empty();
  return reply;
}

}  // namespace

HttpReply CurlTransport::Post(const HttpRequest& request) {
  return PerformHttp(handle_->curl, request, Method::kPost);
}

HttpReply CurlTransport::Get(const HttpRequest& request) {
  return PerformHttp(handle_->curl, request, Method::kGet);
}

HttpReply CurlTransport::UploadFtp(const FtpAccount& account, const std::string& fileName,
                                   std::string_view bytes, std::chrono::milliseconds readTimeout) {
  // A handle of its own, so nothing of the upload stays on the HTTP handle.
  std::unique_ptr<CURL, void (*)(CURL*)> handle(curl_easy_init(), curl_easy_cleanup);
  CURL* curl = handle.get();
  if (!curl) return {false, 0, {}, "no FTP client"};
  Exchange ex;
  ex.readTimeout = readTimeout;
  ex.upload = bytes;
  std::string folder = account.folder;
  if (folder.empty() || folder.front() != '/') folder.insert(folder.begin(), '/');
  if (folder.back() != '/') folder += '/';
  char* escaped = curl_easy_escape(curl, fileName.data(), static_cast<int>(fileName.size()));
  const std::string url = "ftp://" + account.host + ":" + std::to_string(account.port) + folder +
                          (escaped ? escaped : "");
  curl_free(escaped);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERNAME, account.user.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
  curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);  // plain passive mode
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, OnUpload);
  curl_easy_setopt(curl, CURLOPT_READDATA, &ex);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
  HttpReply reply = Perform(curl, ex, url);
  reply.ok = reply.error.empty() && ex.uploaded == bytes.size();
  if (reply.error.empty() && !reply.ok) reply.error = "upload cut short";
  return reply;
}

}  // namespace trilane::web

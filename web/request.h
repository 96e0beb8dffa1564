#pragma once
// The one request pattern of every web call: a form posted to a script, marked with the
// access token, answered by a short plain-text reply. Building the request is pure, so the
// bytes the service receives can be compared exactly.

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trilane::web {

// The access token every post to a script carries as its User-Agent; the HTTP library's own
// agent is never sent to the scripts.
inline constexpr char kAccessToken[] = "MosaicTurnKey";
inline constexpr char kFormContentType[] = "application/x-www-form-urlencoded";
inline constexpr char kAccept[] = "text/html, */*";

// Key and value as code-page-1251 bytes.
using FormPair = std::pair<std::string, std::string>;
using Form = std::vector<FormPair>;

enum class FormVariant {
  // key=value&key=value as raw code-page-1251 bytes; nothing is escaped, so a value holding
  // "&" or "=" reaches the service as it stands.
  kPostForm,
  // Each key and value form-encoded from UTF-8, pairs joined by "&&": the service has always
  // received an empty field between two pairs, and its scripts are written for that.
  kPostFields,
};

std::string BuildPostForm(const Form& form);
std::string BuildPostFields(const Form& form);
std::string BuildBody(const Form& form, FormVariant variant);

// Form encoding of one name or value: ASCII letters, digits and "*-._" kept, a space as "+",
// every other byte of the UTF-8 form as "%XX". The input is code-page-1251 bytes.
std::string FormEncode(std::string_view cp1251);

// What a transport is asked to do. Headers are whole lines without the line end.
struct HttpRequest {
  std::string url;
  std::vector<std::string> headers;
  std::string body;
  std::chrono::milliseconds readTimeout{0};
};

// The request of a script call: the token, the form content type and the accept list.
HttpRequest ScriptRequest(std::string url, const Form& form, FormVariant variant,
                          std::chrono::milliseconds readTimeout);

}  // namespace trilane::web

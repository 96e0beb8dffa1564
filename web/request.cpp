#include "web/request.h"

#include "base/codepage.h"

namespace trilane::web {

std::string BuildPostForm(const Form& form) {
  std::string body;
  for (const auto& [key, value] : form) {
    if (!body.empty()) body += '&';
    body += key;
    body += '=';
    body += value;
  }
  return body;
}

std::string FormEncode(std::string_view cp1251) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = Cp1251ToUtf8(cp1251);
  std::string out;
  out.reserve(utf8.size());
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
        c == '-' || c == '.' || c == '_') {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string BuildPostFields(const Form& form) {
  std::string body;
  for (size_t i = 0; i < form.size(); ++i) {
    if (i > 0) body += "&&";
    body += FormEncode(form[i].first);
    body += '=';
    body += FormEncode(form[i].second);
  }
  return body;
}

std::string BuildBody(const Form& form, FormVariant variant) {
  return variant == FormVariant::kPostForm ? BuildPostForm(form) : BuildPostFields(form);
}

HttpRequest ScriptRequest(std::string url, const Form& form, FormVariant variant,
                          std::chrono::milliseconds readTimeout) {
  HttpRequest request;
  request.url = std::move(url);
  request.headers = {std::string("User-Agent: ") + kAccessToken,
                     std::string("Content-Type: ") + kFormContentType,
                     std::string("Accept: ") + kAccept};
  request.body = BuildBody(form, variant);
  request.readTimeout = readTimeout;
  return request;
}

}  // namespace trilane::web

#include "cli.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace trilane::cli {

Args::Args(std::vector<std::string> raw, std::vector<std::string> valueOptions,
           std::vector<std::string> flagOptions) {
  auto known = [](const std::vector<std::string>& list, const std::string& n) {
    return std::find(list.begin(), list.end(), n) != list.end();
  };
  for (size_t i = 0; i < raw.size(); ++i) {
    const std::string& a = raw[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string name = a.substr(2);
      std::optional<std::string> inlineValue;
      if (auto eq = name.find('='); eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
      if (known(valueOptions, name)) {
        if (inlineValue) {
          values_.emplace(name, *inlineValue);
        } else if (i + 1 < raw.size()) {
          values_.emplace(name, raw[++i]);
        } else {
          throw UsageError("option --" + name + " needs a value");
        }
        order_.push_back(name);
      } else if (known(flagOptions, name) && !inlineValue) {
        flags_.push_back(name);
      } else {
        throw UsageError("unknown option --" + name);
      }
    } else {
      positional_.push_back(a);
    }
  }
}

bool Args::Flag(const std::string& name) const {
  return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

std::optional<std::string> Args::Value(const std::string& name) const {
  std::optional<std::string> last;
  auto [b, e] = values_.equal_range(name);
  for (auto it = b; it != e; ++it) last = it->second;
  return last;
}

std::vector<std::string> Args::Values(const std::string& name) const {
  std::vector<std::string> out;
  auto [b, e] = values_.equal_range(name);
  for (auto it = b; it != e; ++it) out.push_back(it->second);
  return out;
}

std::string Args::Required(const std::string& name) const {
  auto v = Value(name);
  if (!v) throw UsageError("missing option --" + name);
  return *v;
}

int64_t Args::Int(const std::string& name, int64_t low, int64_t high, int64_t fallback) const {
  auto v = Value(name);
  return v ? ParseInt(*v, low, high, "--" + name) : fallback;
}

int64_t Args::RequiredInt(const std::string& name, int64_t low, int64_t high) const {
  return ParseInt(Required(name), low, high, "--" + name);
}

int64_t ParseInt(std::string_view text, int64_t low, int64_t high, const std::string& what) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end) {
    throw UsageError(what + ": '" + std::string(text) + "' is not a whole number");
  }
  if (value < low || value > high) {
    throw UsageError(what + ": " + std::string(text) + " is outside " + std::to_string(low) +
                     ".." + std::to_string(high));
  }
  return value;
}

double ParseDouble(std::string_view text, const std::string& what) {
  std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v)) {
    throw UsageError(what + ": '" + s + "' is not a number");
  }
  return v;
}

std::string JsonEscape(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '"';
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

void Json::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

Json& Json::BeginObject() {
  Separate();
  out_ += '{';
  first_.push_back(true);
  return *this;
}
Json& Json::EndObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}
Json& Json::BeginArray() {
  Separate();
  out_ += '[';
  first_.push_back(true);
  return *this;
}
Json& Json::EndArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}
Json& Json::Key(std::string_view key) {
  Separate();
  out_ += JsonEscape(key);
  out_ += ':';
  afterKey_ = true;
  return *this;
}
Json& Json::String(std::string_view utf8) {
  Separate();
  out_ += JsonEscape(utf8);
  return *this;
}
Json& Json::Int(int64_t value) {
  Separate();
  out_ += std::to_string(value);
  return *this;
}
Json& Json::Double(double value) {
  Separate();
  if (!std::isfinite(value)) {
    out_ += "null";
    return *this;
  }
  char buf[64];
  // Whole numbers print as integers ("2000", not "2e+03"); others as the shortest
  // text that reads back the same value.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    std::snprintf(buf, sizeof buf, "%.0f", value == 0.0 ? 0.0 : value);
    out_ += buf;
    return *this;
  }
  std::snprintf(buf, sizeof buf, "%.17g", value);
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    if (std::strtod(buf, nullptr) == value) break;
  }
  out_ += buf;
  return *this;
}
Json& Json::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}
Json& Json::Null() {
  Separate();
  out_ += "null";
  return *this;
}

}  // namespace trilane::cli

#pragma once
// A small strict JSON reader for the command-line tests: enough to check that a command
// printed well-formed JSON and to pick values out of it. It is written apart from the
// tool's own JSON writer so that a fault in the writer cannot hide itself.

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trilane::test {

struct JsonValue {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // strings, UTF-8
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  const JsonValue& operator[](const std::string& key) const {
    static const JsonValue kMissing;
    const auto it = members.find(key);
    return it == members.end() ? kMissing : it->second;
  }
  const JsonValue& operator[](size_t i) const {
    static const JsonValue kMissing;
    return i < items.size() ? items[i] : kMissing;
  }
};

class JsonReader {
 public:
  // The value of the whole text (surrounding blanks allowed), or nothing when it is not
  // exactly one well-formed JSON value.
  static std::optional<JsonValue> Parse(std::string_view text) {
    JsonReader r(text);
    JsonValue v;
    r.Blanks();
    if (!r.Value(v, 0)) return std::nullopt;
    r.Blanks();
    if (r.pos_ != text.size()) return std::nullopt;
    return v;
  }

 private:
  explicit JsonReader(std::string_view text) : s_(text) {}

  void Blanks() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t')) {
      ++pos_;
    }
  }
  bool Take(char c) {
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view w) {
    if (s_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > 64 || pos_ >= s_.size()) return false;
    const char c = s_[pos_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v.kind = JsonValue::kString;
      return String(v.text);
    }
    if (Word("true") || Word("false")) {
      v.kind = JsonValue::kBool;
      v.boolean = c == 't';
      return true;
    }
    if (Word("null")) return true;
    return Number(v);
  }

  bool Object(JsonValue& v, int depth) {
    v.kind = JsonValue::kObject;
    ++pos_;
    Blanks();
    if (Take('}')) return true;
    for (;;) {
      std::string key;
      Blanks();
      if (!String(key)) return false;
      Blanks();
      if (!Take(':')) return false;
      Blanks();
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      if (!v.members.emplace(key, std::move(member)).second) return false;  // duplicate key
      Blanks();
      if (Take('}')) return true;
      if (!Take(',')) return false;
    }
  }

  bool Array(JsonValue& v, int depth) {
    v.kind = JsonValue::kArray;
    ++pos_;
    Blanks();
    if (Take(']')) return true;
    for (;;) {
      Blanks();
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      v.items.push_back(std::move(item));
      Blanks();
      if (Take(']')) return true;
      if (!Take(',')) return false;
    }
  }

  static int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  static void Append(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Unicode(unsigned& cp) {
    if (pos_ + 4 > s_.size()) return false;
    cp = 0;
    for (int i = 0; i < 4; ++i) {
      const int h = Hex(s_[pos_++]);
      if (h < 0) return false;
      cp = cp * 16 + static_cast<unsigned>(h);
    }
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (pos_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[pos_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;  // control characters must be escaped
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (pos_ >= s_.size()) return false;
      const char e = s_[pos_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned cp;
          if (!Unicode(cp)) return false;
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            unsigned low;
            if (!Word("\\u") || !Unicode(low) || low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
          }
          Append(out, cp);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Number(JsonValue& v) {
    const size_t start = pos_;
    Take('-');
    if (Take('0')) {
    } else if (pos_ < s_.size() && s_[pos_] >= '1' && s_[pos_] <= '9') {
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    } else {
      return false;
    }
    if (Take('.')) {
      if (pos_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[pos_]))) return false;
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (pos_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[pos_]))) return false;
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    v.kind = JsonValue::kNumber;
    v.number = std::strtod(std::string(s_.substr(start, pos_ - start)).c_str(), nullptr);
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace trilane::test

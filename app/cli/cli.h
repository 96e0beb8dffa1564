#pragma once
// Shared plumbing of trilane-cli: argument reading, JSON output and the usage error that
// ends a command with one line on stderr and exit code 2.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trilane::cli {

// Bad input: unknown option, missing value, unreadable card... main() prints the message
// on one line of stderr and exits with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Arguments after the subcommand name. Options are "--name value" or "--name=value";
// flags are "--name" alone. Each command declares what it accepts, so an unknown option
// is an error.
class Args {
 public:
  Args(std::vector<std::string> raw, std::vector<std::string> valueOptions,
       std::vector<std::string> flagOptions);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Flag(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;  // the last one given
  std::vector<std::string> Values(const std::string& name) const;   // every one, in order
  std::string Required(const std::string& name) const;
  // Whole numbers with range checks; the error names the option.
  int64_t Int(const std::string& name, int64_t low, int64_t high, int64_t fallback) const;
  int64_t RequiredInt(const std::string& name, int64_t low, int64_t high) const;

 private:
  std::vector<std::string> positional_;
  std::multimap<std::string, std::string> values_;
  std::vector<std::string> order_;
  std::vector<std::string> flags_;
};

int64_t ParseInt(std::string_view text, int64_t low, int64_t high, const std::string& what);
double ParseDouble(std::string_view text, const std::string& what);

// A small JSON writer: objects and arrays are written in order; strings are UTF-8.
class Json {
 public:
  Json& BeginObject();
  Json& EndObject();
  Json& BeginArray();
  Json& EndArray();
  Json& Key(std::string_view key);
  Json& String(std::string_view utf8);
  Json& Int(int64_t value);
  Json& Double(double value);
  Json& Bool(bool value);
  Json& Null();
  template <typename Range>
  Json& IntArray(const Range& values) {
    BeginArray();
    for (const auto& v : values) Int(static_cast<int64_t>(v));
    return EndArray();
  }
  const std::string& Text() const { return out_; }

 private:
  void Separate();
  std::string out_;
  std::vector<bool> first_;
  bool afterKey_ = false;
};

std::string JsonEscape(std::string_view utf8);

// A file or folder named on the command line. Arguments are UTF-8 on every system; on
// Windows a path made from a plain std::string would read it in the ANSI code page instead.
inline std::filesystem::path PathArgument(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(utf8);
#endif
}

}  // namespace trilane::cli

#pragma once
// Runs trilane-cli with arguments and collects its exit code, standard output and the
// number of lines it wrote to standard error.

#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trilane::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A new, empty folder of its own (CTest runs test programs side by side, and two builds may
// share the temporary folder), removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = ::testing::TempDir() + "trilane-cli-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline CliResult RunCli(const std::vector<std::string>& args) {
  static const ScratchFolder folder;
  static int counter = 0;
  const std::string errFile = (folder.Path() / ("err_" + std::to_string(++counter))).string();
  std::string command = ShellQuote(TRILANE_CLI);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  command += " 2>" + ShellQuote(errFile);
  CliResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  std::stringstream ss;
  ss << err.rdbuf();
  result.err = ss.str();
  return result;
}

}  // namespace trilane::test

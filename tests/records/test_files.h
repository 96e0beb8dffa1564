#pragma once
// Helpers for the records tests: a scratch folder per test and whole-file reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace trilane::testing {

inline std::filesystem::path DataFile(const std::string& name) {
  return std::filesystem::path(TRILANE_TEST_DATA) / name;
}

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Spit(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A fresh, empty folder named after the running test, removed afterwards. The random tail
// keeps runs of the same test apart (two builds' suites side by side, a repeated run).
class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    std::string name = std::string("trilane_records_") + info->test_suite_name() + "_" +
                       info->name() + "_" + std::to_string(random()) + std::to_string(random());
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests' names
    dir_ = std::filesystem::temp_directory_path() / name;
    ASSERT_TRUE(std::filesystem::create_directories(dir_)) << dir_;
  }
  void TearDown() override { RemoveTree(dir_); }
  // Tests make files read-only; Windows deletes no read-only file, so every entry gets its
  // write permission back first.
  static void RemoveTree(const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code ignored;
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(dir, ec);
  }
  // Every name in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::filesystem::path dir_;
};

}  // namespace trilane::testing

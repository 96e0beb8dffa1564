#include "tests/program/program_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "records/club_file.h"

namespace trilane::testing {

ProgramFolder::ProgramFolder() {
  std::random_device rd;
  dir_ = std::filesystem::temp_directory_path() /
         ("trilane-shell-" + std::to_string(rd()) + "-" + std::to_string(rd()));
  std::filesystem::create_directories(dir_);
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void ProgramFolder::InstallClubFiles() {
  ASSERT_FALSE(SaveClubFile(dir_ / kClubFileName, NewClubFile(false)).has_value());
  ASSERT_FALSE(SaveClubFile(dir_ / kNetClubFileName, NewClubFile(true)).has_value());
}

void ProgramFolder::PutMember(int slot, const std::string& name, double rating, int games,
                              int cycleScore, const std::string& password,
                              const std::string& clubFile) {
  auto club = LoadClubFile(dir_ / clubFile);
  ASSERT_TRUE(club.has_value());
  auto code = EncodePassword(password);
  ASSERT_TRUE(code.has_value());
  auto line = FormatMemberLine(name, rating, games, cycleScore, *code);
  ASSERT_TRUE(line.has_value());
  club->lines[slot - 1] = *line;
  ASSERT_FALSE(SaveClubFile(dir_ / clubFile, *club).has_value());
}

std::string ProgramFolder::Read(const std::string& name) const {
  std::ifstream in(dir_ / name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<HistoryRecord> ProgramFolder::HistoryLines() const {
  const HistoryCheck history = CheckHistoryFile(dir_ / kHistoryFolderName / "Trilane_I0001.hst");
  std::vector<HistoryRecord> lines;
  if (!history.valid) return lines;
  for (const std::string& text : history.recordLines) {
    if (auto record = ReadHistoryRecord(text)) lines.push_back(*record);
  }
  return lines;
}

void ProgramFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace trilane::testing

#pragma once
// A program folder of its own for each test: the two club files as installed, nothing else.
#include <filesystem>
#include <string>
#include <vector>

#include "records/history_file.h"

namespace trilane::testing {

class ProgramFolder {
 public:
  ProgramFolder();
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::filesystem::path& Path() const { return dir_; }
  std::filesystem::path File(const std::string& name) const { return dir_ / name; }
  // Writes both club files as a fresh installation has them.
  void InstallClubFiles();
  // Writes a member into line `slot` (1..5) of the local club file (or the club file named).
  void PutMember(int slot, const std::string& name, double rating, int games, int cycleScore,
                 const std::string& password, const std::string& clubFile = "Trilane.clb");
  std::string Read(const std::string& name) const;
  // The lines of the first history file; none when it is missing or not valid.
  std::vector<HistoryRecord> HistoryLines() const;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace trilane::testing

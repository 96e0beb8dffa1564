#pragma once
// The club-file checks of the start: both club files must be present and intact, or the
// program says which one is wrong and closes. Messages are composed in the current
// language (UTF-8) so the window only has to show them.
#include <filesystem>
#include <string>
#include <vector>

namespace trilane {

struct StartupChecks {
  bool ok = false;
  // Shown as an error and the program closes (when !ok). A file that is there but broken
  // gets a second line after "\n\r": the line of the file and what is wrong with it.
  std::string fatalMessage;
  // Shown as errors, after which start-up goes on (a club file whose attributes forbid
  // writing).
  std::vector<std::string> warnings;
  // Line 17 of the local club file begins with "1": the program starts in Russian.
  bool startInRussian = false;
  // Columns 7-9 of line 17 of the network club file, the last one checked.
  std::string marker;
  // No club file may be written this run.
  bool writeLock = false;
};

// Checks "Trilane.clb" then "Trilane.net" in `programFolder`. The Russian flag comes from
// the local file's layout alone, before its checksums are looked at.
StartupChecks CheckClubFiles(const std::filesystem::path& programFolder);

// "Can`t find the file" "<path>"! and its siblings, in the current language.
std::string MissingFileMessage(const std::filesystem::path& path);
std::string IncorrectFileMessage(const std::filesystem::path& path);
std::string BadAttributesMessage(const std::filesystem::path& path);

}  // namespace trilane

// Writes the installed club files "Trilane.clb" and "Trilane.net" into the program folder
// given as the one argument. A file that is already there is left alone, even a damaged
// one: it may hold the players' results, and the program reports a damaged file itself.

#include <cstdio>
#include <filesystem>

#include "records/club_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: trilane-make-club-files PROGRAM_FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path dir = argv[1];
  std::error_code ec;
  fs::create_directories(dir, ec);
  int status = 0;
  for (const bool net : {false, true}) {
    const fs::path path = dir / (net ? trilane::kNetClubFileName : trilane::kClubFileName);
    if (fs::exists(path, ec)) {
      if (const auto check = trilane::CheckClubFile(path); !check.good) {
        std::fprintf(stderr, "warning: %s is damaged and left as it is (%s)\n",
                     path.string().c_str(), check.error.Where().c_str());
      }
      continue;
    }
    if (auto e = trilane::SaveClubFile(path, trilane::NewClubFile(net))) {
      std::fprintf(stderr, "error: %s\n", e->Describe().c_str());
      status = 1;
    }
  }
  return status;
}

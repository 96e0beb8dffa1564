#include "program/startup.h"

#include "records/club_file.h"
#include "records/file_io.h"
#include "words/words.h"

namespace trilane {
namespace {

std::string Shown(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string MissingFileMessage(const std::filesystem::path& path) {
  return std::string(Word(kWordCantFindFile)) + " \"" + Shown(path) + "\"!";
}

std::string IncorrectFileMessage(const std::filesystem::path& path) {
  return std::string(Word(kWordIncorrectFile)) + " \"" + Shown(path) + "\"!";
}

std::string BadAttributesMessage(const std::filesystem::path& path) {
  return std::string(Word(kWordFileQuoteOpen)) + Shown(path) +
         std::string(Word(kWordFileBadAttributes));
}

StartupChecks CheckClubFiles(const std::filesystem::path& programFolder) {
  StartupChecks out;
  const std::filesystem::path local = programFolder / kClubFileName;
  const std::filesystem::path net = programFolder / kNetClubFileName;

  // The language hint is read from the local file's layout before any checksum is checked.
  if (auto bytes = ReadWholeFile(local)) {
    if (auto club = ParseClubFile(*bytes)) out.startInRussian = ClubStartsInRussian(*club);
  }

  for (const auto& path : {local, net}) {
    const ClubCheck check = CheckClubFile(path);
    if (!check.good) {
      if (check.error.kind == RecordErrorKind::kMissing) {
        out.fatalMessage = MissingFileMessage(path);
      } else {
        // The reader's own words on a second line say what is wrong and where, so that a
        // player or a helper can mend the file (which is left as it is).
        out.fatalMessage = IncorrectFileMessage(path);
        const std::string where = check.error.Where();
        if (!where.empty()) out.fatalMessage += "\n\r" + where;
      }
      out.ok = false;
      return out;
    }
    out.marker = check.marker;
    // One lock for both files: a locked file of either kind keeps the program from writing
    // club files at all, which is the safe reading of a file someone protected on purpose.
    if (check.writeLock) {
      out.writeLock = true;
      out.warnings.push_back(BadAttributesMessage(path));
    }
  }
  out.ok = true;
  return out;
}

}  // namespace trilane

#include "shell/options/settings_saver.h"

#include <QDir>
#include <QFile>

#include "records/settings.h"
#include "shell/modal.h"
#include "words/word_entries.h"

namespace trilane {

bool SaveProgramSettings(const TSettings& settings, const SettingsSave& where, QWidget* parent) {
  if (!where.musicFile.isEmpty()) QFile::remove(where.musicFile);
  if (!where.clubFilesOk) return false;
  const std::filesystem::path path =
      std::filesystem::path(QDir(where.programDir).filePath(kSettingsFileName).toStdString());
  if (const auto error = SaveSettings(path, settings)) {
    ShowError(parent, WordText(kWordCantSaveOptions));
    return false;
  }
  return true;
}

}  // namespace trilane

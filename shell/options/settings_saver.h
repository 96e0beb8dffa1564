#pragma once
// Writing the settings file at the moments the program saves its options: when it closes,
// after the start-up statistics call and after "I like this game!" was sent.
#include <QString>

class QWidget;

namespace trilane {

struct TSettings;

struct SettingsSave {
  // The program folder, where "Trilane.ini" lies.
  QString programDir;
  // The song's temporary copy, removed first (empty: none).
  QString musicFile;
  // False when the start-up found a club file missing or damaged: nothing is written then.
  bool clubFilesOk = true;
};

// `settings` is what the file should keep: the main window's SettingsToStore(), which leaves
// out the window size, language and speed that only this run's command line chose.
// Removes the song's temporary file, then writes the settings file (a failed write is tried
// once more). A second failure shows "Can`t save options!" over `parent` and leaves the old
// file as it was. True when the file was written.
bool SaveProgramSettings(const TSettings& settings, const SettingsSave& where, QWidget* parent);

}  // namespace trilane

#pragma once
// Where the program lives and where it may write, and handing a URL or file to the desktop.
//
// Run from the build (or from any folder it may write), the program keeps its files beside
// the executable as it always has. Installed, the executable's folder belongs to the system:
// the program then keeps the same files, under the same names, in a folder of the user's
// own ($XDG_DATA_HOME/Trilane), whose parent takes the files shared by the maker's games,
// and finds the add-on libraries there and in the installed data folder.

#include <QString>
#include <vector>

namespace trilane {

// The folder of the running executable (no trailing separator). Works before a
// QCoreApplication exists.
QString ExecutableFolder();
// The program's read-only data when it runs installed (the club files it starts with and
// the add-on libraries); empty when it runs from the build.
QString InstalledDataFolder();
// The folder the program keeps its settings, club files, history and recordings in:
// the executable's folder, or the user's folder when the program is installed. The user's
// folder is made on first use and given the installed club files.
QString ProgramFolder();

// The choice behind ProgramFolder, with everything it looks at handed in. `installedData`
// is empty unless the program runs installed; `xdgDataHome` and `home` are the
// environment's values (a relative XDG_DATA_HOME counts as unset).
QString ChooseProgramFolder(const QString& executableFolder, const QString& installedData,
                            bool executableFolderWritable, const QString& xdgDataHome,
                            const QString& home);
// Makes the user's folder when it is missing and copies the installed club files into it
// when it holds neither of them (a new user; a folder with one of them is left as it is, so
// a lost club file is reported like anywhere else). False when the folder cannot be made.
bool PrepareUserFolder(const QString& folder, const QString& installedData);

// The parent of `folder`: where the add-on libraries and the files shared by the maker's
// games lie ("../" + name seen from the program folder).
QString ParentFolder(const QString& folder);
// Where the add-on libraries are looked for, in order: the program folder, its parent and
// the installed data folder (when the program runs installed).
std::vector<QString> AddOnFolders(const QString& programFolder);
// The help page of a language ("help/<language>.html"): beside the program when it is
// there (the build), else in the installed data folder; the first place tried when
// neither has it, so a message can name it.
QString HelpPage(const QString& programFolder, const QString& installedData, int language);
// The system temporary folder.
QString TempFolder();
// `folder` + separator + `name`.
QString JoinPath(const QString& folder, const QString& name);

// Opens a web address or a local file with the desktop's default handler; false when no
// handler accepted it. A text without a scheme is taken as a local file path.
bool OpenWithShell(const QString& urlOrFile);

}  // namespace trilane

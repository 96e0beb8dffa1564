#pragma once
// Where the program lives and where it may write, and handing a URL or file to the desktop.

#include <QString>

namespace trilane {

// The folder of the running executable (no trailing separator). Works before a
// QCoreApplication exists.
QString ProgramFolder();
// The parent of `folder`: where the add-on libraries and the files shared by the maker's
// games lie ("../" + name seen from the program folder).
QString ParentFolder(const QString& folder);
// The system temporary folder.
QString TempFolder();
// `folder` + separator + `name`.
QString JoinPath(const QString& folder, const QString& name);

// Opens a web address or a local file with the desktop's default handler; false when no
// handler accepted it. A text without a scheme is taken as a local file path.
bool OpenWithShell(const QString& urlOrFile);

}  // namespace trilane

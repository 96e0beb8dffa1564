#include "platform/paths.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace trilane {
namespace {

// The installed data folder as seen from the executable's folder; the build sets it for an
// installed layout (for example "../share/games/trilane").
#ifdef TRILANE_INSTALLED_DATA
constexpr const char* kInstalledDataFromExecutable = TRILANE_INSTALLED_DATA;
#else
constexpr const char* kInstalledDataFromExecutable = "";
#endif

constexpr const char* kUserFolderName = "Trilane";
// The files a new user's folder starts with: the club files as installed.
constexpr const char* kStartingFiles[] = {"Trilane.clb", "Trilane.net"};

QString Environment(const char* name) {
  return QString::fromLocal8Bit(qgetenv(name));
}

}  // namespace

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
#if defined(__linux__)
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (self.exists()) return QFileInfo(self.symLinkTarget()).absolutePath();
#endif
  return QDir::currentPath();
}

QString InstalledDataFolder() {
  if (kInstalledDataFromExecutable[0] == '\0') return {};
  const QString folder = QDir::cleanPath(
      JoinPath(ExecutableFolder(), QString::fromUtf8(kInstalledDataFromExecutable)));
  // Only an installed program has the data folder beside it; the build has none.
  return QFileInfo(folder).isDir() ? folder : QString();
}

QString ChooseProgramFolder(const QString& executableFolder, const QString& installedData,
                            bool executableFolderWritable, const QString& xdgDataHome,
                            const QString& home) {
  if (installedData.isEmpty() && executableFolderWritable) return executableFolder;
  // The XDG base directories: a relative path is ignored, the default is ~/.local/share.
  QString dataHome = xdgDataHome;
  if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
    if (home.isEmpty() || QDir::isRelativePath(home)) return executableFolder;
    dataHome = JoinPath(home, QStringLiteral(".local/share"));
  }
  return JoinPath(QDir::cleanPath(dataHome), QString::fromLatin1(kUserFolderName));
}

bool PrepareUserFolder(const QString& folder, const QString& installedData) {
  if (!QDir().mkpath(folder)) return false;
  if (installedData.isEmpty()) return true;
  for (const char* name : kStartingFiles) {
    if (QFileInfo::exists(JoinPath(folder, QString::fromLatin1(name)))) return true;
  }
  for (const char* name : kStartingFiles) {
    const QString target = JoinPath(folder, QString::fromLatin1(name));
    const QString source = JoinPath(installedData, QString::fromLatin1(name));
    // The installed files are read-only; the user's copies are the user's to write.
    if (QFile::copy(source, target)) {
      QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
  }
  return true;
}

QString ProgramFolder() {
  const QString executable = ExecutableFolder();
  const QString installed = InstalledDataFolder();
  const bool writable = ::access(QFile::encodeName(executable).constData(), W_OK) == 0;
  const QString folder = ChooseProgramFolder(executable, installed, writable,
                                             Environment("XDG_DATA_HOME"), Environment("HOME"));
  if (folder != executable) PrepareUserFolder(folder, installed);
  return folder;
}

QString ParentFolder(const QString& folder) {
  QDir dir(folder);
  if (!dir.cdUp()) return QDir::cleanPath(folder + QStringLiteral("/.."));
  return dir.absolutePath();
}

std::vector<QString> AddOnFolders(const QString& programFolder) {
  std::vector<QString> folders{programFolder, ParentFolder(programFolder)};
  const QString installed = InstalledDataFolder();
  if (!installed.isEmpty() && installed != programFolder && installed != folders[1])
    folders.push_back(installed);
  return folders;
}

QString HelpPage(const QString& programFolder, const QString& installedData, int language) {
  const QString name = QStringLiteral("help/%1.html").arg(language);
  const QString beside = JoinPath(programFolder, name);
  if (QFileInfo::exists(beside) || installedData.isEmpty()) return beside;
  const QString installed = JoinPath(installedData, name);
  return QFileInfo::exists(installed) ? installed : beside;
}

QString TempFolder() {
  return QDir::tempPath();
}

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.isEmpty()) return name;
  if (folder.endsWith(QLatin1Char('/'))) return folder + name;
  return folder + QLatin1Char('/') + name;
}

bool OpenWithShell(const QString& urlOrFile) {
  const QString text = urlOrFile.trimmed();
  if (text.isEmpty()) return false;
  QUrl url(text, QUrl::StrictMode);
  // "C:\x.chm" parses with the scheme "c"; only schemes longer than a drive letter count.
  if (!url.isValid() || url.scheme().size() < 2) url = QUrl::fromLocalFile(text);
  return QDesktopServices::openUrl(url);
}

}  // namespace trilane

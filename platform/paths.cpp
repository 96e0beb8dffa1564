#include "platform/paths.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace trilane {

QString ProgramFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
#if defined(__linux__)
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (self.exists()) return QFileInfo(self.symLinkTarget()).absolutePath();
#endif
  return QDir::currentPath();
}

QString ParentFolder(const QString& folder) {
  QDir dir(folder);
  if (!dir.cdUp()) return QDir::cleanPath(folder + QStringLiteral("/.."));
  return dir.absolutePath();
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

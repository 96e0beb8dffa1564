#include "platform/resource_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/paths.h"

namespace trilane {

namespace {

// Names are single path components of letters, digits and a few signs; anything else (a
// separator, "..") cannot be a resource and must not reach the file system.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-' || c == '.' || c == '#';
    if (!ok) return false;
  }
  return name != "." && name != "..";
}

}  // namespace

ResourceModule::ResourceModule(ResourceModule&&) noexcept = default;
ResourceModule& ResourceModule::operator=(ResourceModule&&) noexcept = default;
ResourceModule::~ResourceModule() = default;

ResourceModule ResourceModule::Program(const QString& root) {
  ResourceModule module;
  module.location_ = root;
  return module;
}

std::optional<ResourceModule> ResourceModule::OpenFile(const QString& path) {
  auto file = std::make_unique<QFile>(path);
  if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) return std::nullopt;
  ResourceModule module;
  module.location_ = path;
  const qint64 size = file->size();
  if (size <= 0) return std::nullopt;
  if (uchar* mapped = file->map(0, size)) {
    module.bytes_ = {mapped, static_cast<size_t>(size)};
  } else {
    module.owned_ = file->readAll();
    module.bytes_ = {reinterpret_cast<const uint8_t*>(module.owned_.constData()),
                     static_cast<size_t>(module.owned_.size())};
  }
  module.file_ = std::move(file);
  if (ListPeResources(module.bytes_).empty()) return std::nullopt;
  return module;
}

std::optional<QByteArray> ResourceModule::Find(const ResourceId& type,
                                               std::string_view name) const {
  if (!IsPlainName(name)) return std::nullopt;
  if (IsProgram()) {
    const std::string typeName = ResourceTypeName(type);
    if (!IsPlainName(typeName)) return std::nullopt;
    QFile file(location_ + QLatin1Char('/') + QString::fromStdString(typeName) + QLatin1Char('/') +
               QString::fromStdString(ToUpperAscii(name)));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
  }
  const auto found = FindPeResource(bytes_, type, name);
  if (!found) return std::nullopt;
  return QByteArray(reinterpret_cast<const char*>(found->data()),
                    static_cast<qsizetype>(found->size()));
}

std::vector<PeResource> ResourceModule::List() const {
  if (IsProgram()) return {};
  return ListPeResources(bytes_);
}

ResourceLocator::ResourceLocator(QString programFolder, QString programRoot)
    : programFolder_(std::move(programFolder)), programRoot_(std::move(programRoot)) {}

// The file in `folder` whose name equals `fileName` ignoring case: the libraries keep the
// names they have on Windows, where a copy may arrive as "qorcards06a.dll".
static QString FindInFolder(const QString& folder, const QString& fileName) {
  const QString exact = JoinPath(folder, fileName);
  if (QFileInfo::exists(exact)) return exact;
  // Name filters ignore case unless told otherwise.
  const QStringList names = QDir(folder).entryList(QStringList{fileName}, QDir::Files);
  for (const QString& name : names) {
    if (name.compare(fileName, Qt::CaseInsensitive) == 0) return JoinPath(folder, name);
  }
  return exact;
}

std::vector<QString> ResourceLocator::Candidates(const QString& fileName) const {
  std::vector<QString> paths;
  for (const QString& folder : AddOnFolders(programFolder_))
    paths.push_back(FindInFolder(folder, fileName));
  return paths;
}

std::optional<ResourceModule> ResourceLocator::LoadLibrary(const QString& fileName) const {
  if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
      fileName.contains(QLatin1Char('\\'))) {
    return std::nullopt;
  }
  for (const QString& path : Candidates(fileName)) {
    if (auto module = ResourceModule::OpenFile(path)) return module;
  }
  return std::nullopt;
}

bool ResourceLocator::IsPresent(const QString& fileName) const {
  for (const QString& path : Candidates(fileName)) {
    if (QFileInfo(path).isFile()) return true;
  }
  return false;
}

QString ResourceLocator::DownloadTarget(const QString& fileName) const {
  return JoinPath(ParentFolder(programFolder_), fileName);
}

}  // namespace trilane

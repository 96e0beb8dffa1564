#pragma once
// Resource modules: the program's own resources (Qt's resource system, one file per
// resource at <root>/<TYPE>/<NAME>, NAME upper-cased) and the add-on libraries beside the
// program (Windows resource-only DLLs read by pe_resources). Both answer the same lookup by
// type and case-insensitive name. An add-on module holds its file only while the object
// lives: load it for a task and let it go, as the game does with every library.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/pe_resources.h"

class QFile;

namespace trilane {

inline constexpr const char* kProgramResourceRoot = ":/trilane";

class ResourceModule {
 public:
  // The program's resources under `root` (a Qt resource path or, for tests, a folder).
  static ResourceModule Program(const QString& root = QString::fromLatin1(kProgramResourceRoot));
  // Exactly this file; nothing when it cannot be read or is no PE image with resources.
  static std::optional<ResourceModule> OpenFile(const QString& path);

  ResourceModule(ResourceModule&&) noexcept;
  ResourceModule& operator=(ResourceModule&&) noexcept;
  ~ResourceModule();

  bool IsProgram() const { return file_ == nullptr; }
  // The library file, or the program's resource root.
  const QString& Location() const { return location_; }

  // A copy of the resource's bytes; nothing when absent (or the name cannot be a name).
  std::optional<QByteArray> Find(const ResourceId& type, std::string_view name) const;
  // Every resource of a library (empty for the program's module).
  std::vector<PeResource> List() const;
  // The library's bytes (empty for the program's module).
  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  ResourceModule() = default;
  QString location_;
  std::unique_ptr<QFile> file_;
  std::span<const uint8_t> bytes_;
  QByteArray owned_;  // when the file cannot be mapped it is read instead
};

// Finds add-on libraries: by bare name in the program folder, then in its parent (where
// "../" + name points from the program folder), and names the program's resource root.
class ResourceLocator {
 public:
  explicit ResourceLocator(QString programFolder,
                           QString programRoot = QString::fromLatin1(kProgramResourceRoot));

  const QString& ProgramFolderPath() const { return programFolder_; }
  ResourceModule Program() const { return ResourceModule::Program(programRoot_); }
  // The first of the places (AddOnFolders) that holds a loadable library of that name.
  std::optional<ResourceModule> LoadLibrary(const QString& fileName) const;
  // True when a file of that name lies in either place (loadable or not).
  bool IsPresent(const QString& fileName) const;
  // Where a downloaded add-on goes: the parent folder.
  QString DownloadTarget(const QString& fileName) const;
  std::vector<QString> Candidates(const QString& fileName) const;

 private:
  QString programFolder_;
  QString programRoot_;
};

}  // namespace trilane

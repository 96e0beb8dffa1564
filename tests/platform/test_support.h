#pragma once
// Shared helpers of the platform tests: fixture paths, file bytes, scratch folders laid out
// like a program folder inside its parent, and a notice recorder.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QResource>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/notice.h"

namespace trilane::testing {

inline QString Fixture(const QString& name) {
  return QStringLiteral(PLATFORM_FIXTURES "/") + name;
}
inline QString Addon(const QString& name) {
  return Fixture(QStringLiteral("addons/") + name);
}

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

inline std::span<const uint8_t> Span(const QByteArray& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

// The fixture's built-in resources, registered once under ":/trilane".
inline void RegisterProgramResources() {
  static const bool registered =
      QResource::registerResource(Fixture(QStringLiteral("program.rcc")));
  ASSERT_TRUE(registered);
}

// <tmp>/parent/Trilane as the program folder, so "../" + name is <tmp>/parent.
class ProgramFolders {
 public:
  ProgramFolders() { EXPECT_TRUE(QDir().mkpath(Program())); }
  QString Parent() const { return dir_.path() + QStringLiteral("/parent"); }
  QString Program() const { return Parent() + QStringLiteral("/Trilane"); }
  // Copies a fixture library into the program folder or its parent, optionally renamed.
  void Put(const QString& fixture, bool inParent, const QString& as = QString()) const {
    const QString target =
        (inParent ? Parent() : Program()) + QLatin1Char('/') + (as.isEmpty() ? fixture : as);
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(Addon(fixture), target)) << fixture.toStdString();
  }

 private:
  QTemporaryDir dir_;
};

class NoticeRecorder : public NoticeSink {
 public:
  void ShowNotice(const NoticeLine& line1, const NoticeLine& line2,
                  const NoticeLine& line3) override {
    lines.push_back({line1, line2, line3});
  }
  std::vector<std::vector<NoticeLine>> lines;
};

inline std::vector<NoticeLine> CantFind(const char* library) {
  return {{kWordCantFindFile, std::string(" ") + library}, {}, {}};
}

}  // namespace trilane::testing

// The generator is deterministic: drawing a module again gives the very bytes the build
// holds, so rebuilds never change a picture, a sound or a library for nothing.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int RunGenerator(const QStringList& args, QString* output) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(TRILANE_ARTGEN, args);
  if (!p.waitForFinished(300000)) return -1;
  *output = QString::fromUtf8(p.readAll());
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(Generator, DrawsTheSameBytesAgain) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A sixth of each module keeps the test short; the parts cover every kind of picture.
  for (const char* module : {"program", "QorCGraph1", "QorCards06C"}) {
    const QString out = dir.filePath(module);
    QString log;
    ASSERT_EQ(RunGenerator({"--catalogue", TRILANE_CATALOGUE_FILE, "--module", module, "--out", out,
                            "--part", "1/6", "--song", TRILANE_SONG_FILE},
                           &log),
              0)
        << log.toStdString();
    int compared = 0;
    QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      QFile fresh(path), built(QString(TRILANE_ASSET_ROOT) + "/" + module + "/" +
                               QDir(out).relativeFilePath(path));
      ASSERT_TRUE(fresh.open(QIODevice::ReadOnly) && built.open(QIODevice::ReadOnly))
          << path.toStdString();
      EXPECT_TRUE(fresh.readAll() == built.readAll()) << path.toStdString() << " differs";
      ++compared;
    }
    EXPECT_GT(compared, 20) << module;
  }
}

TEST(Generator, RefusesWhatItCannotBuild) {
  QTemporaryDir dir;
  QString log;
  EXPECT_EQ(RunGenerator({"--catalogue", TRILANE_CATALOGUE_FILE, "--module", "QorNothing", "--out",
                          dir.path()},
                         &log),
            1);
  EXPECT_TRUE(log.contains("lists nothing for QorNothing")) << log.toStdString();

  QFile bad(dir.filePath("bad.txt"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("program RCDATA Foo png 10x10 nosuchkind\n");
  bad.close();
  EXPECT_EQ(RunGenerator(
                {"--catalogue", bad.fileName(), "--module", "program", "--out", dir.path()}, &log),
            1);
  EXPECT_TRUE(log.contains("RCDATA/Foo: nothing is drawn for kind nosuchkind"))
      << log.toStdString();

  EXPECT_EQ(RunGenerator({"--catalogue", dir.filePath("missing.txt"), "--module", "program"}, &log),
            1);
  EXPECT_TRUE(log.contains("cannot read the catalogue")) << log.toStdString();
}

}  // namespace

#include "platform/resource_module.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/paths.h"
#include "test_support.h"

namespace trilane {
namespace {

using testing::ProgramFolders;

const ResourceId kRcdata = ResourceId::Number(kRtRcdata);
const ResourceId kWave = ResourceId::Text("WAVE");

TEST(ResourceLocator, ProgramFolderFirstThenItsParent) {
  ProgramFolders folders;
  const ResourceLocator locator(folders.Program());
  const QString name = QStringLiteral("QorTest.dll");
  EXPECT_FALSE(locator.LoadLibrary(name));
  EXPECT_FALSE(locator.IsPresent(name));

  // Only in the parent: found there.
  folders.Put("QorCVoice3.dll", true, name);
  auto module = locator.LoadLibrary(name);
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Location(), folders.Parent() + "/QorTest.dll");
  EXPECT_TRUE(module->Find(kWave, "ch02voiceeng"));

  // In both: the program folder wins.
  folders.Put("mixed64.dll", false, name);
  module = locator.LoadLibrary(name);
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Location(), folders.Program() + "/QorTest.dll");
  EXPECT_TRUE(module->Find(kRcdata, "CH02B"));
  EXPECT_FALSE(module->Find(kWave, "Ch02VoiceEng"));

  // A broken file in the program folder is no library: the parent's is used.
  QFile broken(folders.Program() + "/QorTest.dll");
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
  broken.write("MZ this is not a library");
  broken.close();
  module = locator.LoadLibrary(name);
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Location(), folders.Parent() + "/QorTest.dll");
  EXPECT_TRUE(locator.IsPresent(name));
  EXPECT_EQ(locator.DownloadTarget(name), folders.Parent() + "/QorTest.dll");

  // A copy whose name differs only in case is the same library.
  folders.Put("QorCVoice3.dll", false, "qorcvoice3.DLL");
  module = locator.LoadLibrary(QStringLiteral("QorCVoice3.dll"));
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Location(), folders.Program() + "/qorcvoice3.DLL");

  // Names are bare file names only.
  EXPECT_FALSE(locator.LoadLibrary(QStringLiteral("../parent/QorTest.dll")));
}

TEST(Paths, ParentAndJoin) {
  EXPECT_EQ(ParentFolder("/games/qor/Trilane"), "/games/qor");
  EXPECT_EQ(ParentFolder("/games/qor/Trilane/"), "/games/qor");
  EXPECT_EQ(JoinPath("/tmp", "temp94_25.mid"), "/tmp/temp94_25.mid");
  EXPECT_EQ(JoinPath("/tmp/", "x"), "/tmp/x");
  EXPECT_FALSE(ProgramFolder().isEmpty());
}

TEST(ResourceModule, ProgramResourcesAnswerTheSameLookup) {
  testing::RegisterProgramResources();
  const ResourceModule program = ResourceModule::Program();
  EXPECT_TRUE(program.IsProgram());
  const auto png = program.Find(kRcdata, "ch02b");
  ASSERT_TRUE(png);
  EXPECT_TRUE(png->startsWith("\x89PNG"));
  const auto dib = program.Find(ResourceId::Number(kRtBitmap), "Ch02");
  ASSERT_TRUE(dib);
  EXPECT_EQ(static_cast<uint8_t>((*dib)[0]), 40);  // no file header
  EXPECT_TRUE(program.Find(ResourceId::Text("jpeg"), "FonG"));
  EXPECT_TRUE(program.Find(kWave, "WDing_1"));
  EXPECT_FALSE(program.Find(kRcdata, "WDing_1"));
  EXPECT_FALSE(program.Find(kRcdata, "../RCDATA/CH02B"));
  EXPECT_FALSE(program.Find(kRcdata, ""));
  EXPECT_TRUE(program.List().empty());
}

}  // namespace
}  // namespace trilane

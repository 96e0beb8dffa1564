#include "platform/graphics/sounds.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "fixture_colours.h"
#include "test_support.h"

namespace trilane {
namespace {

// The timing checks need a device that plays in real time whatever the machine has: SDL's
// silent driver, also when the program is run by hand rather than through CTest.
[[maybe_unused]] const bool kSilentAudio = [] {
  return setenv("SDL_AUDIODRIVER", "dummy", 1) == 0;
}();

using namespace trilane::fixtures;
using testing::NoticeRecorder;
using testing::ProgramFolders;

class SoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::RegisterProgramResources();
    ASSERT_TRUE(AudioOutput::Instance().Available()) << "SDL_AUDIODRIVER=dummy should open";
  }
  ProgramFolders folders;
  NoticeRecorder notices;
  QTemporaryDir temp;
  Sounds sounds{ResourceLocator(folders.Program()), notices, temp.path()};
};

// The pause of a synchronous effect is the sound plus the device's short margin. What else the
// call costs (finding and decoding the wave) is measured on the same machine a moment before,
// by the same effect played without waiting: under the sanitizers on a busy machine that cost
// grows, and the bound grows with it, while a pause that outlasts the sound by another length
// still fails.
TEST_F(SoundsTest, SynchronousEffectLastsAboutItsLength) {
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(sounds.PlaySoundRes("WDing_1", false, true));
  const qint64 overhead = timer.elapsed();
  AudioOutput::Instance().StopWave();

  timer.restart();
  ASSERT_TRUE(sounds.PlaySoundRes("WDing_1", true, true));
  const qint64 elapsed = timer.elapsed();
  EXPECT_EQ(AudioOutput::Instance().LastWaveMs(), kEffectMs);
  EXPECT_GE(elapsed, kEffectMs - 20);
  EXPECT_LE(elapsed, kEffectMs + 150 + 2 * overhead + 200) << "overhead " << overhead << " ms";
  EXPECT_FALSE(AudioOutput::Instance().WavePlaying());
}

// A synchronous play never returns before its sound has lasted (see above), so an effect that
// returns sooner did not wait; it must then still be sounding (the mixer runs a few
// milliseconds ahead of the clock at most).
TEST_F(SoundsTest, AsynchronousEffectReturnsAtOnceAndIsCutByTheNext) {
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(sounds.PlaySoundRes("wding_1", false, true));
  const bool playing = AudioOutput::Instance().WavePlaying();
  EXPECT_LT(timer.elapsed(), kEffectMs - 50);
  EXPECT_TRUE(playing);
  ASSERT_TRUE(sounds.PlaySoundRes("WToMenK", false, true));
  EXPECT_EQ(AudioOutput::Instance().LastWaveMs(), kShortMs);
  AudioOutput::Instance().StopWave();
}

TEST_F(SoundsTest, DisabledMissingOrBrokenSoundsStaySilent) {
  AudioOutput::Instance().StopWave();
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(sounds.PlaySoundRes("WDing_1", true, false));
  // A disabled effect that played anyway would hold the call for the whole sound.
  EXPECT_LT(timer.elapsed(), kEffectMs - 50);
  EXPECT_FALSE(AudioOutput::Instance().WavePlaying());
  EXPECT_FALSE(sounds.PlaySoundRes("WNoSuch", true, true));
  const QByteArray notAWave("RIFF\x10\0\0\0WAVEjunkjunk", 20);
  EXPECT_FALSE(AudioOutput::Instance().PlayWave(testing::Span(notAWave), true));
}

TEST_F(SoundsTest, SongFileIsWrittenOnceAndNeverRewritten) {
  const QString file = sounds.MusicFile();
  EXPECT_EQ(QFileInfo(file).fileName(), "temp94_25.mid");
  EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(temp.path()).absoluteFilePath());
  MidiPlayer player;
  sounds.LoadSong(player);
  EXPECT_EQ(player.FileName(), file);
  EXPECT_TRUE(testing::ReadAll(file).startsWith("MThd"));
  EXPECT_TRUE(notices.lines.empty());

  // Present already (here with other content): left as it is.
  {
    QFile existing(file);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
    existing.write("not a song");
  }
  MidiPlayer second;
  sounds.LoadSong(second);
  EXPECT_EQ(testing::ReadAll(file), QByteArray("not a song"));
  // The song plays only while its file exists.
  second.Stop();
  ASSERT_TRUE(QFile::remove(file));
  sounds.PlaySong(true, second);
  EXPECT_FALSE(second.IsPlaying());
  EXPECT_TRUE(notices.lines.empty());
}

TEST_F(SoundsTest, SongThatCannotBeWrittenShowsTheNotice) {
  Sounds nowhere(ResourceLocator(folders.Program()), notices, temp.path() + "/no/such/folder");
  MidiPlayer player;
  EXPECT_FALSE(nowhere.LoadSong(player));
  ASSERT_EQ(notices.lines.size(), 1u);
  EXPECT_EQ(notices.lines[0][0], (NoticeLine{kWordCantCreateMusicFile, {}}));
}

TEST_F(SoundsTest, SpeakCardNeedsTheVoiceLibrary) {
  const CardCode twoOfHearts = ParseCard("2h")->code;
  EXPECT_FALSE(sounds.SpeakCard(twoOfHearts, true, 0));
  folders.Put("QorCVoice3.dll", true);
  QElapsedTimer timer;
  timer.start();
  EXPECT_TRUE(sounds.SpeakCard(twoOfHearts, true, 0));
  EXPECT_EQ(AudioOutput::Instance().LastWaveMs(), kShortMs);
  EXPECT_GE(timer.elapsed(), kShortMs - 20);
  // Found library, no voice for this card or language: nothing sounds, still true.
  EXPECT_TRUE(sounds.SpeakCard(ParseCard("As")->code, false, 1));
  EXPECT_TRUE(notices.lines.empty());
}

}  // namespace
}  // namespace trilane

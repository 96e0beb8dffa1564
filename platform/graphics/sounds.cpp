#include "platform/graphics/sounds.h"

#include <QFileInfo>
#include <QSaveFile>

#include "platform/graphics/card_names.h"
#include "platform/paths.h"

namespace trilane {

namespace {

bool Play(const QByteArray& wave, bool wait) {
  return AudioOutput::Instance().PlayWave(
      {reinterpret_cast<const uint8_t*>(wave.constData()), static_cast<size_t>(wave.size())}, wait);
}

// Waves are filed under the "WAVE" type; RCDATA is read too, as older resource scripts
// stored effects there.
std::optional<QByteArray> FindWave(const ResourceModule& module, std::string_view name) {
  if (auto wave = module.Find(ResourceId::Text("WAVE"), name)) return wave;
  return module.Find(ResourceId::Number(kRtRcdata), name);
}

}  // namespace

Sounds::Sounds(ResourceLocator locator, NoticeSink& notices, QString tempFolder)
    : locator_(std::move(locator)),
      notices_(notices),
      tempFolder_(tempFolder.isEmpty() ? TempFolder() : std::move(tempFolder)) {}

bool Sounds::PlaySoundRes(std::string_view name, bool wait, bool enabled) {
  if (!enabled) return false;
  const auto wave = FindWave(locator_.Program(), name);
  return wave && Play(*wave, wait);
}

QString Sounds::MusicFile() const {
  return JoinPath(tempFolder_, QStringLiteral("temp%1_25.mid").arg(kGameCode));
}

bool Sounds::LoadSong(MidiPlayer& player) {
  const QString file = MusicFile();
  if (!QFileInfo::exists(file)) {
    const auto song = locator_.Program().Find(ResourceId::Number(kRtRcdata), "MidiSong");
    QSaveFile out(file);
    if (!song || !out.open(QIODevice::WriteOnly) || out.write(*song) != song->size() ||
        !out.commit()) {
      notices_.ShowNotice({kWordCantCreateMusicFile, {}}, {}, {});
      return false;
    }
  }
  return player.Open(file);
}

void Sounds::PlaySong(bool on, MidiPlayer& player) {
  if (player.FileName().isEmpty() || !QFileInfo::exists(player.FileName()) || player.HasError()) {
    return;
  }
  if (on) {
    player.Play();
  } else {
    player.Stop();
  }
}

bool Sounds::SpeakCard(CardCode code, bool wait, int language) {
  const auto library = locator_.LoadLibrary(QString::fromLatin1(kVoices.data(), kVoices.size()));
  if (!library) return false;
  const std::string name = VoiceResourceName(code, language);
  if (name.empty()) return true;
  const auto wave = FindWave(*library, name);
  if (wave) Play(*wave, wait);
  return true;
}

}  // namespace trilane

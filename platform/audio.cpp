#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <QFileInfo>

namespace trilane {

namespace {

constexpr int kEffectChannel = 0;
// A synchronous effect may outlast its nominal length by the device's buffering.
constexpr int kWaitMarginMs = 150;

// The General MIDI sound font the song needs with the FluidSynth back end.
void ChooseSoundFont() {
  if (SDL_getenv("SDL_SOUNDFONTS")) return;
  static const char* const kFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2",
                                       "/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
  for (const char* font : kFonts) {
    if (QFileInfo::exists(QString::fromLatin1(font))) {
      Mix_SetSoundFonts(font);
      return;
    }
  }
}

}  // namespace

AudioOutput& AudioOutput::Instance() {
  static AudioOutput output;
  return output;
}

AudioOutput::~AudioOutput() {
  if (!opened_) return;
  Mix_HaltChannel(-1);
  if (chunk_) Mix_FreeChunk(chunk_);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioOutput::Available() {
  if (tried_) return opened_;
  tried_ = true;
  // SDL would take SIGINT and SIGTERM for an event queue nobody reads, and the program
  // would no longer end when the session does; the program answers them itself.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_Init(MIX_INIT_MID);
  Mix_AllocateChannels(1);
  ChooseSoundFont();
  opened_ = true;
  return true;
}

bool AudioOutput::PlayWave(std::span<const uint8_t> wave, bool wait) {
  if (wave.empty() || wave.size() > 0x7FFFFFFF || !Available()) return false;
  SDL_RWops* rw = SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size()));
  if (!rw) return false;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);  // decodes into its own buffer
  if (!chunk) return false;
  Mix_HaltChannel(kEffectChannel);
  if (chunk_) Mix_FreeChunk(chunk_);
  chunk_ = chunk;

  int frequency = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&frequency, &format, &channels);
  const int bytesPerFrame = (SDL_AUDIO_BITSIZE(format) / 8) * std::max(channels, 1);
  lastWaveMs_ = frequency > 0 && bytesPerFrame > 0
                    ? static_cast<int>(uint64_t{chunk->alen} * 1000 / bytesPerFrame / frequency)
                    : 0;
  const Uint64 start = SDL_GetTicks64();
  if (Mix_PlayChannel(kEffectChannel, chunk, 0) < 0) return false;
  if (!wait) return true;
  // Wait for the channel to fall silent, but not less than the sound lasts (a device that
  // swallows samples faster than real time must not shorten the pause) and never much more.
  const Uint64 minimum = start + static_cast<Uint64>(lastWaveMs_);
  const Uint64 deadline = minimum + kWaitMarginMs;
  for (;;) {
    const Uint64 now = SDL_GetTicks64();
    if (now >= deadline) break;
    if (now >= minimum && !Mix_Playing(kEffectChannel)) break;
    SDL_Delay(2);
  }
  Mix_HaltChannel(kEffectChannel);
  return true;
}

void AudioOutput::StopWave() {
  if (opened_) Mix_HaltChannel(kEffectChannel);
}

bool AudioOutput::WavePlaying() {
  return opened_ && Mix_Playing(kEffectChannel) != 0;
}

MidiPlayer::~MidiPlayer() {
  Close();
}

bool MidiPlayer::Open(const QString& file) {
  Close();
  file_ = file;
  error_ = true;
  if (!AudioOutput::Instance().Available()) return false;
  music_ = Mix_LoadMUS(QFile::encodeName(file).constData());
  error_ = music_ == nullptr;
  return !error_;
}

void MidiPlayer::Play() {
  if (!music_) return;
  Mix_PlayMusic(music_, 1);
}

void MidiPlayer::Stop() {
  if (music_) Mix_HaltMusic();
}

bool MidiPlayer::IsPlaying() const {
  return music_ && Mix_PlayingMusic() != 0;
}

void MidiPlayer::Close() {
  if (music_) {
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
  }
}

}  // namespace trilane

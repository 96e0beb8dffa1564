#pragma once
// Sound output through SDL2_mixer: short waves from memory on one effect channel (a new
// effect cuts the one sounding) and one MIDI song from a file. When no audio device can be
// opened everything still answers: effects return at once without sound and the song
// reports an error, so the game runs silently.

#include <QString>
#include <cstdint>
#include <span>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace trilane {

class AudioOutput {
 public:
  // The one output of the process; the device is opened on first use.
  static AudioOutput& Instance();

  // True when a device is open (a real one or SDL's dummy driver).
  bool Available();
  // Plays a RIFF wave (or any format the mixer reads) from memory. With `wait` the call
  // returns when the sound has ended, and never later than its length plus a small margin.
  // False when the bytes are no playable sound or no device is open.
  bool PlayWave(std::span<const uint8_t> wave, bool wait);
  void StopWave();
  bool WavePlaying();
  // The length in milliseconds of the wave last started (0 when none).
  int LastWaveMs() const { return lastWaveMs_; }

  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

 private:
  AudioOutput() = default;
  ~AudioOutput();
  bool opened_ = false;
  bool tried_ = false;
  Mix_Chunk* chunk_ = nullptr;
  int lastWaveMs_ = 0;
};

// The MIDI player of the title screen and the main menu: one file at a time.
class MidiPlayer {
 public:
  MidiPlayer() = default;
  ~MidiPlayer();
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  // Sets the file and opens it; false (and HasError) when it cannot be played here.
  bool Open(const QString& file);
  const QString& FileName() const { return file_; }
  bool HasError() const { return error_; }
  void Play();  // from the start, once
  void Stop();
  bool IsPlaying() const;
  void Close();

 private:
  QString file_;
  Mix_Music* music_ = nullptr;
  bool error_ = false;
};

}  // namespace trilane

#pragma once
// Sound effects, the menu song and the spoken card names, on top of the audio output.
// Effects are RCDATA waves of the program; voices are waves in "QorCVoice3.dll".

#include <QString>
#include <string_view>

#include "platform/audio.h"
#include "platform/graphics/notice.h"
#include "platform/resource_module.h"
#include "rules/cards.h"
#include "rules/game.h"

namespace trilane {


class Sounds {
 public:
  // `tempFolder` is where the song's temporary copy lives (the system's by default).
  Sounds(ResourceLocator locator, NoticeSink& notices, QString tempFolder = QString());

  // Nothing when `enabled` is false (callers pass the sound setting); otherwise the
  // program's RCDATA wave `name`, asynchronous (cutting the one sounding) or, with `wait`,
  // returning when it has ended. False when it did not sound.
  bool PlaySoundRes(std::string_view name, bool wait, bool enabled);

  // "temp94_25.mid" in the temporary folder.
  QString MusicFile() const;
  // Writes the "MidiSong" resource to MusicFile() unless that file exists (a failed write
  // shows "Can`t create music file!"), then opens it in the player.
  bool LoadSong(MidiPlayer& player);
  // Plays (`on`) or stops the song when the player's file exists and it has no error.
  void PlaySong(bool on, MidiPlayer& player);

  // The card's name spoken in `language` (0..9) from the voice library: false when the
  // library is missing; true once it was found, whether or not the card's voice sounded.
  bool SpeakCard(CardCode code, bool wait, int language);

 private:
  ResourceLocator locator_;
  NoticeSink& notices_;
  QString tempFolder_;
};

}  // namespace trilane

#include "shell/direct/program_direct_play.h"

#include "shell/main_window.h"
#include "shell/table/table_widget.h"

namespace trilane {

std::unique_ptr<DirectPlayFront> OfferDirectPlay(MainWindow& window) {
  DirectPlayContext net;
  net.settings = &window.Settings();
  net.window = &window;
  net.table = window.Table();
  net.programFolder = window.ProgramFolderPath().toStdString();
  net.playSound = [&window](std::string_view name) {
    window.SoundEffects().PlaySoundRes(name, false, window.Settings().SoundOn);
  };
  net.backToMenu = [&window] { window.EndInterruptedGame(); };
  net.match = &window.Match();
  auto front = std::make_unique<DirectPlayFront>(std::move(net));
  DirectPlayFront* f = front.get();
  MainWindow::DirectPlayHooks hooks;
  hooks.open = [f](int slot) { return f->OpenPlayerWindow(slot); };
  hooks.finish = [f](const LocalMatchEnd& match) { return f->FinishMatch(match); };
  hooks.leave = [f] { f->Leave(); };
  window.SetDirectPlay(std::move(hooks));
  return front;
}

}  // namespace trilane

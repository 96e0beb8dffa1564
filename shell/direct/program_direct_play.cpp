#include "shell/direct/program_direct_play.h"

#include "shell/main_window.h"
#include "shell/table/table_widget.h"

namespace trilane {
namespace {

// A direct-play match ends as a local one does, with the network club file and an "N"
// history line; its connections close when it ends or is left.
class DirectMatchMode final : public LocalMatchMode {
 public:
  DirectMatchMode(DirectPlayFront& front, LocalMatchEnd match)
      : LocalMatchMode(std::move(match)), front_(front) {}

  bool Leave() override {
    front_.Leave();
    return LocalMatchMode::Leave();
  }

 protected:
  LocalMatchEndOutcome WriteFiles(const LocalMatchEnd& match) override {
    return front_.FinishMatch(match);
  }

 private:
  DirectPlayFront& front_;
};

}  // namespace

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
  window.SetDirectPlay([f](int slot, const LocalMatchEnd& match) -> std::unique_ptr<MatchMode> {
    if (!f->OpenPlayerWindow(slot)) return nullptr;
    return std::make_unique<DirectMatchMode>(*f, match);
  });
  return front;
}

}  // namespace trilane

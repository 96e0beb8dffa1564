#pragma once
// What the world windows share: the settings record (the passport and the like live there),
// the program folder (the club files, the chat settings file above it), the web client with
// the addresses chosen once per run, the sounds and notices of the main window, and the
// hooks other parts of the program fill (the passport window, the signed-in account).
//
// Web calls are synchronous, as everywhere in the program's windows: a window asks and draws
// what came back, or "No Connect".
#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "program/world_reads.h"
#include "table/table_view.h"
#include "web/calls.h"
#include "web/service_addresses.h"

namespace trilane {

struct TSettings;
class Sounds;
class NoticeSink;

class WorldServices {
 public:
  WorldServices(TSettings& settings, std::filesystem::path programFolder, Sounds* sounds,
                NoticeSink* notices);
  ~WorldServices();

  TSettings& Settings() { return settings_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  // The addresses of the run: the first use fetches the service directory (which may also
  // pause the world top ten or the board); later uses keep them.
  const web::ServiceAddresses& Addresses();
  void UseAddresses(web::ServiceAddresses addresses);
  bool HasAddresses() const { return addresses_.has_value(); }
  web::WebClient& Client();

  // Plays a program sound when sounds are on (nothing without the main window's sounds).
  void PlaySound(TableSound sound);
  // The notice window with a words entry.
  void Notice(int entry);

  // The graphics library is missing: the world top ten shows its compact layout.
  bool GraphicsLibraryPresent() const;

  // The passport window ("My Passport"), once the accounts part hands it in; true when it
  // was shown. Without it the passport buttons stay greyed.
  std::function<bool(QWidget* parent)> openPassport;
  // Writes the settings file now (the like and the name it was sent with).
  std::function<bool()> saveSettings;
  // The signed-in account's identity, when one is signed in.
  std::function<std::optional<WorldIdentity>()> account;

  // The world category last chosen among B, C and D (the menu's world picture opens it).
  int lastCategory = 0;

 private:
  TSettings& settings_;
  std::filesystem::path programFolder_;
  Sounds* sounds_;
  NoticeSink* notices_;
  std::unique_ptr<web::HttpTransport> transport_;
  std::optional<web::ServiceAddresses> addresses_;
  std::unique_ptr<web::WebClient> client_;
};

}  // namespace trilane

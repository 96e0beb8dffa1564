#include "shell/account/account_program.h"

#include "platform/graphics/sounds.h"
#include "program/menu_text.h"
#include "records/settings.h"
#include "shell/account/account_window.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "web/curl_transport.h"
#include "web/user_file.h"
#include "words/words.h"

namespace trilane {
namespace {

using web::AccountState;

QString StateHint(AccountState state) {
  switch (state) {
    case AccountState::kSignedIn:
      return WordText(kWordLoggedIn);
    case AccountState::kRated:
      return WordText(kWordPlayingForRating);
    case AccountState::kNone:
      break;
  }
  return WordText(kWordNotLoggedIn);
}

web::ServiceAddresses AddressesInUse() {
  web::ServiceAddresses addresses = web::BuiltInAddresses();
  if (const auto directory = web::ServiceOverride()) {
    if (auto under = web::AddressesUnder(*directory)) addresses = *under;
  }
  return addresses;
}

}  // namespace

AccountProgram::AccountProgram(MainWindow& window, std::unique_ptr<web::HttpTransport> transport,
                               web::ServiceAddresses addresses)
    : QObject(&window),
      window_(window),
      transport_(std::move(transport)),
      client_(*transport_, std::move(addresses)),
      account_(client_) {
  setObjectName("AccountProgram");
  preChargeTimer_.setSingleShot(true);
  connect(&preChargeTimer_, &QTimer::timeout, this, &AccountProgram::AdvancePreCharge);
}

AccountProgram::~AccountProgram() = default;

std::filesystem::path AccountProgram::UserFile() const {
  return web::UserFilePath(std::filesystem::path(window_.ProgramFolderPath().toStdString()));
}

AccountWindowServices AccountProgram::WindowServices(bool offerRatedPlay) const {
  AccountWindowServices services;
  services.userFile = UserFile();
  services.offerRatedPlay = offerRatedPlay;
  if (adjustServices_) adjustServices_(services);
  return services;
}

void AccountProgram::PlaySound(std::string_view name) {
  window_.SoundEffects().PlaySoundRes(name, false, window_.Settings().SoundOn);
}

void AccountProgram::StartUp(bool uncountedCopy) {
  // The user file signs the account in; a missing or malformed file leaves it out.
  account_.SignInAtStartup(UserFile());
  // The start count; a first start stays uncounted until a count of it has gone through.
  TSettings& settings = window_.Settings();
  const bool registered = CountStartup(client_, uncountedCopy, settings.StartRegistered);
  if (registered != settings.StartRegistered) {
    settings.StartRegistered = registered;
    // Written at once, the rest of the file as it is: a run that ends without closing the
    // window must not count its first start again.
    const auto path =
        std::filesystem::path(window_.ProgramFolderPath().toStdString()) / kSettingsFileName;
    SettingsRead stored = LoadSettings(path);
    if (stored.reachedEnd && stored.notes.empty()) {
      stored.settings.StartRegistered = registered;
      SaveSettings(path, stored.settings);
    }
  }
}

void AccountProgram::OpenAccount() {
  OpenAccountWindow(window_.Settings(), account_, WindowServices(false), &window_);
}

bool AccountProgram::OwnsLineFive() const {
  return account_.SignedIn() && !window_.Settings().NetMode;
}

void AccountProgram::ShowOnMenu(MainMenu& menu) {
  const AccountState state = account_.State();
  menu.SetAccountIndicator(static_cast<int>(state), StateHint(state));
  if (!OwnsLineFive()) {
    menu.SetAccountLine(QString());
    return;
  }
  // The line shows the account's figures as the service holds them; when they cannot be
  // read it stays the club's. While a rated match runs the service holds the pre-charge and
  // an emptied cycle: the account's own copy, which the booking needs, is shown instead.
  if (!account_.RatedMatchRunning() && !account_.RefreshBest()) {
    menu.SetAccountLine(QString());
    return;
  }
  const web::TQorGame& game = account_.Game();
  const int mode = window_.Settings().MenuMode == 2 ? 2 : 1;
  menu.SetAccountLine(FromCp1251(AccountMemberCaption(account_.User().Nick, game.Rating, game.KonL,
                                                      game.Kon, game.Score, mode)));
}

void AccountProgram::OpenRated() {
  if (preCharge_ || !account_.SignedIn() || account_.RatedMatchRunning()) return;
  OpenAccountWindow(window_.Settings(), account_, WindowServices(true), &window_);
  if (account_.State() != AccountState::kRated) return;
  // The pre-charge: the menu stays drawn and its clocks run, but takes no clicks until the
  // match starts or is refused.
  preCharge_ = std::make_unique<PreCharge>(account_);
  window_.Menu()->setEnabled(false);
  window_.setCursor(Qt::WaitCursor);
  AdvancePreCharge();
}

void AccountProgram::AdvancePreCharge() {
  if (!preCharge_) return;
  const PreChargeStep step = preCharge_->Advance();
  if (step.playWrongs) PlaySound(SoundResourceName(TableSound::kFailure));
  if (step.kind == PreChargeStep::Kind::kWait) {
    preChargeTimer_.start(step.wait);
    return;
  }
  preCharge_.reset();
  window_.Menu()->setEnabled(true);
  window_.unsetCursor();
  switch (step.kind) {
    case PreChargeStep::Kind::kStarted:
      emit preChargeFinished(true);
      StartRated();
      return;
    case PreChargeStep::Kind::kFailed:
      ShowError(&window_, WordText(kWordCantConnectToServer));
      window_.ShowAccountOnMenu();
      break;
    case PreChargeStep::Kind::kNotRated:
    case PreChargeStep::Kind::kWait:
      break;
  }
  emit preChargeFinished(false);
}

void AccountProgram::StartRated() {
  const LocalMatchEnd files = window_.MatchEndFor(kSlotAccount);
  window_.StartAccountMatch(
      RatedMatchStart(account_),
      std::make_unique<RatedMatchMode>(account_, files.programFolder, files.datePattern));
}

AccountProgram& OfferAccounts(MainWindow& window) {
  return OfferAccounts(window, std::make_unique<web::CurlTransport>(), AddressesInUse());
}

AccountProgram& OfferAccounts(MainWindow& window, std::unique_ptr<web::HttpTransport> transport,
                              web::ServiceAddresses addresses) {
  auto* program = new AccountProgram(window, std::move(transport), std::move(addresses));
  MainWindow::AccountHooks hooks;
  hooks.startUp = [program](bool uncounted) { program->StartUp(uncounted); };
  hooks.open = [program] { program->OpenAccount(); };
  hooks.openRated = [program] { program->OpenRated(); };
  hooks.showOnMenu = [program](MainMenu& menu) { program->ShowOnMenu(menu); };
  hooks.ownsLineFive = [program] { return program->OwnsLineFive(); };
  window.SetAccountHooks(std::move(hooks));
  return *program;
}

}  // namespace trilane

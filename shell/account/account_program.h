#pragma once
// The account's part of the running program: the sign-in from the user file and the start
// counting once the start-up checks have passed, the account indicator and member line 5 of
// the menu, and the rated match from the menu (the account window, then the pre-charge,
// whose pauses run on a timer while the window stays live). The match is handed to the
// window with its mode (program/rated_match.h), which ends it.
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "program/account_in_use.h"
#include "program/rated_match.h"
#include "web/calls.h"
#include "web/http_transport.h"

namespace trilane {

class MainWindow;
class MainMenu;
struct AccountWindowServices;

class AccountProgram : public QObject {
  Q_OBJECT

 public:
  // `transport` (owned) carries the web calls; the addresses are the service's in use.
  AccountProgram(MainWindow& window, std::unique_ptr<web::HttpTransport> transport,
                 web::ServiceAddresses addresses);
  ~AccountProgram() override;

  AccountInUse& Account() { return account_; }
  web::WebClient& Client() { return client_; }
  // Where the user file lies for this program.
  std::filesystem::path UserFile() const;
  // What the account window is handed (tests replace the browser and the file dialog).
  void SetWindowServices(std::function<void(AccountWindowServices&)> adjust) {
    adjustServices_ = std::move(adjust);
  }
  // True while the pre-charge runs (its pauses included): the menu takes no clicks.
  bool PreCharging() const { return preCharge_ != nullptr; }

  // The hooks of the main window.
  void StartUp(bool uncountedCopy);
  void OpenAccount();
  void OpenRated();
  void ShowOnMenu(MainMenu& menu);
  bool OwnsLineFive() const;

 signals:
  // The rated match's pre-charge is over: started, or refused with its message shown.
  void preChargeFinished(bool started);

 private:
  AccountWindowServices WindowServices(bool offerRatedPlay) const;
  void AdvancePreCharge();
  // The pre-charge is stored: the match goes on the table with its mode.
  void StartRated();
  void PlaySound(std::string_view name);

  MainWindow& window_;
  std::unique_ptr<web::HttpTransport> transport_;
  web::WebClient client_;
  AccountInUse account_;
  std::function<void(AccountWindowServices&)> adjustServices_;
  std::unique_ptr<PreCharge> preCharge_;
  QTimer preChargeTimer_;
};

// Connects the program's account to the main window: the web calls go to the service in use
// (or through `transport` to `addresses`). The program lives as long as the window.
AccountProgram& OfferAccounts(MainWindow& window);
AccountProgram& OfferAccounts(MainWindow& window, std::unique_ptr<web::HttpTransport> transport,
                              web::ServiceAddresses addresses);

}  // namespace trilane

#include "information_feed.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

#include "shell/main_menu.h"
#include "web/curl_transport.h"
#include "web/information_clock.h"
#include "web/service_addresses.h"
#include "words/words.h"

namespace trilane {

namespace {

web::ServiceAddresses AddressesInUse() {
  web::ServiceAddresses addresses = web::BuiltInAddresses();
  if (const auto directory = web::ServiceOverride()) {
    if (auto under = web::AddressesUnder(*directory)) addresses = *under;
  }
  return addresses;
}

InformationFace FaceOf(const web::InformationPage& page) {
  InformationFace face;
  face.page = page.page;
  face.icon = page.icon;
  face.value = QString::fromStdString(page.value);
  face.hint = QString::fromStdString(
      web::InformationHint(page, [](int entry) { return std::string(Word(entry)); }));
  return face;
}

std::function<std::string()>& SignedInNick() {
  static std::function<std::string()> nick;
  return nick;
}

}  // namespace

void SetInformationAccount(std::function<std::string()> signedInNick) {
  SignedInNick() = std::move(signedInNick);
}

void FeedInformationClock(MainMenu& menu) {
  // One read at a time: a request that comes while one runs is dropped (the next minute asks
  // again).
  auto running = std::make_shared<bool>(false);
  QObject::connect(&menu, &MainMenu::informationWanted, &menu, [&menu, running](int minute) {
    if (*running) return;
    *running = true;
    // Without an account the Qors page gives way to page 7.
    const std::string nick = SignedInNick() ? SignedInNick()() : std::string();
    const int page = web::InformationPageAt(minute, !nick.empty());
    const web::ServiceAddresses addresses = AddressesInUse();
    auto* watcher = new QFutureWatcher<web::InformationPage>(&menu);
    QObject::connect(watcher, &QFutureWatcher<web::InformationPage>::finished, &menu,
                     [watcher, running, menu = QPointer<MainMenu>(&menu)] {
                       *running = false;
                       if (menu) menu->SetInformationFace(FaceOf(watcher->result()));
                       watcher->deleteLater();
                     });
    watcher->setFuture(QtConcurrent::run([addresses, page, nick] {
      web::CurlTransport transport;
      web::WebClient client(transport, addresses);
      client.SetReadTimeout(web::WebClient::kRecordsReadTimeout);
      return web::ReadInformationPage(client, page, nick);
    }));
  });
}

}  // namespace trilane

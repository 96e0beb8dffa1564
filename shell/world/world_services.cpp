#include "shell/world/world_services.h"

#include "platform/graphics/notice.h"
#include "platform/graphics/sounds.h"
#include "platform/resource_module.h"
#include "records/settings.h"
#include "web/curl_transport.h"

namespace trilane {

WorldServices::WorldServices(TSettings& settings, std::filesystem::path programFolder,
                             Sounds* sounds, NoticeSink* notices)
    : settings_(settings),
      programFolder_(std::move(programFolder)),
      sounds_(sounds),
      notices_(notices),
      transport_(std::make_unique<web::CurlTransport>()) {}

WorldServices::~WorldServices() = default;

const web::ServiceAddresses& WorldServices::Addresses() {
  if (!addresses_) {
    addresses_ = web::ChooseAddresses(*transport_, &settings_, web::WebClient::kRecordsReadTimeout);
  }
  return *addresses_;
}

void WorldServices::UseAddresses(web::ServiceAddresses addresses) {
  addresses_ = std::move(addresses);
  if (client_) client_->SetAddresses(*addresses_);
}

web::WebClient& WorldServices::Client() {
  if (!client_) client_ = std::make_unique<web::WebClient>(*transport_, Addresses());
  return *client_;
}

void WorldServices::PlaySound(TableSound sound) {
  if (sounds_) sounds_->PlaySoundRes(SoundResourceName(sound), false, settings_.SoundOn);
}

void WorldServices::Notice(int entry) {
  if (notices_) notices_->ShowNotice(NoticeLine{entry, {}}, NoticeLine{}, NoticeLine{});
}

bool WorldServices::GraphicsLibraryPresent() const {
  const ResourceLocator locator(QString::fromStdString(programFolder_.string()));
  return locator.LoadLibrary(QStringLiteral("QorCGraph1.dll")).has_value();
}

}  // namespace trilane

#pragma once
// Which add-on libraries lie beside the program, and fetching a missing one.

#include <QObject>
#include <array>
#include <string>

#include "platform/download.h"
#include "platform/graphics/card_names.h"
#include "platform/resource_module.h"

namespace trilane {

// The reference club service on this machine; the options hold the real address.
inline constexpr const char* kDefaultDownloadBase = "http://127.0.0.1:8094";
inline constexpr const char* kDownloadFolder = "/downloads/progr/cards/";
// The lightening of the download button of an add-on that is present (drawn dimmed).
inline constexpr int kPresentAddonLight = 50;

struct AddonState {
  // present[n - 1] for add-on n (kAddonFiles). The options window enables a download button
  // only while its library is missing and dims the others.
  std::array<bool, kAddonFiles.size()> present{};
  // The salute boxes need the graphics library; without it they are disabled and cleared.
  bool saluteAvailable = false;
};

AddonState AddonPresence(const ResourceLocator& locator);

// Add-on n (1..9) from `baseUrl` + "/downloads/progr/cards/" + file name into the folder
// the locator downloads to (the parent folder). A reply that is not a resource library (an
// error page, a cut-off file) is refused and changes nothing. Waits for the reply.
DownloadResult FetchAddon(int n, const ResourceLocator& locator, const std::string& baseUrl);

// FetchAddon in the background, one add-on at a time: the window stays alive meanwhile and
// `finished` comes back on the thread that started it. The caller then refreshes its view
// with AddonPresence. A download still running when the downloader goes finishes on its own.
class AddonDownloader : public QObject {
  Q_OBJECT

 public:
  explicit AddonDownloader(QObject* parent = nullptr) : QObject(parent) {}
  // False when a download is running already or `n` names no add-on.
  bool Start(int n, const ResourceLocator& locator, const std::string& baseUrl);
  // The add-on being fetched, 0 when none.
  int Running() const { return running_; }

 signals:
  void finished(int addon, bool ok);

 private:
  int running_ = 0;
};

}  // namespace trilane

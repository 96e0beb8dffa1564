#include "platform/graphics/addons.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/download.h"
#include "platform/pe_resources.h"

namespace trilane {

namespace {

QString FileName(std::string_view name) {
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

bool EndsWithDll(std::string_view name) {
  return name.size() > 4 && EqualsIgnoreAsciiCase(name.substr(name.size() - 4), ".dll");
}

}  // namespace

AddonState AddonPresence(const ResourceLocator& locator) {
  AddonState state;
  for (size_t i = 0; i < kAddonFiles.size(); ++i) {
    state.present[i] = locator.IsPresent(FileName(kAddonFiles[i]));
  }
  state.saluteAvailable = locator.IsPresent(FileName(kGraphics));
  return state;
}

DownloadResult FetchAddon(int n, const ResourceLocator& locator, const std::string& baseUrl) {
  if (n < 1 || n > static_cast<int>(kAddonFiles.size())) return {false, "no such add-on"};
  const std::string_view name = kAddonFiles[static_cast<size_t>(n - 1)];
  std::string base = baseUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  DownloadCheck check;
  if (EndsWithDll(name)) {
    check = [](std::span<const uint8_t> bytes) { return !ListPeResources(bytes).empty(); };
  } else {
    check = [](std::span<const uint8_t> bytes) { return !bytes.empty(); };
  }
  return DownloadFile(base + kDownloadFolder + std::string(name),
                      locator.DownloadTarget(FileName(name)), {}, check);
}

bool AddonDownloader::Start(int n, const ResourceLocator& locator, const std::string& baseUrl) {
  if (running_ != 0 || n < 1 || n > static_cast<int>(kAddonFiles.size())) return false;
  running_ = n;
  auto* watcher = new QFutureWatcher<DownloadResult>(this);
  connect(watcher, &QFutureWatcher<DownloadResult>::finished, this, [this, watcher, n] {
    const bool ok = watcher->result().ok;
    watcher->deleteLater();
    running_ = 0;
    emit finished(n, ok);
  });
  watcher->setFuture(
      QtConcurrent::run([n, locator, baseUrl] { return FetchAddon(n, locator, baseUrl); }));
  return true;
}

}  // namespace trilane

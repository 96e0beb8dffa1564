#include "platform/graphics/addons.h"

#include <QCursor>
#include <QGuiApplication>

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

// The wait cursor for the length of a download, when there is a window system to show it.
class WaitCursor {
 public:
  WaitCursor() : shown_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~WaitCursor() {
    if (shown_) QGuiApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool shown_;
};

}  // namespace

AddonState AddonPresence(const ResourceLocator& locator) {
  AddonState state;
  for (size_t i = 0; i < kAddonFiles.size(); ++i) {
    state.present[i] = locator.IsPresent(FileName(kAddonFiles[i]));
  }
  state.saluteAvailable = locator.IsPresent(FileName(kGraphics));
  return state;
}

bool DownloadAddon(int n, const ResourceLocator& locator, const std::string& baseUrl,
                   Sounds& sounds, bool soundOn) {
  bool ok = false;
  const WaitCursor waiting;
  if (n >= 1 && n <= static_cast<int>(kAddonFiles.size())) {
    const std::string_view name = kAddonFiles[static_cast<size_t>(n - 1)];
    std::string base = baseUrl;
    while (!base.empty() && base.back() == '/') base.pop_back();
    DownloadCheck check;
    if (EndsWithDll(name)) {
      check = [](std::span<const uint8_t> bytes) { return !ListPeResources(bytes).empty(); };
    } else {
      check = [](std::span<const uint8_t> bytes) { return !bytes.empty(); };
    }
    ok = DownloadFile(base + kDownloadFolder + std::string(name),
                      locator.DownloadTarget(FileName(name)), {}, check)
             .ok;
  }
  sounds.PlaySoundRes(ok ? "WToMenK" : "WWrongs", false, soundOn);
  return ok;
}

}  // namespace trilane

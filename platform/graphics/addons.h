#pragma once
// Which add-on libraries lie beside the program, and fetching a missing one.

#include <array>
#include <string>

#include "platform/graphics/card_names.h"
#include "platform/graphics/sounds.h"
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

// Add-on n (1..9) from `baseUrl` + "/downloads/progr/cards/" + file name into the parent
// folder; plays "WToMenK" on success or "WWrongs" on failure (when `soundOn`). A reply that
// is not a resource library (an error page, a cut-off file) is refused and changes nothing.
// The wait cursor shows meanwhile; the caller then refreshes the options with AddonPresence.
bool DownloadAddon(int n, const ResourceLocator& locator, const std::string& baseUrl,
                   Sounds& sounds, bool soundOn);

}  // namespace trilane

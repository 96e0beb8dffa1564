#include "assets/assets.h"

#include <QtCore/qglobal.h>

// Registers the resources compiled by rcc under the name "trilane_assets". Outside any
// namespace, as the registration function is declared there.
static void RegisterTrilaneAssets() {
  Q_INIT_RESOURCE(trilane_assets);
}

namespace trilane {

void InitAssets() {
  static const bool registered = [] {
    RegisterTrilaneAssets();
    return true;
  }();
  (void)registered;
}

QString AssetPath(std::string_view type, std::string_view name) {
  QString path = ":/trilane/" +
                 QString::fromLatin1(type.data(), static_cast<qsizetype>(type.size())).toUpper() +
                 "/";
  path += QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).toUpper();
  return path;
}

}  // namespace trilane

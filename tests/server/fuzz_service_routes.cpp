// Request paths of any shape through the service's routing. Routing must be exact: whatever
// it serves, the path rebuilt from the route is the very path asked for, a name it hands on to
// the disk or the help pages is one non-empty path segment, scripts answer only posts and
// everything else only GET and HEAD.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/request.h"

using namespace trilane::club;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static constexpr std::string_view kMethods[] = {"GET", "HEAD", "POST", "PUT", "get", ""};
  const std::string_view method = kMethods[data[0] % std::size(kMethods)];
  const std::string_view path(reinterpret_cast<const char*>(data) + 1, size - 1);
  const RoutedPath routed = RoutePath(method, path);
  if (routed.route == Route::kNotFound) {
    if (!routed.name.empty()) std::abort();
    return 0;
  }
  if (PathOf(routed) != path) std::abort();
  const bool script = routed.route == Route::kScript;
  if (script != (method == "POST")) std::abort();
  if (!script && method != "GET" && method != "HEAD") std::abort();
  const bool named = routed.route == Route::kHelp || routed.route == Route::kPhoto ||
                     routed.route == Route::kAddon;
  if (named != !routed.name.empty()) std::abort();
  if (routed.name.find('/') != std::string::npos) std::abort();
  // The same path routes the same way for GET and HEAD.
  if (!script) {
    const RoutedPath other = RoutePath(method == "GET" ? "HEAD" : "GET", path);
    if (other.route != routed.route || other.name != routed.name) std::abort();
  }
  return 0;
}

#pragma once
// The help pages the program opens on the club service, served as they are.
#include <optional>
#include <string_view>

namespace trilane::club {

// The page at `name` under /help/ ("router.html": opening a router for direct play), or
// nothing for any other name.
std::optional<std::string_view> HelpPage(std::string_view name);

}  // namespace trilane::club

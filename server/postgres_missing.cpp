// Built instead of the PostgreSQL connection when libpq is not installed.

#include "server/sql.h"

namespace trilane::club {

std::unique_ptr<SqlPool> OpenPostgresPool(const std::string&, int) {
  throw SqlError("this build has no PostgreSQL support (install libpq-dev and rebuild)");
}

}  // namespace trilane::club

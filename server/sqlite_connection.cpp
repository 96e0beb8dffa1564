// SQLite behind SqlConnection: one handle per connection, WAL journal so that readers never
// wait for the writer, and every statement prepared once and kept for the connection's life.

#include <sqlite3.h>

#include <string>
#include <unordered_map>

#include "server/sql.h"

namespace trilane::club {
namespace {

class SqliteConnection final : public SqlConnection {
 public:
  explicit SqliteConnection(const std::string& path) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      db_ = nullptr;
      throw SqlError("cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
    ExecuteScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF;");
  }

  ~SqliteConnection() override {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
  }

  std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) override {
    sqlite3_stmt* stmt = Prepare(sql, params);
    std::vector<SqlRow> rows;
    for (;;) {
      const int rc = sqlite3_step(stmt);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) Fail(stmt);
      SqlRow row;
      const int n = sqlite3_column_count(stmt);
      row.cells.reserve(n);
      for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
          case SQLITE_INTEGER:
            row.cells.emplace_back(static_cast<int64_t>(sqlite3_column_int64(stmt, i)));
            break;
          case SQLITE_FLOAT:
            row.cells.emplace_back(sqlite3_column_double(stmt, i));
            break;
          case SQLITE_NULL:
            row.cells.emplace_back(std::monostate{});
            break;
          default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row.cells.emplace_back(std::string(text ? text : "", sqlite3_column_bytes(stmt, i)));
          }
        }
      }
      rows.push_back(std::move(row));
    }
    sqlite3_reset(stmt);
    return rows;
  }

  int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params) override {
    sqlite3_stmt* stmt = Prepare(sql, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) Fail(stmt);
    sqlite3_reset(stmt);
    return sqlite3_changes(db_);
  }

  void Begin() override { ExecuteScript("BEGIN IMMEDIATE"); }
  void Commit() override { ExecuteScript("COMMIT"); }
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }

  void ExecuteScript(std::string_view script) override {
    char* error = nullptr;
    const std::string text(script);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "unknown error";
      sqlite3_free(error);
      throw SqlError(message);
    }
  }

  bool IsPostgres() const override { return false; }

 private:
  sqlite3_stmt* Prepare(std::string_view sql, const std::vector<SqlValue>& params) {
    auto it = statements_.find(sql);
    sqlite3_stmt* stmt;
    if (it == statements_.end()) {
      if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                             SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        throw SqlError(std::string("prepare: ") + sqlite3_errmsg(db_));
      }
      // The key views the statement's own text, which lives as long as the statement.
      statements_.emplace(std::string_view(sqlite3_sql(stmt)), stmt);
    } else {
      stmt = it->second;
    }
    sqlite3_clear_bindings(stmt);
    for (size_t i = 0; i < params.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      const SqlValue& v = params[i];
      int rc = SQLITE_OK;
      if (auto* n = std::get_if<int64_t>(&v)) {
        rc = sqlite3_bind_int64(stmt, index, *n);
      } else if (auto* d = std::get_if<double>(&v)) {
        rc = sqlite3_bind_double(stmt, index, *d);
      } else if (auto* s = std::get_if<std::string>(&v)) {
        rc = sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()),
                               SQLITE_TRANSIENT);
      } else {
        rc = sqlite3_bind_null(stmt, index);
      }
      if (rc != SQLITE_OK) throw SqlError(std::string("bind: ") + sqlite3_errmsg(db_));
    }
    return stmt;
  }

  [[noreturn]] void Fail(sqlite3_stmt* stmt) {
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt);
    throw SqlError(message);
  }

  sqlite3* db_ = nullptr;
  std::unordered_map<std::string_view, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<SqlPool> OpenSqlitePool(const std::string& path, int count) {
  if (path == ":memory:") count = 1;
  std::vector<std::unique_ptr<SqlConnection>> connections;
  for (int i = 0; i < std::max(1, count); ++i) {
    connections.push_back(std::make_unique<SqliteConnection>(path));
  }
  return std::make_unique<SqlPool>(std::move(connections));
}

}  // namespace trilane::club

#pragma once
// The small SQL layer the club store is written against. Statements are written once, with
// '?' placeholders, and run unchanged on SQLite and on PostgreSQL (the PostgreSQL connection
// numbers the placeholders itself). Every value reaches the database as a bound parameter;
// no statement is ever assembled from request text.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace trilane::club {

struct SqlError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using SqlValue = std::variant<std::monostate, int64_t, double, std::string>;

// One result row. PostgreSQL hands every cell over as text, SQLite as typed values; the
// accessors convert either way.
struct SqlRow {
  std::vector<SqlValue> cells;
  int64_t Int(size_t column) const;
  double Real(size_t column) const;
  std::string Text(size_t column) const;
};

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) = 0;
  // The number of rows the statement changed.
  virtual int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params) = 0;
  // A write transaction: taken before the first read so that two writers never deadlock.
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  // Runs a script of statements without parameters (the schema).
  virtual void ExecuteScript(std::string_view script) = 0;
  virtual bool IsPostgres() const = 0;
};

// A fixed set of open connections shared by the request threads: a thread borrows one for a
// call and gives it back, so each connection's cached statements are used by one thread at a
// time.
class SqlPool {
 public:
  explicit SqlPool(std::vector<std::unique_ptr<SqlConnection>> connections);

  class Lease {
   public:
    Lease(SqlPool& pool, std::unique_ptr<SqlConnection> connection)
        : pool_(&pool), connection_(std::move(connection)) {}
    Lease(Lease&&) = default;
    Lease& operator=(Lease&&) = delete;
    ~Lease();
    SqlConnection* operator->() const { return connection_.get(); }
    SqlConnection& operator*() const { return *connection_; }

   private:
    SqlPool* pool_;
    std::unique_ptr<SqlConnection> connection_;
  };

  Lease Acquire();

 private:
  std::mutex mutex_;
  std::condition_variable available_;
  std::vector<std::unique_ptr<SqlConnection>> free_;
};

// Opens `count` connections to one SQLite file (":memory:" gives a private in-memory
// database and forces a single connection).
std::unique_ptr<SqlPool> OpenSqlitePool(const std::string& path, int count);

// Opens `count` connections to a PostgreSQL server given as a libpq connection string or
// postgres:// address. Throws SqlError when the build has no PostgreSQL support.
std::unique_ptr<SqlPool> OpenPostgresPool(const std::string& conninfo, int count);

}  // namespace trilane::club

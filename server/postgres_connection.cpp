// PostgreSQL behind SqlConnection, for a club that outgrows one machine: several service
// processes share one database. The statements are the same text as for SQLite; the '?'
// placeholders are numbered $1, $2, ... here, and each statement is prepared once per
// connection.

#include <libpq-fe.h>

#include <string>
#include <unordered_map>

#include "server/sql.h"

namespace trilane::club {
namespace {

std::string NumberPlaceholders(std::string_view sql) {
  std::string out;
  out.reserve(sql.size() + 16);
  int n = 0;
  bool quoted = false;
  for (char c : sql) {
    if (c == '\'') quoted = !quoted;
    if (c == '?' && !quoted) {
      out += '$';
      out += std::to_string(++n);
    } else {
      out += c;
    }
  }
  return out;
}

class PostgresConnection final : public SqlConnection {
 public:
  explicit PostgresConnection(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
    if (PQstatus(conn_) != CONNECTION_OK) {
      std::string message = PQerrorMessage(conn_);
      PQfinish(conn_);
      conn_ = nullptr;
      throw SqlError("cannot connect to PostgreSQL: " + message);
    }
  }
  ~PostgresConnection() override { PQfinish(conn_); }

  std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) override {
    PGresult* result = Run(sql, params);
    std::vector<SqlRow> rows;
    const int n = PQntuples(result);
    const int columns = PQnfields(result);
    rows.reserve(n);
    for (int r = 0; r < n; ++r) {
      SqlRow row;
      for (int c = 0; c < columns; ++c) {
        if (PQgetisnull(result, r, c)) {
          row.cells.emplace_back(std::monostate{});
        } else {
          row.cells.emplace_back(std::string(PQgetvalue(result, r, c), PQgetlength(result, r, c)));
        }
      }
      rows.push_back(std::move(row));
    }
    PQclear(result);
    return rows;
  }

  int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params) override {
    PGresult* result = Run(sql, params);
    const char* changed = PQcmdTuples(result);
    const int64_t n = changed && *changed ? std::stoll(changed) : 0;
    PQclear(result);
    return n;
  }

  void Begin() override { ExecuteScript("BEGIN"); }
  void Commit() override { ExecuteScript("COMMIT"); }
  void Rollback() override { PQclear(PQexec(conn_, "ROLLBACK")); }

  void ExecuteScript(std::string_view script) override {
    PGresult* result = PQexec(conn_, std::string(script).c_str());
    const auto status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      std::string message = PQerrorMessage(conn_);
      PQclear(result);
      throw SqlError(message);
    }
    PQclear(result);
  }

  bool IsPostgres() const override { return true; }

 private:
  PGresult* Run(std::string_view sql, const std::vector<SqlValue>& params) {
    auto it = prepared_.find(std::string(sql));
    if (it == prepared_.end()) {
      const std::string name = "s" + std::to_string(prepared_.size() + 1);
      PGresult* prep = PQprepare(conn_, name.c_str(), NumberPlaceholders(sql).c_str(), 0, nullptr);
      if (PQresultStatus(prep) != PGRES_COMMAND_OK) {
        std::string message = PQerrorMessage(conn_);
        PQclear(prep);
        throw SqlError("prepare: " + message);
      }
      PQclear(prep);
      it = prepared_.emplace(std::string(sql), name).first;
    }
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
      const SqlValue& v = params[i];
      if (auto* n = std::get_if<int64_t>(&v)) {
        texts[i] = std::to_string(*n);
      } else if (auto* d = std::get_if<double>(&v)) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", *d);
        texts[i] = buffer;
      } else if (auto* s = std::get_if<std::string>(&v)) {
        texts[i] = *s;
      }
      values[i] = std::holds_alternative<std::monostate>(v) ? nullptr : texts[i].c_str();
    }
    PGresult* result = PQexecPrepared(conn_, it->second.c_str(), static_cast<int>(values.size()),
                                      values.data(), nullptr, nullptr, 0);
    const auto status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      std::string message = PQerrorMessage(conn_);
      PQclear(result);
      throw SqlError(message);
    }
    return result;
  }

  PGconn* conn_;
  std::unordered_map<std::string, std::string> prepared_;
};

}  // namespace

std::unique_ptr<SqlPool> OpenPostgresPool(const std::string& conninfo, int count) {
  std::vector<std::unique_ptr<SqlConnection>> connections;
  for (int i = 0; i < std::max(1, count); ++i) {
    connections.push_back(std::make_unique<PostgresConnection>(conninfo));
  }
  return std::make_unique<SqlPool>(std::move(connections));
}

}  // namespace trilane::club

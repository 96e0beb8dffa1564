#include "server/sql.h"

#include <charconv>

namespace trilane::club {

int64_t SqlRow::Int(size_t column) const {
  const SqlValue& v = cells.at(column);
  if (auto* i = std::get_if<int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
  if (auto* s = std::get_if<std::string>(&v)) {
    int64_t out = 0;
    std::from_chars(s->data(), s->data() + s->size(), out);
    return out;
  }
  return 0;
}

double SqlRow::Real(size_t column) const {
  const SqlValue& v = cells.at(column);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (auto* s = std::get_if<std::string>(&v)) {
    try {
      return std::stod(*s);
    } catch (const std::exception&) {
      return 0;
    }
  }
  return 0;
}

std::string SqlRow::Text(size_t column) const {
  const SqlValue& v = cells.at(column);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return std::to_string(*d);
  return {};
}

SqlPool::SqlPool(std::vector<std::unique_ptr<SqlConnection>> connections)
    : free_(std::move(connections)) {}

SqlPool::Lease::~Lease() {
  if (!connection_) return;
  std::lock_guard lock(pool_->mutex_);
  pool_->free_.push_back(std::move(connection_));
  pool_->available_.notify_one();
}

SqlPool::Lease SqlPool::Acquire() {
  std::unique_lock lock(mutex_);
  available_.wait(lock, [&] { return !free_.empty(); });
  auto connection = std::move(free_.back());
  free_.pop_back();
  return Lease(*this, std::move(connection));
}

}  // namespace trilane::club

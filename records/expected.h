#pragma once
// A value or the error that explains why there is none. The library's readers and writers
// return these instead of throwing, so a bad file never unwinds through a caller.

#include <type_traits>
#include <utility>
#include <variant>

namespace trilane {

template <typename E>
struct Unexpected {
  E error;
};

template <typename E>
Unexpected<std::decay_t<E>> Fail(E&& error) {
  return {std::forward<E>(error)};
}

template <typename T, typename E>
class Expected {
 public:
  Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  template <typename F>
  Expected(Unexpected<F> e) : v_(std::in_place_index<1>, std::move(e.error)) {}

  bool has_value() const { return v_.index() == 0; }
  explicit operator bool() const { return has_value(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const E& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, E> v_;
};

}  // namespace trilane

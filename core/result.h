// The one way a step says how it went: a value, or the failure that stopped
// it. Shaped like std::expected, which C++20 does not have yet. Every stage
// may include this header; it depends on nothing of the pipeline.
#pragma once

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace zarn {

struct Failure;

template <class T, class E = Failure>
class Result;

template <class R>
struct IsResult : std::false_type {};
template <class T, class E>
struct IsResult<Result<T, E>> : std::true_type {};

template <class T, class E>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}
  // One of the failure's own alternatives: a refusal's reason, a stage error.
  template <class F>
  requires(!std::is_convertible_v<F, T> && !std::is_same_v<std::remove_cvref_t<F>, E> &&
           std::is_constructible_v<E, F> && !IsResult<std::remove_cvref_t<F>>::value)
      Result(F&& error)
      : state_(std::in_place_index<1>, std::forward<F>(error)) {}
  // A step's own failure, passed up into a wider one (a stage error into
  // Failure).
  template <class U, class F>
  requires(!std::is_same_v<F, E> && std::is_convertible_v<F, E> && std::is_convertible_v<U, T>)
      Result(Result<U, F>&& other)
      : state_(widened(std::move(other))) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }

  const E& error() const& { return std::get<1>(state_); }
  E&& error() && { return std::get<1>(std::move(state_)); }

 private:
  template <class U, class F>
  static std::variant<T, E> widened(Result<U, F>&& other) {
    if (other) return std::variant<T, E>(std::in_place_index<0>, T(std::move(*other)));
    return std::variant<T, E>(std::in_place_index<1>, E(std::move(other).error()));
  }

  std::variant<T, E> state_;
};

// A step that gives nothing but may fail.
template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(E error) : error_(std::move(error)) {}
  template <class F>
  requires(!std::is_same_v<std::remove_cvref_t<F>, E> && std::is_constructible_v<E, F> &&
           !IsResult<std::remove_cvref_t<F>>::value) Result(F&& error)
      : error_(std::in_place, std::forward<F>(error)) {}
  template <class F>
  requires(!std::is_same_v<F, E> && std::is_convertible_v<F, E>) Result(Result<void, F>&& other) {
    if (!other) error_.emplace(std::move(other).error());
  }

  bool has_value() const { return !error_; }
  explicit operator bool() const { return has_value(); }

  const E& error() const& { return *error_; }
  E&& error() && { return *std::move(error_); }

 private:
  std::optional<E> error_;
};

using Status = Result<void>;

}  // namespace zarn

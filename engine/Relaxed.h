// A value written by one thread and read by the audio thread at its next use.
// Relaxed atomic order costs the same as a plain store on the machines we run
// on and keeps the exchange free of data races.
#pragma once

#include <atomic>

namespace engine {

template <typename T>
class Relaxed {
 public:
  constexpr Relaxed(T initial = T{}) noexcept : value_(initial) {}
  Relaxed(const Relaxed& other) noexcept : value_(other.get()) {}
  Relaxed& operator=(const Relaxed& other) noexcept {
    set(other.get());
    return *this;
  }

  T get() const noexcept { return value_.load(std::memory_order_relaxed); }
  void set(T v) noexcept { value_.store(v, std::memory_order_relaxed); }
  operator T() const noexcept { return get(); }
  Relaxed& operator=(T v) noexcept {
    set(v);
    return *this;
  }

 private:
  std::atomic<T> value_;
};

}  // namespace engine

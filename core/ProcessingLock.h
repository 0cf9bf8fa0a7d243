// The processing lock: one recursive lock that keeps processing, suspend,
// resume and the reverb-type change from overlapping. Waits are bounded so a
// stuck thread can never hang the host's audio thread for ever; the
// reverb-type change only tries it and otherwise leaves the change to the
// next holder. Nobody calls the host while holding it, so a host that is
// slow to answer never makes another thread wait here.
#pragma once

#include <chrono>
#include <mutex>

namespace core {

using ProcessingLock = std::recursive_timed_mutex;

constexpr std::chrono::milliseconds kLockWait{1000};

// Holds the lock for a scope if the wait obtained it; releases only then.
class TimedLockGuard {
 public:
  explicit TimedLockGuard(ProcessingLock& lock, std::chrono::milliseconds wait = kLockWait)
      : lock_(lock), owned_(lock.try_lock_for(wait)) {}
  ~TimedLockGuard() {
    if (owned_) lock_.unlock();
  }
  TimedLockGuard(const TimedLockGuard&) = delete;
  TimedLockGuard& operator=(const TimedLockGuard&) = delete;

  explicit operator bool() const { return owned_; }

 private:
  ProcessingLock& lock_;
  bool owned_;
};

}  // namespace core

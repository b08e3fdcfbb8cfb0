// Locks with a name, shared by every process of the user: an flock on
// "<runtime>/<name>.lock", where runtime is $XDG_RUNTIME_DIR/zerbin or else
// /tmp/zerbin-<uid> (mode 0700, owned by the user).  The kernel releases the
// lock when its process dies.
//
// A lock is re-entrant on the thread that holds it; other threads of the
// process wait as other processes do.
#pragma once

#include <string>
#include <string_view>

inline constexpr int NamedLock_infinite = -1;

class NamedLock {
 public:
  explicit NamedLock(std::string name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Waits at most `timeoutMs` milliseconds (NamedLock_infinite: for ever,
  // 0: just try); false when the wait ran out or the lock file cannot be
  // used.
  bool lock(int timeoutMs);
  void unlock();
  bool heldByThisThread() const;
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  int heldHere_ = 0;  // how often this object was locked and not unlocked
};

// Holds a named lock for the lifetime of the object.
class NamedLockGuard {
 public:
  NamedLockGuard(NamedLock& lock, int timeoutMs) : lock_(lock), owns_(lock.lock(timeoutMs)) {}
  ~NamedLockGuard() {
    if (owns_) lock_.unlock();
  }
  NamedLockGuard(const NamedLockGuard&) = delete;
  NamedLockGuard& operator=(const NamedLockGuard&) = delete;
  bool owns() const { return owns_; }

 private:
  NamedLock& lock_;
  bool owns_;
};

// The folder of the lock files (created when missing); "" when no safe
// folder can be had.  As an OS path (UTF-8).
std::string NamedLock_runtimeFolder();
// A file name for any CP932 name: bytes outside [A-Za-z0-9_.-] are written
// as %XX.
std::string NamedLock_fileName(std::string_view name);

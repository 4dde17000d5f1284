// Refuses a second copy of the program for the same user. The first instance
// holds an exclusive lock on a file named after the program's GUID in the
// user's runtime folder (or, without one, in the temporary folder with the
// user id in the name), so one user's program never refuses another user's;
// the kernel releases the lock when the process ends, however it ends, so a
// stale lock never refuses a start.
#pragma once

#include <filesystem>

namespace tallowin {

class InstanceGuard {
 public:
  // $XDG_RUNTIME_DIR/{GUID}.lock, else <temporary folder>/{GUID}-<uid>.lock.
  static std::filesystem::path DefaultLockPath();

  explicit InstanceGuard(const std::filesystem::path& lockPath = DefaultLockPath());
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when another process holds the lock. A lock file that cannot be
  // opened at all does not count: the program then starts as the first.
  bool AnotherInstance() const { return anotherInstance_; }
  const std::filesystem::path& LockPath() const { return lockPath_; }

 private:
  std::filesystem::path lockPath_;
  int fd_ = -1;
  bool anotherInstance_ = false;
};

}  // namespace tallowin

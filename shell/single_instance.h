// Refuses a second copy of the program on this machine. The first instance
// holds an exclusive lock on a file named after the program's GUID in the
// system's temporary folder; the kernel releases it when the process ends,
// however it ends, so a stale lock never refuses a start.
#pragma once

#include <filesystem>

namespace tallowin {

class InstanceGuard {
 public:
  static std::filesystem::path DefaultLockPath();

  explicit InstanceGuard(const std::filesystem::path& lockPath = DefaultLockPath());
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when another process holds the lock. A lock file that cannot be
  // opened at all does not count: the program then starts as the first.
  bool AnotherInstance() const { return anotherInstance_; }

 private:
  int fd_ = -1;
  bool anotherInstance_ = false;
};

}  // namespace tallowin

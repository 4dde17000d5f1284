#include "shell/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace tallowin {

std::filesystem::path InstanceGuard::DefaultLockPath() {
  // The user's own runtime folder, so that one user's program never refuses
  // another's; without one, the temporary folder with the user in the name.
  constexpr const char* kName = "{5A3C61E2-0B7D-4F19-8E44-2C9D7B16A0F5}";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && *runtime == '/' && std::filesystem::is_directory(runtime, error)) {
    return std::filesystem::path(runtime) / (std::string(kName) + ".lock");
  }
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  return folder / (std::string(kName) + "-" + std::to_string(::getuid()) + ".lock");
}

InstanceGuard::InstanceGuard(const std::filesystem::path& lockPath) : lockPath_(lockPath) {
  // A lock that cannot be written can still be taken through a read-only
  // descriptor. O_NOFOLLOW: the temporary folder is shared, and a link
  // planted there is refused.
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) fd_ = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    anotherInstance_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
  }
}

InstanceGuard::~InstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace tallowin

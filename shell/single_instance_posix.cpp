#include "shell/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tallowin {

std::filesystem::path InstanceGuard::DefaultLockPath() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  return folder / "{5A3C61E2-0B7D-4F19-8E44-2C9D7B16A0F5}.lock";
}

InstanceGuard::InstanceGuard(const std::filesystem::path& lockPath) {
  // Every user shares the name, so the file is left readable to all; a user
  // who cannot write it can still lock it through a read-only descriptor.
  // O_NOFOLLOW: the temporary folder is shared, a planted link is refused.
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
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

// SaveFolder and SavedFile on POSIX systems: openat, mkdirat and futimens.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "browser/save_folder.h"

namespace tallowin {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;

timespec ToTimespec(FileTime time) {
  const std::int64_t sinceEpoch = static_cast<std::int64_t>(time) - kUnixEpochTicks;
  std::int64_t seconds = sinceEpoch / 10'000'000;
  std::int64_t ticks = sinceEpoch % 10'000'000;
  if (ticks < 0) {
    ticks += 10'000'000;
    --seconds;
  }
  return {static_cast<time_t>(seconds), static_cast<long>(ticks * 100)};
}

int Fail(int& error) {
  error = errno;
  return -1;
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

SaveFolder SaveFolder::OpenDestination(const std::filesystem::path& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return SaveFolder(fd >= 0 ? fd : Fail(error));
}

SaveFolder SaveFolder::CreateFolder(const std::string& name, int& error) const {
  if (::mkdirat(fd_.Get(), name.c_str(), 0777) != 0) return SaveFolder(Fail(error));
  return OpenFolder(name, error);
}

SaveFolder SaveFolder::OpenFolder(const std::string& name, int& error) const {
  const int fd = ::openat(fd_.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return SaveFolder(fd >= 0 ? fd : Fail(error));
}

SavedFile SaveFolder::CreateFile(const std::string& name, int& error) const {
  const int fd = ::openat(fd_.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  return SavedFile(fd >= 0 ? fd : Fail(error));
}

void SaveFolder::RemoveFile(const std::string& name) const { ::unlinkat(fd_.Get(), name.c_str(), 0); }

bool SavedFile::Write(std::span<const std::byte> bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_.Get(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : EIO;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

void SavedFile::SetTimes(FileTime modified, FileTime accessed) {
  const timespec times[2] = {ToTimespec(accessed), ToTimespec(modified)};
  ::futimens(fd_.Get(), times);
}

bool SavedFile::Close(int& error) {
  if (::close(fd_.Release()) != 0 && errno != EINTR) {
    error = errno;
    return false;
  }
  return true;
}

}  // namespace tallowin

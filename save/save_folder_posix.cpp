// SaveFolder and SavedFile on POSIX systems: openat, mkdirat and futimens.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>  // renameat2

#include <cerrno>
#include <ctime>
#include <limits>
#include <utility>

#include "save/save_folder.h"

namespace tallowin {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000;
constexpr FileTime kTicksPerSecond = 10'000'000;

// The time as the system takes it; UTIME_OMIT (leave the time as it is) for
// a time beyond the system's range. Unsigned arithmetic throughout, so that
// no value of a hand-edited snapshot can overflow.
timespec ToTimespec(FileTime time) {
  const bool afterEpoch = time >= kUnixEpochTicks;
  const FileTime distance = afterEpoch ? time - kUnixEpochTicks : kUnixEpochTicks - time;
  FileTime seconds = distance / kTicksPerSecond;
  FileTime ticks = distance % kTicksPerSecond;
  if (!afterEpoch && ticks != 0) {
    ++seconds;
    ticks = kTicksPerSecond - ticks;
  }
  constexpr auto kMaxSeconds = static_cast<FileTime>(std::numeric_limits<time_t>::max());
  if (seconds > kMaxSeconds) return {0, UTIME_OMIT};
  const auto signedSeconds = static_cast<time_t>(seconds);
  return {afterEpoch ? signedSeconds : -signedSeconds, static_cast<long>(ticks * 100)};
}

// Whether the file system kept a time that was set: within two days, since
// some file systems keep access times by the day and others by two seconds.
bool Held(const timespec& set, const timespec& stored) {
  constexpr time_t kTolerance = 2 * 86'400;
  if (set.tv_nsec == UTIME_OMIT) return true;
  const time_t difference = set.tv_sec > stored.tv_sec ? set.tv_sec - stored.tv_sec : stored.tv_sec - set.tv_sec;
  return difference <= kTolerance;
}

int Fail(int& error) {
  error = errno;
  return -1;
}

}  // namespace

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

bool SaveFolder::Holds(const std::string& name) const {
  struct stat there {};
  return ::fstatat(fd_.Get(), name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SaveFolder::RenameFile(const std::string& from, const std::string& to, int& error) const {
  const int fd = fd_.Get();
  const auto failed = [&] {
    error = errno;
    return false;
  };
  if (::renameat2(fd, from.c_str(), fd, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return failed();
  // A file system that cannot refuse to replace in one step: a second name,
  // which is never made over an existing one, then the first one removed.
  if (::linkat(fd, from.c_str(), fd, to.c_str(), 0) == 0) {
    ::unlinkat(fd, from.c_str(), 0);
    return true;
  }
  if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)) return failed();
  // Nor links (FAT): the name is looked at first; the save alone writes here.
  struct stat existing {};
  if (::fstatat(fd, to.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    error = EEXIST;
    return false;
  }
  return ::renameat(fd, from.c_str(), fd, to.c_str()) == 0 || failed();
}

bool SavedFile::WriteAt(std::uint64_t offset, std::span<const std::byte> bytes, int& error) {
  while (!bytes.empty()) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
      error = EFBIG;
      return false;
    }
    const ssize_t written = ::pwrite(fd_.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : EIO;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

bool SavedFile::Extend(std::uint64_t size, int& error) {
  if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
      ::ftruncate(fd_.Get(), static_cast<off_t>(size)) != 0) {
    error = size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ? EFBIG : errno;
    return false;
  }
  return true;
}

void SavedFile::SetTimes(FileTime modified, FileTime accessed, FileTime created) {
  (void)created;  // POSIX systems keep no creation time that can be set
  constexpr timespec kLeave{0, UTIME_OMIT};
  const int fd = fd_.Get();
  struct stat before {};
  if (::fstat(fd, &before) != 0) return;
  const timespec wanted[2] = {ToTimespec(accessed), ToTimespec(modified)};
  if (::futimens(fd, wanted) != 0) {
    // Each on its own, so that a time the system refuses costs only itself.
    const timespec accessedOnly[2] = {wanted[0], kLeave};
    const timespec modifiedOnly[2] = {kLeave, wanted[1]};
    ::futimens(fd, accessedOnly);
    ::futimens(fd, modifiedOnly);
  }
  // A file system clamps a time beyond its range to the range's end; such a
  // time is put back as it was rather than kept wrong.
  struct stat after {};
  if (::fstat(fd, &after) != 0) return;
  timespec restore[2] = {kLeave, kLeave};
  if (!Held(wanted[0], after.st_atim)) restore[0] = before.st_atim;
  if (!Held(wanted[1], after.st_mtim)) restore[1] = before.st_mtim;
  if (restore[0].tv_nsec != UTIME_OMIT || restore[1].tv_nsec != UTIME_OMIT) ::futimens(fd, restore);
}

bool SavedFile::Close(int& error) {
  if (!CloseNativeFile(fd_.Release())) {
    error = errno;
    return false;
  }
  return true;
}

}  // namespace tallowin

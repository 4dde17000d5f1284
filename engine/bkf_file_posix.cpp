// CBkfFile on POSIX systems: pread at 64-bit offsets and an advisory flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/bkf_file.h"

namespace tallowin {

struct CBkfFile::Handle {
  int fd = -1;
};

CBkfFile::CBkfFile() = default;

CBkfFile::~CBkfFile() { Close(); }

bool CBkfFile::Open(const std::filesystem::path& path) {
  Close();
  // Without O_NONBLOCK, opening a named pipe waits for a writer, perhaps for
  // ever; it is refused below anyway. Reads of the files that are accepted
  // block as usual once the flag is cleared.
  openError_.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    openError_ = std::error_code(errno, std::generic_category());
    return false;
  }
  const auto refuse = [&](std::error_code why) {
    openError_ = why;
    ::close(fd);
    return false;
  };
  struct stat info {};
  if (::fstat(fd, &info) != 0) return refuse(std::error_code(errno, std::generic_category()));
  if (S_ISDIR(info.st_mode)) return refuse(std::make_error_code(std::errc::is_a_directory));
  if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) return refuse(BkfOpenError::kNotFileOrDisk);
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    return refuse(std::error_code(errno, std::generic_category()));
  }
  // A file system without locks must not stop a recovery; a lock held
  // elsewhere must.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return refuse(BkfOpenError::kInUse);
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  handle_ = std::make_unique<Handle>(Handle{fd});
  return true;
}

bool CBkfFile::IsOpen() const { return handle_ != nullptr; }

std::uint64_t CBkfFile::GetSize() const {
  if (!handle_) return 0;
  const off_t end = ::lseek(handle_->fd, 0, SEEK_END);
  return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

std::size_t CBkfFile::ReadAt(std::uint64_t offset, std::span<std::byte> buffer) {
  if (!handle_) return 0;
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const ssize_t got = ::pread(handle_->fd, buffer.data() + filled, buffer.size() - filled,
                                static_cast<off_t>(offset + filled));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return filled;
}

std::uint64_t CBkfFile::CopyToFile(std::uint64_t offset, std::uint64_t count, NativeFile fd) {
#ifdef __linux__
  if (!handle_) return 0;
  std::uint64_t copied = 0;
  while (copied < count) {
    auto from = static_cast<loff_t>(offset + copied);
    const ssize_t got = ::copy_file_range(handle_->fd, &from, fd, nullptr, count - copied, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    copied += static_cast<std::uint64_t>(got);
  }
  return copied;
#else
  (void)offset, (void)count, (void)fd;
  return 0;
#endif
}

void CBkfFile::Close() {
  if (handle_) ::close(handle_->fd);  // releases the lock too
  handle_.reset();
}

std::unique_ptr<BkfReader> OpenBkfFile(const std::filesystem::path& path) {
  auto file = std::make_unique<CBkfFile>();
  if (!file->Open(path)) return nullptr;
  return file;
}

std::filesystem::path AbsoluteBkfPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute;
}

bool BkfPathExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

}  // namespace tallowin

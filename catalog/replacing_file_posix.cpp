// ReplacingFile on POSIX systems: an O_TMPFILE file linked into place where
// the kernel and the file system offer it, a hidden named file otherwise.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

#include "catalog/replacing_file.h"

namespace tallowin {
namespace {

bool Failed(int& error) {
  error = errno;
  return false;
}

std::string HiddenName(const std::filesystem::path& target) {
  std::random_device entropy;
  return "." + target.filename().native() + ".tmp" + std::to_string(entropy());
}

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target, int& error) : target_(target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) {
    Failed(error);
    return;
  }
#ifdef O_TMPFILE
  fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ >= 0) return;
#endif
  // No unnamed files here: a hidden name that nothing else uses.
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temporary_ = HiddenName(target);
    fd_ = ::openat(folder_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    Failed(error);
    temporary_.clear();
  }
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  temporary_.clear();
  if (folder_ >= 0) ::close(folder_);
  folder_ = -1;
}

bool ReplacingFile::Write(std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Gives the unnamed file a name: the target's when nothing holds it yet,
// otherwise a hidden one that Commit then renames over the target.
bool ReplacingFile::LinkInPlace(int& error) {
#ifdef O_TMPFILE
  const auto link = [&](const std::filesystem::path& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    // Without /proc, only a privileged process can link by descriptor.
    return errno == ENOENT && ::linkat(fd_, "", folder_, name.c_str(), AT_EMPTY_PATH) == 0;
  };
  if (link(target_.filename())) return true;
  if (errno != EEXIST) return Failed(error);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary_ = HiddenName(target_);
    if (link(temporary_)) return true;
    if (errno != EEXIST) break;
  }
  const bool linked = Failed(error);
  temporary_.clear();
  return linked;
#else
  error = ENOTSUP;
  return false;
#endif
}

bool ReplacingFile::Commit(int& error) {
  if (::fsync(fd_) != 0) return Failed(error);
  if (temporary_.empty() && !LinkInPlace(error)) return false;
  if (!temporary_.empty()) {
    if (::renameat(folder_, temporary_.c_str(), folder_, target_.filename().c_str()) != 0) {
      return Failed(error);
    }
    temporary_.clear();
  }
  // The new name must survive a crash as well as the data. Some file
  // systems cannot sync a folder (EINVAL); their names are durable anyway.
  const bool synced = ::fsync(folder_) == 0 || errno == EINVAL;
  if (!synced) Failed(error);
  Discard();
  return synced;
}

}  // namespace tallowin

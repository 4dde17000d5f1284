// Reading the BKF file. The scan and the save read through BkfReader so that
// tests can stand in short reads and failures that real files seldom give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <system_error>

#include "catalog/native_file.h"

namespace tallowin {

class BkfReader {
 public:
  virtual ~BkfReader() = default;
  virtual std::uint64_t GetSize() const = 0;
  // Reads up to buffer.size() bytes at `offset` and returns how many bytes it
  // filled: fewer at the end of the file or where reading failed.
  virtual std::size_t ReadAt(std::uint64_t offset, std::span<std::byte> buffer) = 0;
  // Copies up to `count` bytes at `offset` into the open file `file` where the
  // system can do that without a trip through this process. Returns how many
  // bytes it copied, stopping at the first failure; the caller reads and
  // writes whatever is left, and so learns why.
  virtual std::uint64_t CopyToFile(std::uint64_t offset, std::uint64_t count, NativeFile file) {
    (void)offset, (void)count, (void)file;
    return 0;
  }
};

// The open BKF file: read-only, with an exclusive lock so that no other
// program holding such a lock works on it at the same time. Recovery never
// needs write access, so read-only media work too.
class CBkfFile final : public BkfReader {
 public:
  CBkfFile();
  ~CBkfFile() override;
  CBkfFile(const CBkfFile&) = delete;
  CBkfFile& operator=(const CBkfFile&) = delete;

  // Closes any open file first. False when the file is missing, not a
  // regular file or device, unreadable, or locked by another program;
  // OpenError then tells which.
  bool Open(const std::filesystem::path& path);
  bool IsOpen() const;
  // Why the last Open failed: a system error ("Is a directory", "Permission
  // denied"...) or one of BkfOpenError's.
  std::error_code OpenError() const { return openError_; }
  std::uint64_t GetSize() const override;
  std::size_t ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::uint64_t CopyToFile(std::uint64_t offset, std::uint64_t count, NativeFile file) override;
  void Close();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::error_code openError_;
};

// The reasons a BKF file is refused that are no system error.
enum class BkfOpenError {
  kNotFileOrDisk = 1,  // a device other than a disk, a pipe, a socket
  kInUse,              // another program holds its lock
};
const std::error_category& BkfOpenCategory();
std::error_code make_error_code(BkfOpenError error);

// Why `path` cannot be opened as a BKF file; nothing when it can.
std::error_code WhyBkfNotOpened(const std::filesystem::path& path);

using BkfOpener = std::function<std::unique_ptr<BkfReader>(const std::filesystem::path&)>;

// Opens a CBkfFile; null when it cannot be opened.
std::unique_ptr<BkfReader> OpenBkfFile(const std::filesystem::path& path);

// `path` made absolute as the system resolves it. A Windows device path
// ("\\.\PhysicalDrive1") stays as it is (std::filesystem::absolute would
// take it for a name in the current folder).
std::filesystem::path AbsoluteBkfPath(const std::filesystem::path& path);
// Whether anything exists at `path` that Open may try: a file, a folder, or
// a device, which Windows gives no attributes.
bool BkfPathExists(const std::filesystem::path& path);

}  // namespace tallowin

template <>
struct std::is_error_code_enum<tallowin::BkfOpenError> : std::true_type {};

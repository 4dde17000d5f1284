// CBkfFile on Windows: CreateFileW that lets others read but never write,
// reads at 64-bit offsets, and a lock on one byte far beyond any end, which
// refuses a second copy of this program but never a plain reader.
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <vector>

#include "engine/bkf_file.h"
#include "catalog/windows_files.h"

namespace tallowin {
namespace {

// No file reaches this byte, so its lock keeps no reader from any data.
constexpr std::uint64_t kLockByte = 0x7FFF'FFFF'FFFF'FFFEu;
// Disks and volumes read whole sectors only; every sector size divides this.
constexpr std::uint64_t kDeviceAlignment = 4096;
// ReadFile counts in 32 bits.
constexpr std::size_t kLargestRead = 1u << 30;

HANDLE Raw(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return where;
}

// Reads as much of `buffer` as the handle gives at `offset`.
std::size_t ReadPlain(HANDLE file, std::uint64_t offset, std::span<std::byte> buffer) {
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    OVERLAPPED where = At(offset + filled);
    const auto asked = static_cast<DWORD>(std::min(buffer.size() - filled, kLargestRead));
    DWORD got = 0;
    if (!::ReadFile(file, buffer.data() + filled, asked, &got, &where) || got == 0) break;
    filled += got;
  }
  return filled;
}

}  // namespace

struct CBkfFile::Handle {
  UniqueNativeFile file;
  bool device = false;    // a disk or a volume, sized by the system
  std::uint64_t size = 0;  // a device's
};

CBkfFile::CBkfFile() = default;

CBkfFile::~CBkfFile() { Close(); }

bool CBkfFile::Open(const std::filesystem::path& path) {
  Close();
  openError_.clear();
  const auto fail = [&](std::error_code why) {
    openError_ = why;
    return false;
  };
  const auto failLast = [&] { return fail({ErrnoFromWindowsError(::GetLastError()), std::generic_category()}); };
  const std::wstring name = ExtendedLengthPath(path);
  if (name.empty()) return fail({ENOENT, std::generic_category()});
  // A disk or a volume is open for writing by the system itself, so it can
  // only be read beside those writers.
  const bool devicePath = name.starts_with(LR"(\\.\)");
  const DWORD sharing = devicePath ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS, so it fails here.
  UniqueNativeFile file(reinterpret_cast<NativeFile>(::CreateFileW(
      name.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  if (!file.IsOpen()) {
    // A file that another program holds open for writing.
    if (::GetLastError() == ERROR_SHARING_VIOLATION) return fail(BkfOpenError::kInUse);
    // A folder opens only with backup semantics: it is named as such.
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return fail({EISDIR, std::generic_category()});
    }
    return failLast();
  }
  const HANDLE raw = Raw(file.Get());
  // Pipes, consoles and character devices: never a BKF file, and a read of
  // them could wait for ever.
  if (::GetFileType(raw) != FILE_TYPE_DISK) return fail(BkfOpenError::kNotFileOrDisk);

  auto handle = std::make_unique<Handle>();
  GET_LENGTH_INFORMATION length{};
  DWORD returned = 0;
  if (::DeviceIoControl(raw, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length, &returned, nullptr)) {
    handle->device = true;
    handle->size = static_cast<std::uint64_t>(length.Length.QuadPart);
  } else {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(raw, &size)) return failLast();
  }
  // A file system without locks must not stop a recovery; a lock held
  // elsewhere must.
  OVERLAPPED where = At(kLockByte);
  if (!::LockFileEx(raw, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) &&
      ::GetLastError() == ERROR_LOCK_VIOLATION) {
    return fail(BkfOpenError::kInUse);
  }
  handle->file = std::move(file);
  handle_ = std::move(handle);
  return true;
}

bool CBkfFile::IsOpen() const { return handle_ != nullptr; }

std::uint64_t CBkfFile::GetSize() const {
  if (!handle_) return 0;
  if (handle_->device) return handle_->size;
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(Raw(handle_->file.Get()), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

std::size_t CBkfFile::ReadAt(std::uint64_t offset, std::span<std::byte> buffer) {
  if (!handle_) return 0;
  const HANDLE raw = Raw(handle_->file.Get());
  if (!handle_->device) return ReadPlain(raw, offset, buffer);
  // A device reads whole sectors: the sectors that hold the asked bytes.
  if (offset >= handle_->size) return 0;
  const std::uint64_t wanted = std::min<std::uint64_t>(buffer.size(), handle_->size - offset);
  const std::uint64_t first = offset / kDeviceAlignment * kDeviceAlignment;
  const std::uint64_t end = (offset + wanted + kDeviceAlignment - 1) / kDeviceAlignment * kDeviceAlignment;
  std::vector<std::byte> sectors(static_cast<std::size_t>(end - first));
  const std::size_t got = ReadPlain(raw, first, sectors);
  if (got <= offset - first) return 0;
  const std::size_t usable = std::min<std::size_t>(got - static_cast<std::size_t>(offset - first),
                                                   static_cast<std::size_t>(wanted));
  std::copy_n(sectors.begin() + static_cast<std::ptrdiff_t>(offset - first), usable, buffer.begin());
  return usable;
}

// Windows has no copy between two open files that skips this process.
std::uint64_t CBkfFile::CopyToFile(std::uint64_t offset, std::uint64_t count, NativeFile file) {
  (void)offset, (void)count, (void)file;
  return 0;
}

void CBkfFile::Close() { handle_.reset(); }  // closing the handle releases the lock

std::unique_ptr<BkfReader> OpenBkfFile(const std::filesystem::path& path) {
  auto file = std::make_unique<CBkfFile>();
  if (!file->Open(path)) return nullptr;
  return file;
}

std::filesystem::path AbsoluteBkfPath(const std::filesystem::path& path) {
  const std::wstring full = ExtendedLengthPath(path);
  if (full.empty()) return path;
  // Shown to the user and kept in snapshots without the "\\?\" prefix.
  if (full.starts_with(LR"(\\?\UNC\)")) return std::filesystem::path(LR"(\\)" + full.substr(8));
  if (full.starts_with(LR"(\\?\)")) return std::filesystem::path(full.substr(4));
  return std::filesystem::path(full);  // a device path
}

bool BkfPathExists(const std::filesystem::path& path) {
  const std::wstring full = ExtendedLengthPath(path);
  return !full.empty() && (full.starts_with(LR"(\\.\)") || ::GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES);
}

}  // namespace tallowin

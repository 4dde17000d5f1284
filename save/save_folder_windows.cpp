// SaveFolder and SavedFile on Windows: NtCreateFile relative to the open
// folder (the openat of Windows), never through a junction or a symbolic
// link, and SetFileTime with the creation time too.
#include "save/save_folder.h"

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "catalog/windows_files.h"

// windows.h names CreateFileW so; the save folder's own CreateFile is meant.
#undef CreateFile

namespace tallowin {
namespace {

constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Reparse points (junctions, symbolic links) are opened as themselves, never followed.
constexpr ULONG kNoFollow = FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT;
constexpr std::size_t kLargestWrite = std::size_t{1} << 30;  // WriteFile counts in 32 bits
// Some file systems keep access times by the day and others by two seconds.
constexpr std::uint64_t kTimeTolerance = 2ull * 86'400 * 10'000'000;

HANDLE Raw(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

// One name in the folder: never a path, and never a name that means another folder.
bool IsSingleName(const std::wstring& name) {
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/") == std::wstring::npos;
}

// NtCreateFile of `name` inside `folder`; kNoNativeFile and `error` on failure.
NativeFile OpenInFolder(NativeFile folder, const std::string& name, ACCESS_MASK access, ULONG share,
                        ULONG disposition, ULONG options, int& error) {
  std::wstring wide = WideFromUtf8(name);
  if (!IsSingleName(wide) || wide.size() * sizeof(wchar_t) > std::numeric_limits<USHORT>::max()) {
    error = EINVAL;
    return kNoNativeFile;
  }
  UNICODE_STRING text{static_cast<USHORT>(wide.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(wide.size() * sizeof(wchar_t)), wide.data()};
  OBJECT_ATTRIBUTES attributes{};
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, Raw(folder), nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE opened = nullptr;
  const NTSTATUS status = ::NtCreateFile(&opened, access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                                         disposition, options | kNoFollow, nullptr, 0);
  if (!NT_SUCCESS(status)) {
    error = ErrnoFromNtStatus(status);
    return kNoNativeFile;
  }
  return reinterpret_cast<NativeFile>(opened);
}

bool IsReparsePoint(NativeFile file) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  return !::GetFileInformationByHandleEx(Raw(file), FileAttributeTagInfo, &tag, sizeof tag) ||
         (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(std::uint64_t ticks) {
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// A time that SetFileTime takes: 0 means "leave as it is" to it, and values
// of 2^63 and more are no time at all.
bool Settable(FileTime time) { return time != 0 && time < (std::uint64_t{1} << 63); }

int LastError() { return ErrnoFromWindowsError(::GetLastError()); }

// Holes where the file system keeps them; elsewhere the zeros are written,
// which costs room but nothing else.
void MarkSparse(NativeFile file) {
  FILE_SET_SPARSE_BUFFER sparse{TRUE};
  DWORD returned = 0;
  ::DeviceIoControl(Raw(file), FSCTL_SET_SPARSE, &sparse, sizeof sparse, nullptr, 0, &returned, nullptr);
}

// A gap is about to open between the file's end and `at`: the file becomes
// sparse first, so that the gap is never written as zeros.
void MarkSparseBeforeGap(NativeFile file, std::uint64_t at) {
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(Raw(file), &size) && at > static_cast<std::uint64_t>(size.QuadPart)) MarkSparse(file);
}

}  // namespace

SaveFolder SaveFolder::OpenDestination(const std::filesystem::path& path, int& error) {
  const std::wstring name = ExtendedLengthPath(path);
  if (name.empty()) {
    error = ENOENT;
    return {};
  }
  UniqueNativeFile folder(reinterpret_cast<NativeFile>(::CreateFileW(
      name.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  if (!folder.IsOpen()) {
    error = LastError();
    return {};
  }
  FILE_BASIC_INFO basic{};
  if (!::GetFileInformationByHandleEx(Raw(folder.Get()), FileBasicInfo, &basic, sizeof basic)) {
    error = LastError();
    return {};
  }
  if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    error = ENOTDIR;
    return {};
  }
  return SaveFolder(folder.Release());
}

SaveFolder SaveFolder::CreateFolder(const std::string& name, int& error) const {
  return SaveFolder(OpenInFolder(fd_.Get(), name, kFolderAccess, kShareAll, FILE_CREATE, FILE_DIRECTORY_FILE, error));
}

SaveFolder SaveFolder::OpenFolder(const std::string& name, int& error) const {
  UniqueNativeFile folder(OpenInFolder(fd_.Get(), name, kFolderAccess, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, error));
  if (folder.IsOpen() && IsReparsePoint(folder.Get())) {
    error = ELOOP;
    return {};
  }
  return SaveFolder(folder.Release());
}

SavedFile SaveFolder::CreateFile(const std::string& name, int& error) const {
  return SavedFile(OpenInFolder(fd_.Get(), name, GENERIC_WRITE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE, error));
}

void SaveFolder::RemoveFile(const std::string& name) const {
  int ignored = 0;
  UniqueNativeFile file(OpenInFolder(fd_.Get(), name, DELETE | SYNCHRONIZE, kShareAll, FILE_OPEN,
                                     FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE, ignored));
}

bool SaveFolder::Holds(const std::string& name) const {
  int ignored = 0;
  const UniqueNativeFile there(OpenInFolder(fd_.Get(), name, FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, FILE_OPEN,
                                            FILE_OPEN_REPARSE_POINT, ignored));
  return there.IsOpen();
}

bool SaveFolder::RenameFile(const std::string& from, const std::string& to, int& error) const {
  UniqueNativeFile file(OpenInFolder(fd_.Get(), from, DELETE | SYNCHRONIZE, kShareAll, FILE_OPEN, 0, error));
  if (!file.IsOpen()) return false;
  const std::wstring wide = WideFromUtf8(to);
  if (!IsSingleName(wide)) {
    error = EINVAL;
    return false;
  }
  error = RenameInFolder(Raw(file.Get()), Raw(fd_.Get()), wide, false);
  return error == 0;
}

bool SavedFile::WriteAt(std::uint64_t offset, std::span<const std::byte> bytes, int& error) {
  MarkSparseBeforeGap(fd_.Get(), offset);
  while (!bytes.empty()) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (!::WriteFile(Raw(fd_.Get()), bytes.data(), chunk, &written, &where)) {
      error = LastError();
      return false;
    }
    if (written == 0) {
      error = EIO;
      return false;
    }
    bytes = bytes.subspan(written);
    offset += written;
  }
  return true;
}

bool SavedFile::Extend(std::uint64_t size, int& error) {
  if (size > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
    error = EFBIG;
    return false;
  }
  MarkSparseBeforeGap(fd_.Get(), size);
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFileInformationByHandle(Raw(fd_.Get()), FileEndOfFileInfo, &end, sizeof end)) {
    error = LastError();
    return false;
  }
  return true;
}

void SavedFile::SetTimes(FileTime modified, FileTime accessed, FileTime created) {
  const HANDLE file = Raw(fd_.Get());
  FILETIME before[3]{};  // created, accessed, modified
  if (!::GetFileTime(file, &before[0], &before[1], &before[2])) return;
  const FileTime wanted[3] = {created, accessed, modified};
  FILETIME times[3]{};
  for (int i = 0; i < 3; ++i) times[i] = FromTicks(Settable(wanted[i]) ? wanted[i] : 0);
  if (!::SetFileTime(file, &times[0], &times[1], &times[2])) {
    // Each on its own, so that a time the system refuses costs only itself.
    const FILETIME leave{};
    ::SetFileTime(file, &times[0], &leave, &leave);
    ::SetFileTime(file, &leave, &times[1], &leave);
    ::SetFileTime(file, &leave, &leave, &times[2]);
  }
  // A file system clamps a time beyond its range to the range's end; such a
  // time is put back as it was rather than kept wrong.
  FILETIME after[3]{};
  if (!::GetFileTime(file, &after[0], &after[1], &after[2])) return;
  FILETIME restore[3]{};
  bool restoring = false;
  for (int i = 0; i < 3; ++i) {
    if (!Settable(wanted[i])) continue;
    const std::uint64_t kept = Ticks(after[i]);
    const std::uint64_t difference = kept > wanted[i] ? kept - wanted[i] : wanted[i] - kept;
    if (difference > kTimeTolerance) {
      restore[i] = before[i];
      restoring = true;
    }
  }
  if (restoring) ::SetFileTime(file, &restore[0], &restore[1], &restore[2]);
}

bool SavedFile::Close(int& error) {
  if (!CloseNativeFile(fd_.Release())) {
    error = LastError();
    return false;
  }
  return true;
}

}  // namespace tallowin

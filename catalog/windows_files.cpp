#include "catalog/windows_files.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

#include "catalog/text_convert.h"

namespace tallowin {

std::wstring ExtendedLengthPath(const std::filesystem::path& path) {
  const std::wstring& given = path.native();
  if (given.empty()) return {};
  if (given.starts_with(LR"(\\?\)") || given.starts_with(LR"(\\.\)")) return given;
  // GetFullPathNameW has no length limit of its own; it asks for the room.
  std::vector<wchar_t> full(given.size() + MAX_PATH);
  for (;;) {
    const DWORD length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      break;
    }
    full.resize(length + 1);
  }
  std::wstring text(full.begin(), full.end());
  if (text.starts_with(LR"(\\?\)") || text.starts_with(LR"(\\.\)")) return text;
  if (text.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + text.substr(2);
  return LR"(\\?\)" + text;
}

int ErrnoFromWindowsError(unsigned long error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
      return ELOOP;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return ENOTSUP;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return EIO;
  }
}

int ErrnoFromNtStatus(long status) { return ErrnoFromWindowsError(::RtlNtStatusToDosError(status)); }

std::wstring WideFromUtf8(std::string_view name) {
  const std::u16string wide = Utf16FromBytes(name);
  return {wide.begin(), wide.end()};
}

int RenameInFolder(void* file, void* folder, std::wstring_view name, bool replace) {
  // The structure ends in the name, as long as it is.
  const std::size_t nameBytes = name.size() * sizeof(wchar_t);
  std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + nameBytes + sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  rename->ReplaceIfExists = replace ? TRUE : FALSE;
  rename->RootDirectory = folder;
  rename->FileNameLength = static_cast<ULONG>(nameBytes);
  std::memcpy(rename->FileName, name.data(), nameBytes);
  IO_STATUS_BLOCK io{};
  const NTSTATUS status = ::NtSetInformationFile(file, &io, rename, static_cast<ULONG>(buffer.size()),
                                                 static_cast<FILE_INFORMATION_CLASS>(FileRenameInformation));
  return NT_SUCCESS(status) ? 0 : ErrnoFromNtStatus(status);
}

}  // namespace tallowin

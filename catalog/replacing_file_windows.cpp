// ReplacingFile on Windows: a hidden file beside the target, marked for
// deletion from the moment it exists, so that the system removes it whatever
// ends the process; the mark is lifted only to rename it over the target.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>

#include "catalog/replacing_file.h"
#include "catalog/windows_files.h"

namespace tallowin {
namespace {

HANDLE Raw(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

std::wstring HiddenName(const std::filesystem::path& target) {
  std::random_device entropy;
  return L"." + target.filename().native() + L".tmp" + std::to_wstring(entropy());
}

bool Failed(int& error) {
  error = ErrnoFromWindowsError(::GetLastError());
  return false;
}

bool MarkForDeletion(HANDLE file, bool deleted) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleted ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target, int& error) : target_(target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const std::wstring folderName = ExtendedLengthPath(folder);
  // Only to rename into: everyone else may go on using the folder.
  folder_ = reinterpret_cast<NativeFile>(
      ::CreateFileW(folderName.c_str(), FILE_TRAVERSE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (folder_ == kNoNativeFile) {
    Failed(error);
    return;
  }
  for (int attempt = 0; attempt < 16 && fd_ == kNoNativeFile; ++attempt) {
    temporary_ = folder / HiddenName(target);
    fd_ = reinterpret_cast<NativeFile>(::CreateFileW(
        ExtendedLengthPath(temporary_).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr));
    if (fd_ == kNoNativeFile && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (fd_ == kNoNativeFile) {
    Failed(error);
  } else if (!MarkForDeletion(Raw(fd_), true)) {
    // Without the mark a killed process would leave the file behind.
    Failed(error);
    ::CloseHandle(Raw(fd_));
    fd_ = kNoNativeFile;
    ::DeleteFileW(ExtendedLengthPath(temporary_).c_str());
  }
  temporary_.clear();  // the system removes it: nothing to do by name
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (fd_ != kNoNativeFile) CloseNativeFile(fd_);  // still marked: the file goes with it
  fd_ = kNoNativeFile;
  if (folder_ != kNoNativeFile) CloseNativeFile(folder_);
  folder_ = kNoNativeFile;
}

bool ReplacingFile::Write(std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(Raw(fd_), bytes.data(), chunk, &written, nullptr)) return Failed(error);
    if (written == 0) {
      error = EIO;
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool ReplacingFile::Commit(int& error) {
  if (!::FlushFileBuffers(Raw(fd_))) return Failed(error);
  if (!MarkForDeletion(Raw(fd_), false)) return Failed(error);
  const std::wstring name = target_.filename().native();
  error = RenameInFolder(Raw(fd_), Raw(folder_), name, true);
  if (error != 0) {
    MarkForDeletion(Raw(fd_), true);
    return false;
  }
  // The target keeps no trace of the temporary file's looks.
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  ::SetFileInformationByHandle(Raw(fd_), FileBasicInfo, &basic, sizeof basic);
  Discard();
  return true;
}

}  // namespace tallowin

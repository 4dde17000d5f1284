#include <windows.h>

#include "catalog/native_file.h"
#include "tests/support/file_facts.h"

namespace tallowin::test {
namespace {

UniqueNativeFile OpenForFacts(const std::filesystem::path& path) {
  return UniqueNativeFile(reinterpret_cast<NativeFile>(
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
}

FileTime Ticks(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

FileTimes TimesOf(const std::filesystem::path& path) {
  const UniqueNativeFile file = OpenForFacts(path);
  FILETIME created{}, accessed{}, modified{};
  if (!file.IsOpen() || !::GetFileTime(reinterpret_cast<HANDLE>(file.Get()), &created, &accessed, &modified)) {
    return {};
  }
  return {Ticks(modified), Ticks(accessed), Ticks(created)};
}

std::uint64_t AllocatedBytes(const std::filesystem::path& path) {
  const UniqueNativeFile file = OpenForFacts(path);
  FILE_STANDARD_INFO standard{};
  if (!file.IsOpen() ||
      !::GetFileInformationByHandleEx(reinterpret_cast<HANDLE>(file.Get()), FileStandardInfo, &standard, sizeof standard)) {
    return 0;
  }
  return static_cast<std::uint64_t>(standard.AllocationSize.QuadPart);
}

}  // namespace tallowin::test

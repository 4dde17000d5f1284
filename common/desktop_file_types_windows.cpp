// Type descriptions from the Windows shell, by name only: with
// SHGFI_USEFILEATTRIBUTES the shell never looks at the disk.
#include "common/desktop_file_types.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace tallowin {
namespace {

// The shell asks for COM on every thread that calls it; the scan asks from
// its worker thread.
class ComOnThisThread {
 public:
  ComOnThisThread() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComOnThisThread() {
    if (initialised_) ::CoUninitialize();
  }
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;

 private:
  bool initialised_;
};

}  // namespace

FileTypeInfo DesktopFileType(std::u16string_view extension) {
  if (extension.empty()) return GenericFileType(extension);
  thread_local ComOnThisThread com;
  std::wstring probe = L"file.";
  probe.append(extension.begin(), extension.end());
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(probe.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) == 0 ||
      info.szTypeName[0] == L'\0') {
    return GenericFileType(extension);
  }
  const std::wstring_view name(info.szTypeName);
  return {std::u16string(name.begin(), name.end()), {}};
}

}  // namespace tallowin

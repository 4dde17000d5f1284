#include "catalog/activity_log.h"

#ifdef _WIN32
#include <cwchar>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "catalog/utf16_bytes.h"

namespace tallowin {

ActivityLog::ActivityLog(std::filesystem::path path) : path_(std::move(path)) {}

std::filesystem::path ActivityLog::DefaultPath() {
#ifdef _WIN32
  // A standard user cannot write the root of C: on Windows 10 and 11, so the
  // log lives in the user's own local application data.
  if (const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA"); local != nullptr && *local != L'\0') {
    return std::filesystem::path(local) / L"TwBkf.log";
  }
  if (const wchar_t* profile = ::_wgetenv(L"USERPROFILE"); profile != nullptr && *profile != L'\0') {
    return std::filesystem::path(profile) / L"AppData" / L"Local" / L"TwBkf.log";
  }
  return std::filesystem::path(L"TwBkf.log");
#else
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  return std::filesystem::path(home != nullptr ? home : ".") / "TwBkf.log";
#endif
}

void ActivityLog::DeleteLogFile() const {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void ActivityLog::WriteLogText(std::u16string_view text) const {
  const std::string bytes = Utf16LeBytes(text);
  std::ofstream file(path_, std::ios::binary | std::ios::app);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tallowin

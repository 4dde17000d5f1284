#include "catalog/activity_log.h"

#ifndef _WIN32
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
  return std::filesystem::path("c:\\TwBkf.log");
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

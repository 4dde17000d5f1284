#include <sys/stat.h>

#include "tests/support/file_facts.h"

namespace tallowin::test {
namespace {

constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000;

FileTime Ticks(const timespec& time) {
  return static_cast<FileTime>(kUnixEpochTicks + time.tv_sec * 10'000'000LL + time.tv_nsec / 100);
}

}  // namespace

FileTimes TimesOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {Ticks(info.st_mtim), Ticks(info.st_atim), 0};
}

std::uint64_t AllocatedBytes(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

}  // namespace tallowin::test

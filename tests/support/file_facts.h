// What the file system keeps of a saved file, asked the platform's own way,
// so that the same expectations hold on every system.
#pragma once

#include <cstdint>
#include <filesystem>

#include "catalog/number_text.h"

namespace tallowin::test {

struct FileTimes {
  FileTime modified = 0;
  FileTime accessed = 0;
  FileTime created = 0;  // 0 where the system keeps no creation time of its own
};

FileTimes TimesOf(const std::filesystem::path& path);

// The room the file takes on disk: less than its size where it has holes.
std::uint64_t AllocatedBytes(const std::filesystem::path& path);

}  // namespace tallowin::test

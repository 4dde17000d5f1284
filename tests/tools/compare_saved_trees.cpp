// Compares what twbkf saved on Linux with what twbkf.exe saved under Wine:
//   compare_saved_trees LINUX_FOLDER WINDOWS_FOLDER
// Every file and folder below LINUX_FOLDER must be below WINDOWS_FOLDER
// under its name mended by the Windows rules (the name that Windows gets
// for it), and nothing else may be there; files must hold the same bytes
// and carry the same modification and access times, to the 100 ns. Times
// are read before the bytes, so that reading cannot touch them. Prints
// every difference and exits 1 on any; prints the count of what matched.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "save/safe_names.h"
#include "catalog/text_convert.h"

namespace {

namespace fs = std::filesystem;
using tallowin::NameRules;

struct Entry {
  bool folder = false;
  std::uint64_t size = 0;
  long long modified = 0, accessed = 0;  // 100 ns units since 1970
  fs::path path;
};

long long Ticks(const timespec& time) { return time.tv_sec * 10'000'000LL + time.tv_nsec / 100; }

// Every entry below `root` by the relative path that Windows gives it.
std::map<std::string, Entry> Walk(const fs::path& root, bool mendForWindows, int& problems) {
  std::map<std::string, Entry> entries;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::string key;
    for (const auto& part : fs::relative(item.path(), root)) {
      key += (key.empty() ? "" : "/") +
             (mendForWindows ? tallowin::SafeName(tallowin::Utf16FromBytes(part.native()), NameRules::kWindows)
                             : part.native());
    }
    struct stat info {};
    if (::lstat(item.path().c_str(), &info) != 0) {
      std::printf("cannot read %s\n", item.path().c_str());
      ++problems;
      continue;
    }
    const Entry entry{S_ISDIR(info.st_mode), static_cast<std::uint64_t>(info.st_size), Ticks(info.st_mtim),
                      Ticks(info.st_atim), item.path()};
    if (!entries.emplace(key, entry).second) {
      std::printf("two entries come to one Windows name: %s\n", key.c_str());
      ++problems;
    }
  }
  return entries;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: compare_saved_trees LINUX_FOLDER WINDOWS_FOLDER\n");
    return 2;
  }
  int problems = 0;
  const auto onLinux = Walk(argv[1], true, problems);
  const auto windows = Walk(argv[2], false, problems);
  std::size_t files = 0, folders = 0;
  for (const auto& [key, expected] : onLinux) {
    const auto found = windows.find(key);
    if (found == windows.end()) {
      std::printf("missing under Windows: %s\n", key.c_str());
      ++problems;
      continue;
    }
    const Entry& actual = found->second;
    if (expected.folder || actual.folder) {
      if (expected.folder != actual.folder) {
        std::printf("a file on one side, a folder on the other: %s\n", key.c_str());
        ++problems;
      }
      ++folders;
      continue;
    }
    bool same = true;
    const auto differs = [&](const char* what, long long a, long long b) {
      if (a == b) return;
      std::printf("%s differs: %s (Linux %lld, Windows %lld)\n", what, key.c_str(), a, b);
      same = false;
    };
    differs("size", static_cast<long long>(expected.size), static_cast<long long>(actual.size));
    differs("modification time", expected.modified, actual.modified);
    differs("access time", expected.accessed, actual.accessed);
    if (same && Contents(expected.path) != Contents(actual.path)) {
      std::printf("bytes differ: %s\n", key.c_str());
      same = false;
    }
    if (same) {
      ++files;
    } else {
      ++problems;
    }
  }
  for (const auto& [key, entry] : windows) {
    if (!onLinux.contains(key)) {
      std::printf("only under Windows: %s\n", key.c_str());
      ++problems;
    }
  }
  std::printf("%zu file(s) and %zu folder(s) the same, %d difference(s)\n", files, folders, problems);
  return problems == 0 ? 0 : 1;
}

// Runs a fuzz target's LLVMFuzzerTestOneInput over saved inputs, without
// libFuzzer: each argument is a file, or a folder whose files (and those of
// its subfolders) are run in name order. A crash or sanitizer report ends the
// program as it would end the fuzzer; an argument that names nothing, or a
// run that finds no input at all, fails too, so that a missing corpus is not
// mistaken for a passing one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // An empty input is passed as a null pointer, as libFuzzer may pass it.
  const auto* data = bytes.empty() ? nullptr : reinterpret_cast<const std::uint8_t*>(bytes.data());
  LLVMFuzzerTestOneInput(data, bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
    return 2;
  }
  std::size_t inputs = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path argument(argv[i]);
    std::error_code error;
    if (std::filesystem::is_directory(argument, error)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(argument, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      if (error) {
        std::fprintf(stderr, "cannot list %s: %s\n", argv[i], error.message().c_str());
        ok = false;
      }
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        if (RunFile(file)) {
          ++inputs;
        } else {
          ok = false;
        }
      }
    } else if (std::filesystem::is_regular_file(argument, error)) {
      if (RunFile(argument)) {
        ++inputs;
      } else {
        ok = false;
      }
    } else {
      std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
      ok = false;
    }
  }
  std::printf("%zu inputs replayed\n", inputs);
  if (inputs == 0) {
    std::fprintf(stderr, "no inputs found\n");
    return 1;
  }
  return ok ? 0 : 1;
}

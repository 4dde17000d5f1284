// Helpers shared by the benchmark programs: a fast pseudo-random generator,
// a writer that lays a large BKF file down piece by piece, page-cache warming,
// the plain sequential read that scans are compared with, and /proc readings.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/mtf_writer.h"

namespace tallowin::bench {

// The splitmix64 generator: fast enough to fill gigabytes of file contents.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9e3779b97f4a7c15ULL) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in [low, high].
  std::uint64_t Between(std::uint64_t low, std::uint64_t high) {
    return low + Next() % (high - low + 1);
  }
  void Fill(std::string& out, std::size_t size) {
    out.resize(size);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      const std::uint64_t v = Next();
      std::memcpy(out.data() + i, &v, 8);
    }
    if (i < size) {
      const std::uint64_t v = Next();
      std::memcpy(out.data() + i, &v, size - i);
    }
  }

 private:
  std::uint64_t state_;
};

// Writes a BKF file in pieces: each piece is one MtfWriter whose bytes are
// appended to the file once it has grown past `flushBytes`. Every piece is
// padded to the block grid, so blocks stay on it across pieces.
class ChunkedBkfWriter {
 public:
  // A styled writer's pieces are padded to its format logical block, so that
  // its blocks keep their grid across pieces.
  ChunkedBkfWriter(const std::filesystem::path& path, std::size_t flushBytes,
                   test::WriterStyle style = test::WriterStyle::kMinimal)
      : out_(path, std::ios::binary | std::ios::trunc), flushBytes_(flushBytes), style_(style), writer_(style) {
    if (!out_) throw std::runtime_error("cannot create " + path.string());
  }
  test::MtfWriter& Writer() { return writer_; }
  // Bytes in the file so far plus those of the current piece.
  std::uint64_t Size() const { return written_ + writer_.Size(); }
  void MaybeFlush() {
    if (writer_.Size() >= flushBytes_) Flush();
  }
  void Flush() {
    const std::size_t grid = style_ == test::WriterStyle::kMinimal ? 512 : writer_.LogicalBlockSize();
    writer_.PadTo((writer_.Size() + grid - 1) / grid * grid);
    const std::vector<std::byte> bytes = writer_.TakeBytes();
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out_) throw std::runtime_error("write failed");
    written_ += bytes.size();
  }
  void Finish() {
    Flush();
    out_.close();
    if (!out_) throw std::runtime_error("close failed");
  }

 private:
  std::ofstream out_;
  std::size_t flushBytes_;
  test::WriterStyle style_;
  test::MtfWriter writer_;
  std::uint64_t written_ = 0;
};

inline double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Reads the whole file with pread calls of `readSize` bytes (64 KiB unless
// told) into a page-aligned buffer (the kernel fills an aligned buffer
// fastest, so this is the best a reader can do); returns the bytes read. The
// XOR of one byte per read keeps the loop from being thought useless.
inline std::uint64_t PlainRead(const std::filesystem::path& path, unsigned& sink,
                               std::size_t readSize = 65536) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path.string());
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  void* memory = std::aligned_alloc(4096, (readSize + 4095) / 4096 * 4096);
  if (memory == nullptr) throw std::bad_alloc();
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(static_cast<unsigned char*>(memory), &std::free);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer.get(), readSize, static_cast<off_t>(total));
    if (got <= 0) break;
    sink ^= buffer.get()[static_cast<std::size_t>(got) - 1];
    total += static_cast<std::uint64_t>(got);
  }
  ::close(fd);
  return total;
}

// A timed PlainRead of the whole file, which must be `expected` bytes long.
inline double TimedRead(const std::filesystem::path& path, std::uint64_t expected, unsigned& sink,
                        std::size_t readSize = 65536) {
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t got = PlainRead(path, sink, readSize);
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  if (got != expected) throw std::runtime_error("short read");
  return seconds;
}

// A value in kB from /proc/self/status ("VmRSS", "VmHWM"), or -1.
inline long ProcStatusKb(std::string_view field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > field.size() && line.compare(0, field.size(), field) == 0 &&
        line[field.size()] == ':') {
      return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
  }
  return -1;
}

// Resets the peak resident set size (VmHWM) to the current one.
inline bool ResetPeakRss() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Best(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// Deletes a file this run made when it goes out of scope, unless kept; a
// failed run leaves no big file behind either.
class TempFileGuard {
 public:
  TempFileGuard() = default;
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  ~TempFileGuard() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove(path_, ignored);
  }
  void Own(const std::filesystem::path& path) { path_ = path; }
  bool Owns() const { return !path_.empty(); }

 private:
  std::filesystem::path path_;
};

// The three load averages, to show how busy the machine was during a run.
inline std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

inline std::filesystem::path TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path("/tmp");
}

// Reads the whole file once so that what follows finds it in the page cache.
inline void WarmPageCache(const std::filesystem::path& path, unsigned& sink) {
  const auto start = std::chrono::steady_clock::now();
  PlainRead(path, sink);
  std::printf("warming read: %.2f s\n", Seconds(std::chrono::steady_clock::now() - start));
}

// The end of a run: the load it ran under, and the BKF file if it stays.
inline void Finish(const std::filesystem::path& file, bool kept) {
  std::printf("load average at end: %s\n", LoadAverage().c_str());
  if (kept) std::printf("kept %s\n", file.c_str());
}

// The rows a scan found, with the files written when this run made the
// file (`expectedRows` is -1 for a file given as it is).
inline void ReportRows(std::int64_t rows, std::int64_t expectedRows) {
  std::printf("rows: %lld", static_cast<long long>(rows));
  if (expectedRows >= 0) std::printf(" (files written: %lld)", static_cast<long long>(expectedRows));
  std::printf("\n");
}

// The end of a scan's run: a warning when the scan found other than the
// files written, the activity log removed, and Finish.
inline int EndScanRun(const std::filesystem::path& file, bool kept, const std::filesystem::path& log,
                      std::int64_t rows, std::int64_t expectedRows) {
  if (expectedRows >= 0 && rows != expectedRows) std::printf("WARNING: row count differs from the files written\n");
  std::error_code ignored;
  std::filesystem::remove(log, ignored);
  Finish(file, kept);
  return 0;
}

// main() of a benchmark program: an error ends it with a message and exit 1.
template <typename Run>
int Main(const char* name, Run run) {
  try {
    return run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", name, error.what());
    return 1;
  }
}

}  // namespace tallowin::bench

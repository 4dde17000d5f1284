// Small helpers for tests that touch the file system or watch a scan.
#pragma once

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scan_observer.h"
#include "tests/support/mtf_writer.h"

namespace tallowin::test {

inline int ProcessId() {
#ifdef _WIN32
  return ::_getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

// A fresh folder below the test temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? info->name() : "test";
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
    // A folder left by an earlier run is never reused: Wine gives its
    // programs the same few process ids, and what Windows cannot remove
    // (read-only files, paths beyond 260 characters) may still be there.
    do {
      path_ = std::filesystem::path(::testing::TempDir()) /
              ("tallowin_" + name + "_" + std::to_string(ProcessId()) + "_" +
               std::to_string(counter++));
    } while (!std::filesystem::create_directories(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// UTF-16LE, low byte first, as the program's text files hold it: the
// writer's own form, not the library's, so that expectations stand alone.
inline std::string Le(std::u16string_view text) { return Utf16Le(text); }

// Records what a scan reports. Events arrive on the worker thread.
class RecordingObserver : public ScanObserver {
 public:
  void OnOpenFailed(std::u16string_view message) override {
    std::lock_guard lock(mutex_);
    openFailed.emplace_back(message);
  }
  void OnSearching() override { ++searching; }
  // A report whose file count moved tells a file found; the others tell a
  // window examined.
  void OnProgress(const JobProgress& report) override {
    std::lock_guard lock(mutex_);
    if (report.files != files_) {
      files_ = report.files;
      filesFound.push_back(report.files);
    } else {
      progress.emplace_back(report.done, report.total);
    }
  }
  void OnStopped() override { ++stopped; }
  void OnScanFinished(const ScanTotals& totals, std::u16string_view noDataMessage) override {
    std::lock_guard lock(mutex_);
    finished.emplace_back(totals.rows, std::u16string(noDataMessage));
    lastTotals = totals;
  }

  std::vector<std::u16string> openFailed;
  std::atomic<int> searching{0};
  std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
  std::vector<std::uint64_t> filesFound;
  std::atomic<int> stopped{0};
  std::vector<std::pair<std::int32_t, std::u16string>> finished;
  ScanTotals lastTotals;

 private:
  std::mutex mutex_;
  std::uint64_t files_ = 0;
};

}  // namespace tallowin::test

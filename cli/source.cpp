#include "cli/source.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>

#include <fstream>
#include <system_error>

#include "catalog/program_texts.h"
#include "engine/recovery_session.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/stoppable_job.h"
#include "cli/terminal_progress.h"
#include "engine/bkf_scanner.h"

namespace tallowin::cli {
namespace {

constexpr auto kTick = std::chrono::milliseconds(100);

// Keeps the scan's news for the waiting main thread: the figures as they
// come, the totals once the scan's thread has ended.
class ScanWatcher final : public ScanObserver {
 public:
  void OnProgress(const JobProgress& progress) override {
    position_ = progress.done;
    size_ = progress.total;
    files_ = progress.files;
  }
  void OnScanFinished(const ScanTotals& totals, std::u16string_view) override { totals_ = totals; }

  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const { return size_; }
  std::uint64_t Files() const { return files_; }
  const ScanTotals& Totals() const { return totals_; }

 private:
  std::atomic<std::uint64_t> position_{0}, size_{0}, files_{0};
  ScanTotals totals_;
};

class SnapshotWatcher final : public SnapshotLoadObserver {
 public:
  SnapshotWatcher(const SourceOptions& options, TerminalProgress& progress)
      : options_(options), progress_(progress) {}

  std::optional<std::u16string> LocateMissingBkf(std::u16string_view recordedPath) override {
    // Listing needs no BKF file; a save is told which one to use.
    if (!options_.bkfOverride) return std::u16string(recordedPath);
    replaced_ = true;
    return Utf16FromPath(AbsoluteBkfPath(*options_.bkfOverride));
  }
  bool Replaced() const { return replaced_; }
  void OnProgress(const JobProgress& progress) override {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < kTick) return;
    lastShown_ = now;
    progress_.Show(static_cast<std::uint64_t>(progress.Percent()), 100, "loading the snapshot");
  }

 private:
  const SourceOptions& options_;
  TerminalProgress& progress_;
  std::chrono::steady_clock::time_point lastShown_{};
  bool replaced_ = false;
};

// How often the waiting thread looks up from a running scan or load.
std::chrono::milliseconds Every(const SourceOptions& options) {
  return options.meanwhile ? std::chrono::milliseconds(1) : kTick;
}

int NoRowsExitCode(const std::filesystem::path& source, std::u16string_view message) {
  if (Interrupted()) return kExitInterrupted;
  ReportProblem(source, message);
  return kExitNoData;
}

int CannotScan(const std::filesystem::path& bkf, const std::error_code& why) {
  ReportProblem(bkf, std::string(texts::kCannotScan) +
                         (why ? why.message() : Utf8ForDisplay(tallowin::texts::kOpenFailed)));
  return kExitSourceUnreadable;
}

// Why a snapshot could not be read: the system's reason, or its content.
std::string SnapshotProblem(const std::filesystem::path& source) {
  std::ifstream file(source, std::ios::binary);
  if (!file) return std::generic_category().message(errno != 0 ? errno : ENOENT);
  return std::string(texts::kNotASnapshot);
}

}  // namespace

void Report(std::string_view message) {
  std::fprintf(stderr, "%s%.*s\n", texts::kProgram.data(), static_cast<int>(message.size()), message.data());
}

void ReportProblem(const std::filesystem::path& path, std::string_view message) {
  Report(Utf8ForDisplay(Utf16FromPath(path)) + ": " + std::string(message));
}

void ReportProblem(const std::filesystem::path& path, std::u16string_view message) {
  ReportProblem(path, Utf8ForDisplay(message));
}

int ReportEmptyPath() {
  Report(Utf8ForDisplay(texts::kEmptyPath));
  return kExitSourceUnreadable;
}

LoadedSource ScanBkf(const std::filesystem::path& bkf, Catalogue& catalogue, ActivityLog& log,
                     const SourceOptions& options) {
  if (bkf.empty()) return {ReportEmptyPath(), {}};
  const std::filesystem::path path = AbsoluteBkfPath(bkf);
  const std::u16string path16 = Utf16FromPath(path);
  if (options.log) {
    log.DeleteLogFile();
    log.SetGenerateLog(true);
  }
  // Asked first, so that a file that cannot be scanned leaves no log lines.
  if (const std::error_code why = WhyBkfNotOpened(path)) return {CannotScan(bkf, why), path16};
  LogRecoveryStart(log, path16);

  ScanWatcher watcher;
  CBkfScanner scanner(catalogue, log, watcher);
  TerminalProgress progress(options.quiet);
  bool opened = false;
  std::chrono::steady_clock::time_point lastShown{};
  RunStoppableJob([&](std::stop_token stop) { opened = RunRecoveryWorker(catalogue, scanner, log, path, stop); },
                  [&] {
                    if (options.meanwhile) options.meanwhile();
                    const auto now = std::chrono::steady_clock::now();
                    if (now - lastShown < kTick) return;
                    lastShown = now;
                    progress.Show(watcher.Position(), watcher.Size(),
                                  std::to_string(watcher.Files()) + " file(s) found");
                  },
                  Every(options));
  progress.Finish();
  if (!opened) return {CannotScan(bkf, WhyBkfNotOpened(path)), path16};
  ScanTotals totals = watcher.Totals();
  const bool interrupted = totals.stopped && Interrupted();
  // A file smaller than a window gives no progress: its size is asked (a
  // disk has none to ask).
  std::error_code sizeError;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, sizeError);
  const std::uint64_t size = sizeError ? watcher.Size() : std::max<std::uint64_t>(watcher.Size(), fileSize);
  if (interrupted) ReportProblem(bkf, texts::StoppedAt(watcher.Position(), size));
  if (catalogue.CatalogueRowCount() == 0) {
    return {NoRowsExitCode(bkf, tallowin::texts::kNoDataFound), path16};
  }
  return {.exitCode = kExitSuccess,
          .bkfPath = path16,
          .bkfReplaced = false,
          .scanned = std::move(totals),
          .interrupted = interrupted,
          .bkfSize = size,
          .stoppedAt = watcher.Position()};
}

LoadedSource LoadSource(const std::filesystem::path& source, Catalogue& catalogue,
                        const SourceOptions& options) {
  if (source.empty()) return {ReportEmptyPath(), {}};
  if (LooksLikeSnapshotInOtherEncoding(source)) {
    ReportProblem(source, std::string(texts::kCannotRead) + Utf8ForDisplay(texts::kSnapshotInOtherEncoding));
    return {kExitSourceUnreadable, {}};
  }
  if (!LooksLikeSnapshot(source)) {
    ActivityLog log;
    return ScanBkf(source, catalogue, log, options);
  }
  TerminalProgress progress(options.quiet);
  SnapshotWatcher watcher(options, progress);
  SnapshotLoadResult result;
  RunStoppableJob([&](std::stop_token stop) { result = LoadSnapshot(source, catalogue, watcher, stop); },
                  options.meanwhile, Every(options));
  progress.Finish();
  switch (result.status) {
    case SnapshotLoadStatus::kLoaded:
      return {kExitSuccess, result.bkfPath, watcher.Replaced()};
    case SnapshotLoadStatus::kCancelled:
      return {kExitInterrupted, {}};
    case SnapshotLoadStatus::kNoData:
      return {NoRowsExitCode(source, result.message), result.bkfPath};
    case SnapshotLoadStatus::kOpenFailed:
      break;
  }
  ReportProblem(source, std::string(texts::kCannotRead) + SnapshotProblem(source));
  return {kExitSourceUnreadable, {}};
}

}  // namespace tallowin::cli

// Filling the catalogue from what the user named: a BKF file is scanned, a
// snapshot (known by its content, not its name) is loaded.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/scan_observer.h"

namespace tallowin::cli {

struct SourceOptions {
  bool quiet = false;
  // Write the activity log as a recovery started with Generate Log on.
  bool log = false;
  // The BKF file to use when a snapshot's recorded one no longer exists.
  std::optional<std::filesystem::path> bkfOverride;
  // Runs on the calling thread about every millisecond while the scan or
  // the load runs on a thread of its own: a listing prints rows as they come.
  std::function<void()> meanwhile;
};

struct LoadedSource {
  int exitCode = 0;        // 0 when the catalogue holds rows
  std::u16string bkfPath;  // the BKF file the catalogue describes
  bool bkfReplaced = false;  // a snapshot's BKF file had moved and --bkf named another
  // What a scan found; nothing for a loaded snapshot.
  std::optional<ScanTotals> scanned = std::nullopt;
  // Ctrl-C stopped the scan: the catalogue is partial (and said so).
  bool interrupted = false;
  std::uint64_t bkfSize = 0;
  std::uint64_t stoppedAt = 0;
};

// Messages go to standard error, each naming the path as the user gave it.
// The scan or the load runs on a thread of its own, stopped by Ctrl-C.
LoadedSource ScanBkf(const std::filesystem::path& bkf, Catalogue& catalogue, ActivityLog& log,
                     const SourceOptions& options);
LoadedSource LoadSource(const std::filesystem::path& source, Catalogue& catalogue,
                        const SourceOptions& options);

// "twbkf: PATH: message"
void ReportProblem(const std::filesystem::path& path, std::string_view message);
void ReportProblem(const std::filesystem::path& path, std::u16string_view message);
// "twbkf: message"
void Report(std::string_view message);
// An empty path names no file: says so and returns the exit code for it.
int ReportEmptyPath();

}  // namespace tallowin::cli

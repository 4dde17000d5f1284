// The scan engine: reads a whole BKF file front to back in 64 KiB windows and
// looks at every 512-byte boundary for the blocks that name data sets,
// directories and files, never following MTF's own chaining, so that every
// intact block of a damaged file is found.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/bkf_file.h"
#include "engine/catalogue_builder.h"
#include "engine/mtf_block.h"
#include "engine/scan_observer.h"
#include "engine/window_reader.h"

namespace tallowin {

class CBkfScanner {
 public:
  static constexpr std::size_t kWindowSize = WindowReader::kWindowSize;
  static constexpr std::size_t kBlocksPerWindow = kWindowSize / kBlockSize;
  // How far after a FILE block its data stream header is looked for.
  static constexpr std::size_t kStreamSearchLimit = 1024;
  static constexpr std::size_t kLastBlockStreamSearchLimit = 512;

  CBkfScanner(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer,
              BkfOpener opener = OpenBkfFile);
  ~CBkfScanner();
  CBkfScanner(const CBkfScanner&) = delete;
  CBkfScanner& operator=(const CBkfScanner&) = delete;

  // Opens the file and starts the worker thread. On failure the observer is
  // told and false returned; no thread starts. Also false while a scan runs
  // and when called on the scan's own thread.
  bool Start(const std::filesystem::path& bkfPath);
  // Asks a running scan to end at its next window or position; the rows found
  // so far stay. Safe to call at any time.
  void Stop();
  // Waits for the worker thread to end.
  void Wait();
  // True while the worker thread lives.
  bool IsScanning() const { return scanning_.load(); }

  // The scan itself: true when the file was read to its end, false when Stop
  // ended it. The worker thread runs it; tests may call it directly.
  bool Scan(BkfReader& file);

 private:
  void RunWorker(std::unique_ptr<BkfReader> file);
  // Both passes and the end of the last set scope; the totals but the row count.
  ScanTotals ScanFile(BkfReader& file);
  bool ScanPasses(BkfReader& file, CatalogueBuilder& builder);
  void HandOver(CatalogueBuilder& builder, BlockClass kind, const BlockSite& site, ScanPass pass,
                std::size_t streamSearchLimit);
  bool Running() const { return running_.load(std::memory_order_relaxed); }

  Catalogue& catalogue_;
  const ActivityLog& log_;
  ScanObserver& observer_;
  BkfOpener opener_;
  std::atomic<bool> running_{false};
  std::atomic<bool> scanning_{false};
  std::mutex startMutex_;
  std::thread worker_;
};

}  // namespace tallowin

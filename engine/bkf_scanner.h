// The scan engine: reads a whole BKF file front to back in 64 KiB windows and
// looks at every 512-byte boundary for the blocks that name data sets,
// directories and files, never following MTF's own chaining, so that every
// intact block of a damaged file is found.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stop_token>

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
  CBkfScanner(const CBkfScanner&) = delete;
  CBkfScanner& operator=(const CBkfScanner&) = delete;

  // Opens the file and scans it on the calling thread, which the front end
  // owns, until its end or until `stop` is requested (the rows found so far
  // stay); then checks every row and tells the observer. False when the file
  // did not open (the observer is told; no scan runs), and while a scan runs
  // on this scanner (an observer that starts another at the end of one).
  bool Run(const std::filesystem::path& bkfPath, std::stop_token stop = {});
  // Tells the observer that the scan is ending (OnStopped: the progress bar
  // and the Stop button go); it stops nothing. The front end calls it with
  // its stop request, the scan at its end. Safe to call at any time.
  void TellStopped();
  // True while Run scans.
  bool IsScanning() const { return scanning_.load(); }

  // The scan itself: true when the file was read to its end, false when a
  // stop ended it at a window or a position. Run runs it; tests may call
  // it directly.
  bool Scan(BkfReader& file, std::stop_token stop = {});

 private:
  // Both passes and the end of the last set scope; the totals but the row count.
  ScanTotals ScanFile(BkfReader& file, const std::stop_token& stop);
  bool ScanPasses(BkfReader& file, CatalogueBuilder& builder, const std::stop_token& stop);
  void HandOver(CatalogueBuilder& builder, BlockClass kind, const BlockSite& site, ScanPass pass,
                std::size_t streamSearchLimit);

  Catalogue& catalogue_;
  const ActivityLog& log_;
  ScanObserver& observer_;
  BkfOpener opener_;
  std::atomic<bool> scanning_{false};
};

}  // namespace tallowin

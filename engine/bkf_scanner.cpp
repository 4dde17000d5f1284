#include "engine/bkf_scanner.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "catalog/program_texts.h"
#include "catalog/text_convert.h"
#include "engine/mtf_block.h"

namespace tallowin {

CBkfScanner::CBkfScanner(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer,
                         BkfOpener opener)
    : catalogue_(catalogue), log_(log), observer_(observer), opener_(std::move(opener)) {}

bool CBkfScanner::Run(const std::filesystem::path& bkfPath, std::stop_token stop) {
  if (scanning_.exchange(true)) return false;
  log_.Mark(marks::kScannerStart);
  std::unique_ptr<BkfReader> file = opener_(bkfPath);
  if (!file) {
    scanning_ = false;
    // The program's message, and on a line of its own the cause, when the
    // file itself tells one.
    std::u16string message(texts::kOpenFailed);
    if (const std::error_code why = WhyBkfNotOpened(bkfPath)) message += u"\n" + Utf16FromBytes(why.message());
    observer_.OnOpenFailed(message);
    return false;
  }
  observer_.OnSearching();
  ScanTotals totals = ScanFile(*file, stop);  // a stopped scan ends as a finished one does
  file.reset();
  catalogue_.SetAllRowsChecked(true);
  TellStopped();
  totals.rows = catalogue_.CatalogueRowCount();
  observer_.OnScanFinished(totals, totals.rows > 0 ? std::u16string_view{} : texts::kNoDataFound);
  scanning_ = false;
  return true;
}

void CBkfScanner::TellStopped() { observer_.OnStopped(); }

bool CBkfScanner::Scan(BkfReader& file, std::stop_token stop) { return !ScanFile(file, stop).stopped; }

// Hands a data set, directory or file block to the builder, with its log line.
void CBkfScanner::HandOver(CatalogueBuilder& builder, BlockClass kind, const BlockSite& site,
                           ScanPass pass, std::size_t streamSearchLimit) {
  if (kind == BlockClass::kTape) {
    builder.OnTapeBlock(site);
  } else if (kind == BlockClass::kEset) {
    builder.OnEndOfSetBlock(site);
  } else if (kind == BlockClass::kSset) {
    if (pass == ScanPass::kMain) log_.Mark(marks::kSetBlock);
    builder.OnSetBlock(site, pass);
  } else if (kind == BlockClass::kDirb) {
    log_.Mark(marks::kDirectoryBlock);
    builder.OnDirectoryBlock(site);
  } else if (kind == BlockClass::kFile) {
    log_.Mark(marks::kFileBlock);
    builder.OnFileBlock(site, streamSearchLimit);
  }
}

// A stop requested before the scan begins ends it at the first window.
ScanTotals CBkfScanner::ScanFile(BkfReader& file, const std::stop_token& stop) {
  log_.Mark(marks::kScanBegins);
  CatalogueBuilder builder(catalogue_, log_, observer_, file, stop);
  const bool finished = ScanPasses(file, builder, stop);
  // The files of the last scope wait for its end, which a stop is too.
  builder.Finish();
  return {.rows = 0,
          .stopped = !finished,
          .rowsFromSetCatalogue = builder.RowsFromSetCatalogue(),
          .setCatalogueFilesNotFound = builder.SetCatalogueFilesNotFound(),
          .sets = builder.TakeSets()};
}

bool CBkfScanner::ScanPasses(BkfReader& file, CatalogueBuilder& builder, const std::stop_token& stop) {
  constexpr std::size_t kPrefetchAhead = 8;
  const std::uint64_t fileSize = file.GetSize();
  std::uint64_t position = 0;
  const std::uint64_t wholeWindowsEnd = fileSize / kWindowSize * kWindowSize;
  WindowReader windows(file, wholeWindowsEnd);
  // Blocks handed over in the last window: many make the scan worth a
  // second core for its reads.
  constexpr std::size_t kBusyWindow = 4;
  std::size_t handedOver = 0;

  while (position < fileSize) {
    log_.Mark(marks::kMainPassIteration);
    if (stop.stop_requested()) return false;
    if (position + kWindowSize > fileSize) break;
    const Bytes filled = windows.Window(position, handedOver >= kBusyWindow);
    handedOver = 0;
    log_.Mark(marks::kWindowRead);
    for (std::size_t k = 0; k < kBlocksPerWindow; ++k) {
      // The positions are far apart in memory: the next ones are fetched early.
      if (k + kPrefetchAhead < kBlocksPerWindow) __builtin_prefetch(filled.data() + (k + kPrefetchAhead) * kBlockSize);
      log_.Mark(marks::kPosition);
      const BlockSite site{filled, std::min(k * kBlockSize, filled.size()), position};
      const BlockClass kind = ClassifyBlock(site.Block());
      if (kind != BlockClass::kTape) log_.Mark(marks::kNotTape);
      // Most positions hold file data: only the blocks the builder takes
      // cost a call.
      if (kind >= BlockClass::kTape && kind <= BlockClass::kEset) {
        ++handedOver;
        // The last block's search must stay inside the window.
        HandOver(builder, kind, site, ScanPass::kMain,
                 k + 1 < kBlocksPerWindow ? kStreamSearchLimit : kLastBlockStreamSearchLimit);
        // A stop that this block's news brought (an observer's) ends the
        // scan before the next position; one from elsewhere waits for the
        // next window, so that the positions cost no look at it.
        if (k + 1 < kBlocksPerWindow && stop.stop_requested()) return false;
      }
    }
    position += kWindowSize;
    builder.OnScanned(position);
  }

  // A remainder of 512 bytes or less is not examined.
  const std::uint64_t remainder = fileSize % kWindowSize;
  if (remainder <= kBlockSize) return true;
  const Bytes filled = windows.Part(position, static_cast<std::size_t>(remainder));
  for (std::size_t k = 0; k < remainder / kBlockSize; ++k) {
    if (stop.stop_requested()) return false;
    const BlockSite site{filled, std::min(k * kBlockSize, filled.size()), position};
    HandOver(builder, ClassifyBlock(site.Block()), site, ScanPass::kTail, kStreamSearchLimit);
  }
  return true;
}

}  // namespace tallowin

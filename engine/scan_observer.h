// How a scan reports to its front end. OnStopped comes on the thread that
// called CBkfScanner::TellStopped, everything else on the thread that runs the
// scan, which the front end owns: a front end that draws must hand the news
// to its own thread. The scan gives texts only where both programs show
// the same (an open failure, no data found); the rest each front end words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/job_progress.h"
#include "catalog/number_text.h"

namespace tallowin {

// What a scan learnt of one data set, for its summary.
struct DataSetFacts {
  std::u16string label;  // as in the catalogue paths: "BACKUP SET 1(Daily)"
  std::uint64_t number = 0;  // the n of the label; 0 for files met before any data set block
  std::u16string name;
  FileTime written = 0;  // when the backup wrote it, as its data set block says; 0 when unknown
  bool ended = false;    // its end-of-set block was found: the set is not cut short
  std::uint64_t rowsFromSetCatalogue = 0;
  std::uint64_t setCatalogueFilesNotFound = 0;
};

// What a scan found, told at its end.
struct ScanTotals {
  std::int32_t rows = 0;
  bool stopped = false;  // a stop ended it before the end of the file
  // Rows of files whose FILE block was lost, named by the catalogue that the
  // backup keeps at the end of each data set.
  std::uint64_t rowsFromSetCatalogue = 0;
  // Files that such a catalogue lists, whose block was lost and whose data
  // was not found either.
  std::uint64_t setCatalogueFilesNotFound = 0;
  // Every data set the scan met, in the order their labels first appear.
  std::vector<DataSetFacts> sets;
};

// Progress (JobProgress): the bytes examined, once per window of the main
// pass, and the files found, once per catalogue row added.
class ScanObserver : public JobObserver {
 public:
  // The BKF file could not be opened; no scan runs. `message` is the text to show.
  virtual void OnOpenFailed(std::u16string_view message) { (void)message; }
  // The file is open and the scan begins.
  virtual void OnSearching() {}
  // TellStopped was called: the progress bar and the Stop button go away.
  virtual void OnStopped() {}
  // The scan has closed the file and checked every row. With no rows,
  // `noDataMessage` is the message to show; otherwise it is empty.
  virtual void OnScanFinished(const ScanTotals& totals, std::u16string_view noDataMessage) {
    (void)totals, (void)noDataMessage;
  }
};

}  // namespace tallowin

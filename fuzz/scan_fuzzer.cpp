// The scan of a BKF file, over any bytes: the input is the whole file. FILE
// blocks whose data stream the byte search misses have their stream chain
// followed, past the window where it leads there. Every
// row found is then read back cell by cell, written as a snapshot row line and
// read from that line into a second catalogue, where it must come back the
// same; the folder tree is walked and a search run over the rows.
//
// Files under 64 KiB go through the tail pass only; -max_len of about 200000
// lets inputs reach the main pass's windows as well.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "catalog/catalogue_search.h"
#include "catalog/number_text.h"
#include "catalog/snapshot.h"
#include "engine/bkf_scanner.h"
#include "engine/scan_observer.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_reader.h"

namespace {

using namespace tallowin;

// Never switched on, so nothing is written.
const ActivityLog& SilentLog() {
  static const ActivityLog log("/nonexistent-folder/never.log");
  return log;
}

class CountingObserver : public ScanObserver {
 public:
  // A report tells either one more file found where the scan stands, or a
  // window examined: the same files, further on and within the file.
  void OnProgress(const JobProgress& progress) override {
    if (progress.files == filesFound + 1) {
      FUZZ_CHECK(progress.done == position);
    } else {
      FUZZ_CHECK(progress.files == filesFound);
      FUZZ_CHECK(progress.done > position && progress.done <= progress.total);
    }
    filesFound = progress.files;
    position = progress.done;
  }
  std::uint64_t filesFound = 0;
  std::uint64_t position = 0;
};

class QuietSearch : public SearchObserver {
 public:
  void OnSearchMatch(RowIndex, std::u16string_view path, std::u16string_view,
                     std::uint64_t found) override {
    FUZZ_CHECK(!path.empty());
    FUZZ_CHECK(found == matches + 1);
    matches = found;
  }
  std::uint64_t matches = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> bytes(size);
  if (size > 0) std::memcpy(bytes.data(), data, size);

  Catalogue catalogue;
  CountingObserver observer;
  {
    CBkfScanner scanner(catalogue, SilentLog(), observer);
    test::MemoryReader reader(std::move(bytes));
    FUZZ_CHECK(scanner.Scan(reader));  // nothing stops it, so it reads to the end
  }

  const RowIndex rows = catalogue.CatalogueRowCount();
  FUZZ_CHECK(rows >= 0);
  FUZZ_CHECK(static_cast<std::uint64_t>(rows) == observer.filesFound);

  Catalogue reloaded;
  constexpr std::u16string_view kPrefix = u"BKF\\BACKUP SET ";
  for (RowIndex row = 0; row < rows; ++row) {
    std::u16string cells[kCatalogueCellCount];
    for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
      cells[cell] = catalogue.GetCatalogueCell(row, cell);
    }
    FUZZ_CHECK(std::u16string_view(cells[kCellPath]).starts_with(kPrefix));
    // The data follows its 22-byte stream header, inside the file; an
    // empty file without one points at its FILE block on the grid.
    const std::int64_t offset = ParseInt64(cells[kCellOffset]);
    FUZZ_CHECK(offset >= 0 && static_cast<std::uint64_t>(offset) <= size);
    FUZZ_CHECK(offset >= 22 || (cells[kCellSize] == u"0" && offset % 512 == 0));
    (void)catalogue.FileType(catalogue.IconIndex(row));

    // What the scan found survives a snapshot row line.
    std::u16string line = SnapshotRowLine(catalogue, row);
    FUZZ_CHECK(line.ends_with(u"\r\n"));
    line.pop_back();  // the reader ends a line at LF and keeps the CR
    AddSnapshotRow(reloaded, line);
    FUZZ_CHECK(reloaded.CatalogueRowCount() == row + 1);
    for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
      FUZZ_CHECK(reloaded.GetCatalogueCell(row, cell) == cells[cell]);
    }
  }
  for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
    FUZZ_CHECK(catalogue.GetCatalogueCell(rows, cell).empty());
    FUZZ_CHECK(catalogue.GetCatalogueCell(-1, cell).empty());
  }

  WalkFolderTree(catalogue);
  WalkFolderTree(reloaded);

  for (const std::u16string_view pattern : {u"*.d?c", u"report", u"*e*o*"}) {
    QuietSearch search;
    FUZZ_CHECK(SearchCatalogue(catalogue, pattern, search) == search.matches);
  }
  return 0;
}

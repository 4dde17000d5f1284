// The snapshot reader, over any bytes: the input is the snapshot file. When
// the recorded BKF file is missing, its recorded path is used as it is, as if
// the user had found it there. The folder tree holds a path before the load;
// afterwards every row is read back cell by cell and as a snapshot row line,
// and the folder tree is walked.
//
// A catalogue's first row costs a large block of memory, so no row is added
// before the load: the fuzzer runs markedly faster without.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalogue.h"
#include "catalog/snapshot.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace tallowin;

class AcceptingObserver : public SnapshotLoadObserver {
 public:
  std::optional<std::u16string> LocateMissingBkf(std::u16string_view recordedPath) override {
    return std::u16string(recordedPath);
  }
  void OnRowsBegin(std::u16string_view bkfPath) override {
    FUZZ_CHECK(!rowsBegun);
    rowsBegun = true;
    path = bkfPath;
  }
  void OnProgress(const JobProgress& progress) override {
    FUZZ_CHECK(progress.Percent() >= 0 && progress.Percent() <= 100);
  }

  bool rowsBegun = false;
  std::u16string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size),
                        std::ios::in | std::ios::binary);
  Catalogue catalogue;
  catalogue.EnsureFolderPath(u"BKF\\BACKUP SET 1(Before)\\Earlier\\");

  AcceptingObserver observer;
  const SnapshotLoadResult result = LoadSnapshot(in, catalogue, observer);
  const RowIndex rows = catalogue.CatalogueRowCount();
  switch (result.status) {
    case SnapshotLoadStatus::kOpenFailed:
      // The header was not there: the tree is cleared all the same.
      FUZZ_CHECK(!observer.rowsBegun);
      FUZZ_CHECK(rows == 0);
      FUZZ_CHECK(WalkFolderTree(catalogue) == 0);
      return 0;
    case SnapshotLoadStatus::kCancelled:
      FUZZ_CHECK(false);  // the observer never gives up
      return 0;
    case SnapshotLoadStatus::kNoData:
      FUZZ_CHECK(rows == 0);
      FUZZ_CHECK(!result.message.empty());
      break;
    case SnapshotLoadStatus::kLoaded:
      FUZZ_CHECK(rows > 0);
      FUZZ_CHECK(result.message.empty());
      break;
  }
  FUZZ_CHECK(observer.rowsBegun);
  FUZZ_CHECK(observer.path == result.bkfPath);

  for (RowIndex row = 0; row < rows; ++row) {
    for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
      (void)catalogue.GetCatalogueCell(row, cell);
    }
    FUZZ_CHECK(catalogue.IsRowChecked(row));
    (void)catalogue.FileType(catalogue.IconIndex(row));
    FUZZ_CHECK(SnapshotRowLine(catalogue, row).ends_with(u"\r\n"));
  }
  WalkFolderTree(catalogue);
  return 0;
}

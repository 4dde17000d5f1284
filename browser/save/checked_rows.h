// The checked rows as the save and the verification go through them: in
// catalogue order, with the numbers their cells hold, and never as a list of
// their own, since a catalogue may hold millions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "catalog/catalogue.h"

namespace tallowin {

struct RowData {
  RowIndex row = -1;
  std::u16string path;
  std::int64_t size = 0;
  std::int64_t offset = 0;
  FileTime modified = 0;
  FileTime accessed = 0;
  FileTime created = 0;
};

struct CheckedTotals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;  // of data that the BKF file holds, for the progress
};

CheckedTotals CountCheckedRows(const Catalogue& catalogue, std::uint64_t bkfSize);

// Runs `visit(RowData)` for each checked row, in order, while it returns true.
template <typename Visit>
void ForEachCheckedRow(const Catalogue& catalogue, Visit visit) {
  const RowIndex rows = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < rows; ++row) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(row);
    if (!numbers.checked) continue;
    const RowData data{row,          catalogue.GetCatalogueCell(row, kCellPath), numbers.size, numbers.offset,
                       numbers.modified, numbers.accessed, numbers.created};
    if (!visit(data)) return;
  }
}

// The message for a BKF file that cannot be opened to read files from.
std::string BkfOpenProblem(const std::filesystem::path& bkfPath);

}  // namespace tallowin

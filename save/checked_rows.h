// The rows that the save and the verification go through (the checked ones,
// every one, or a few the user named): in catalogue order, with the numbers
// their cells hold, and the checked or all rows never as a list of their
// own, since a catalogue may hold millions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
  // Why its size or offset cell holds no number, for a row of a snapshot
  // that says anything there; nothing for a sound row.
  std::optional<std::string> notANumber;
};

// Why a row's data cannot be read at all (its size or offset is no number,
// or makes no sense for this BKF file), or nothing.
std::optional<std::string> RowDataProblem(const RowData& row, std::uint64_t bkfSize);

// Which rows a save or a verification goes through.
struct RowSelection {
  enum class Kind { kChecked, kAll, kListed };
  Kind kind = Kind::kChecked;
  std::vector<RowIndex> rows;  // kListed: the rows, in any order

  static RowSelection Checked() { return {}; }
  static RowSelection All() { return {Kind::kAll, {}}; }
  static RowSelection Listed(std::vector<RowIndex> rows) { return {Kind::kListed, std::move(rows)}; }
};

struct CheckedTotals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;  // of data that the BKF file holds, for the progress
};

CheckedTotals CountSelectedRows(const Catalogue& catalogue, const RowSelection& selection, std::uint64_t bkfSize);

std::optional<std::string> NotANumber(const Catalogue& catalogue, RowIndex row, const RowNumbers& numbers);

// The listed rows that the catalogue holds, each once, in catalogue order.
std::vector<RowIndex> ListedRows(const Catalogue& catalogue, const RowSelection& selection);

// Runs `visit(RowData)` for each selected row, in catalogue order, while it
// returns true.
template <typename Visit>
void ForEachSelectedRow(const Catalogue& catalogue, const RowSelection& selection, Visit visit) {
  const auto each = [&](RowIndex row) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(row);
    if (selection.kind == RowSelection::Kind::kChecked && !numbers.checked) return true;
    const RowData data{row,          catalogue.GetCatalogueCell(row, kCellPath), numbers.size, numbers.offset,
                       numbers.modified, numbers.accessed, numbers.created, NotANumber(catalogue, row, numbers)};
    return visit(data);
  };
  if (selection.kind == RowSelection::Kind::kListed) {
    for (const RowIndex row : ListedRows(catalogue, selection)) {
      if (!each(row)) return;
    }
    return;
  }
  const RowIndex rows = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < rows; ++row) {
    if (!each(row)) return;
  }
}

// The message for a BKF file that cannot be opened to read files from.
std::string BkfOpenProblem(const std::filesystem::path& bkfPath);

}  // namespace tallowin

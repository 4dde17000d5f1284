#include "save/checked_rows.h"

#include <algorithm>

#include "engine/file_data.h"
#include "catalog/text_convert.h"
#include "catalog/program_texts.h"

namespace tallowin {

std::vector<RowIndex> ListedRows(const Catalogue& catalogue, const RowSelection& selection) {
  std::vector<RowIndex> rows;
  const RowIndex count = catalogue.CatalogueRowCount();
  for (const RowIndex row : selection.rows) {
    if (row >= 0 && row < count) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

CheckedTotals CountSelectedRows(const Catalogue& catalogue, const RowSelection& selection, std::uint64_t bkfSize) {
  CheckedTotals totals;
  const auto count = [&](RowIndex row) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(row);
    if (selection.kind == RowSelection::Kind::kChecked && !numbers.checked) return;
    ++totals.files;
    if (numbers.sizeIsNumber && numbers.offsetIsNumber && !RowDataProblem(numbers.size, numbers.offset, bkfSize)) {
      totals.bytes += std::min(static_cast<std::uint64_t>(numbers.size),
                               bkfSize - static_cast<std::uint64_t>(numbers.offset));
    }
  };
  if (selection.kind == RowSelection::Kind::kListed) {
    for (const RowIndex row : ListedRows(catalogue, selection)) count(row);
    return totals;
  }
  const RowIndex rows = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < rows; ++row) count(row);
  return totals;
}

std::optional<std::string> NotANumber(const Catalogue& catalogue, RowIndex row, const RowNumbers& numbers) {
  if (!numbers.sizeIsNumber) return texts::SizeNotANumber(Utf8ForDisplay(catalogue.GetCatalogueCell(row, kCellSize)));
  if (!numbers.offsetIsNumber) {
    return texts::OffsetNotANumber(Utf8ForDisplay(catalogue.GetCatalogueCell(row, kCellOffset)));
  }
  return std::nullopt;
}

std::optional<std::string> RowDataProblem(const RowData& row, std::uint64_t bkfSize) {
  if (row.notANumber) return row.notANumber;
  return RowDataProblem(row.size, row.offset, bkfSize);
}

std::string BkfOpenProblem(const std::filesystem::path& bkfPath) {
  return texts::BkfNotOpened(Utf8ForDisplay(Utf16FromPath(bkfPath)), WhyBkfNotOpened(bkfPath).message());
}

}  // namespace tallowin

#include "browser/save/checked_rows.h"

#include <algorithm>

#include "browser/save/file_data.h"
#include "catalog/text_convert.h"
#include "catalog/program_texts.h"

namespace tallowin {

CheckedTotals CountCheckedRows(const Catalogue& catalogue, std::uint64_t bkfSize) {
  CheckedTotals totals;
  const RowIndex rows = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < rows; ++row) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(row);
    if (!numbers.checked) continue;
    ++totals.files;
    if (numbers.sizeIsNumber && numbers.offsetIsNumber && !RowDataProblem(numbers.size, numbers.offset, bkfSize)) {
      totals.bytes += std::min(static_cast<std::uint64_t>(numbers.size),
                               bkfSize - static_cast<std::uint64_t>(numbers.offset));
    }
  }
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

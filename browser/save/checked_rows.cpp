#include "browser/save/checked_rows.h"

#include <algorithm>

#include "browser/save/file_data.h"
#include "catalog/number_text.h"
#include "catalog/text_convert.h"

namespace tallowin {

RowData ReadRowData(const Catalogue& catalogue, RowIndex row) {
  const auto cell = [&](int index) { return catalogue.GetCatalogueCell(row, index); };
  return {row,
          cell(kCellPath),
          ParseInt64(cell(kCellSize)),
          ParseInt64(cell(kCellOffset)),
          JoinFileTime(cell(kCellModifiedLow), cell(kCellModifiedHigh)),
          JoinFileTime(cell(kCellAccessedLow), cell(kCellAccessedHigh))};
}

CheckedTotals CountCheckedRows(const Catalogue& catalogue, std::uint64_t bkfSize) {
  CheckedTotals totals;
  ForEachCheckedRow(catalogue, [&](const RowData& data) {
    ++totals.files;
    if (!RowDataProblem(data.size, data.offset, bkfSize)) {
      totals.bytes += std::min(static_cast<std::uint64_t>(data.size), bkfSize - static_cast<std::uint64_t>(data.offset));
    }
    return true;
  });
  return totals;
}

std::string BkfOpenProblem(const std::filesystem::path& bkfPath) {
  return "The BKF file " + Utf8ForDisplay(Utf16FromPath(bkfPath)) +
         " cannot be opened. Make sure that it exists and is not in use.";
}

}  // namespace tallowin

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
    if (!RowDataProblem(numbers.size, numbers.offset, bkfSize)) {
      totals.bytes += std::min(static_cast<std::uint64_t>(numbers.size),
                               bkfSize - static_cast<std::uint64_t>(numbers.offset));
    }
  }
  return totals;
}

std::string BkfOpenProblem(const std::filesystem::path& bkfPath) {
  return texts::BkfNotOpened(Utf8ForDisplay(Utf16FromPath(bkfPath)), WhyBkfNotOpened(bkfPath).message());
}

}  // namespace tallowin

#include "browser/widgets/folder_marks.h"

namespace tallowin {

void FolderMarks::Recompute(const Catalogue& catalogue, const RowVerdicts& verdicts) {
  troubled_.clear();
  any_ = false;
  std::vector<RowIndex> rows;
  verdicts.ForEachKnown(0, catalogue.CatalogueRowCount(), [&](RowIndex row, FileVerdict verdict) {
    if (IsTrouble(verdict)) rows.push_back(row);
  });
  if (rows.empty()) return;
  any_ = true;
  std::vector<FolderKey> parents;
  catalogue.ReadFolders(0, [&](FolderKey, FolderKey parent, std::u16string_view) { parents.push_back(parent); });
  troubled_.assign(parents.size(), false);
  const auto mark = [&](FolderKey folder) {
    // A folder already marked has its ancestors marked too.
    for (; folder != kNoFolderKey && folder < troubled_.size() && !troubled_[folder]; folder = parents[folder]) {
      troubled_[folder] = true;
    }
  };
  // A few rows are looked up one by one; many in one pass over all rows.
  constexpr std::size_t kOneByOne = 4096;
  if (rows.size() <= kOneByOne) {
    for (const RowIndex row : rows) mark(catalogue.ReadRowNumbers(row).folder);
    return;
  }
  std::vector<bool> trouble(static_cast<std::size_t>(rows.back()) + 1, false);
  for (const RowIndex row : rows) trouble[static_cast<std::size_t>(row)] = true;
  std::vector<FolderKey> folders;
  catalogue.ReadRowFolders(0, static_cast<RowIndex>(trouble.size()), [&](RowIndex row, FolderKey folder, bool, std::int64_t) {
    if (trouble[static_cast<std::size_t>(row)]) folders.push_back(folder);
  });
  for (const FolderKey folder : folders) mark(folder);
}

}  // namespace tallowin

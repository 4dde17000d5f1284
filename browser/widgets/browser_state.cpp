#include "browser/widgets/browser_state.h"

namespace tallowin {

BrowserState::BrowserState(Catalogue& catalogue, const RowVerdicts& verdicts, QObject* parent)
    : QObject(parent), catalogue_(catalogue), verdicts_(verdicts), browser_(catalogue, checks_) {}

void BrowserState::ShowFolder(FolderId node) {
  browser_.ShowFolder(node);
  emit listChanged();
}

void BrowserState::SortByColumn(int column, const FolderBrowser::RowRank& verdictRank) {
  browser_.SortByColumn(column, verdictRank);
  emit listChanged();
}

void BrowserState::ToggleFolder(FolderId node) {
  // The list comes to show the folder: other rows, unless it showed them already.
  const bool same = node == browser_.Selected();
  const std::size_t rows = browser_.List().size();
  browser_.ToggleNode(node);
  userChanges_ = true;
  if (!same || browser_.List().size() != rows) emit listChanged();
  emit checksChanged(kAnyRow);
}

void BrowserState::ToggleListRow(std::size_t index) {
  browser_.ToggleListRow(index);
  userChanges_ = true;
  emit checksChanged(kAnyRow);
}

void BrowserState::MarkRow(RowIndex row, bool mark) {
  browser_.SetRowMark(row, mark);
  userChanges_ = true;
  emit checksChanged(row);
}

RenameResult BrowserState::RenameFolder(FolderId node, std::u16string_view name) {
  const RenameResult result = browser_.RenameFolder(node, name);
  if (result == RenameResult::kRenamed) {
    userChanges_ = true;
    emit folderRenamed(node);
  }
  return result;
}

void BrowserState::TakeNewRows() {
  browser_.IndexNewRows();
  emit rowsAdded();
}

void BrowserState::CheckEveryRow() {
  browser_.ResetFolderTree();
  browser_.ClearList();
  emit listChanged();
  emit checksChanged(kAnyRow);
}

void BrowserState::RecomputeMarks() {
  marks_.Recompute(catalogue_, verdicts_);
  emit verdictsChanged();
}

void BrowserState::Forget() {
  checks_.Clear();
  browser_.Forget();
  marks_.Clear();
  userChanges_ = false;
  emit listChanged();
}

}  // namespace tallowin

// The browser's check-box model: the folder tree's states, the file list's
// rows and the catalogue rows' marks, kept in step. The catalogue's marks
// are what a save reads; the tree and the list show them. Qt-free: the
// widgets only show what this holds and pass the user's actions on.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/selection/folder_checks.h"
#include "browser/selection/folder_index.h"
#include "catalog/catalogue.h"

namespace tallowin {

enum class ListRowKind : std::uint8_t { kParent, kFolder, kFile };

// One row of the file list: the parent row (".."), a subfolder (its node),
// or a file (its own catalogue row).
struct ListRow {
  ListRowKind kind = ListRowKind::kFile;
  FolderId node = kNoFolder;
  RowIndex row = -1;
  CheckState state = CheckState::kUnchecked;
};

enum class FileListColumn { kName = 0, kType = 1, kSize = 2, kModified = 3, kCreated = 4, kVerdict = 5 };

enum class RenameResult { kRenamed, kCancelled, kEmptyName, kIllegalCharacter, kTopLevel };

class FolderBrowser {
 public:
  FolderBrowser(Catalogue& catalogue, FolderChecks& checks);

  FolderId Selected() const { return selected_; }
  const std::vector<ListRow>& List() const { return list_; }
  // The text of column 0: "..", the folder's or the file's name.
  std::u16string RowName(const ListRow& row) const;

  // The catalogue was emptied or replaced: forget every row and node.
  void Forget();
  // Takes in the rows that a running scan or load has added, so that its end
  // has few left to take in.
  void IndexNewRows() { index_.Update(catalogue_); }
  // How many rows are checked, and their bytes, without a walk over them.
  FolderIndex::Counts CountChecked() {
    index_.Update(catalogue_);
    return index_.CountAll();
  }

  // Fills the list with the contents of `node`: the parent row, the
  // subfolders in tree order, the files in catalogue order.
  void ShowFolder(FolderId node);
  void ClearList() { list_.clear(); }
  void ToggleNode(FolderId node);
  void ToggleListRow(std::size_t index);
  void MarkSubtree(FolderId node, CheckState state);
  void MarkRowsBelow(FolderId node, bool mark);
  void MarkListRows(CheckState state);
  void UpdateAncestors(FolderId node);
  // After a scan or a load, which check every row: every node checked (the
  // widget collapses the tree and opens the first top-level node).
  void ResetFolderTree();
  // A check box of the catalogue list: the row's mark, and at once the
  // states of the folders above it and of its file-list row.
  void SetRowMark(RowIndex row, bool mark);
  // Empty names, names with a backslash or any of / | * : ? < >, and the
  // top-level node are refused: they would corrupt snapshots or detach rows
  // from their folders.
  RenameResult RenameFolder(FolderId node, std::u16string_view name);
  // Where a double-click or Enter on a list row leads: the parent for the
  // parent row, the first subfolder of that name for a folder row.
  FolderId NavigationTarget(std::size_t index) const;
  // The node whose file list shows catalogue row `row`: the deepest node of
  // the first top-level node's chain that its folders lead to.
  FolderId NodeOfRow(RowIndex row) const;

  // A click on a column header: the same column again reverses the order.
  // Sizes sort as numbers and dates as times; the parent row stays first.
  // The verdict column sorts files by `verdictRank`, which the browser does
  // not know itself; files without a rank and folders come first.
  using RowRank = std::function<std::optional<std::int64_t>(RowIndex row)>;
  void SortByColumn(int column, const RowRank& verdictRank = {});
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }

 private:
  // The state that the marks of the rows below `node` give it.
  CheckState StateFromCounts(FolderId node) const;
  // For each top-level node, the deepest node that the folders of `row`'s
  // path lead to; nothing for a path that does not begin with "BKF\".
  std::vector<FolderId> DeepestNodesOf(RowIndex row) const;
  void RecomputeSelectedFromList();

  Catalogue& catalogue_;
  FolderChecks& checks_;
  FolderIndex index_;
  FolderId selected_ = kNoFolder;
  std::vector<ListRow> list_;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
};

}  // namespace tallowin

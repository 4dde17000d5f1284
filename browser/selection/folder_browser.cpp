#include "browser/selection/folder_browser.h"

#include <algorithm>
#include <cwctype>
#include <optional>

#include "catalog/number_text.h"

namespace tallowin {
namespace {

std::u16string_view NameAfterLastBackslash(std::u16string_view path) {
  const auto slash = path.rfind(u'\\');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

// The ancestors of `node` below the top level and, with `withNode`, the node
// itself, from the top down.
std::vector<FolderId> ChainDown(const FolderTree& tree, FolderId node, bool withNode) {
  std::vector<FolderId> chain;
  for (FolderId at = withNode ? node : tree.Parent(node); at != kNoFolder; at = tree.Parent(at)) {
    chain.push_back(at);
  }
  return {chain.rbegin(), chain.rend()};
}

bool LessIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
    return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
  });
}

}  // namespace

FolderBrowser::FolderBrowser(Catalogue& catalogue, FolderChecks& checks)
    : catalogue_(catalogue), checks_(checks) {}

void FolderBrowser::Forget() {
  index_.Clear();
  list_.clear();
  selected_ = kNoFolder;
}

std::u16string FolderBrowser::RowName(const ListRow& row) const {
  switch (row.kind) {
    case ListRowKind::kParent: return u"..";
    case ListRowKind::kFolder:
      return catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.Name(row.node); });
    case ListRowKind::kFile:
      return std::u16string(NameAfterLastBackslash(catalogue_.GetCatalogueCell(row.row, kCellPath)));
  }
  return {};
}

void FolderBrowser::ShowFolder(FolderId node) {
  index_.Update(catalogue_);
  selected_ = node;
  list_.clear();
  if (node == kNoFolder) return;
  catalogue_.ReadFolderTree([&](const FolderTree& tree) {
    if (tree.Parent(node) != kNoFolder) list_.push_back({ListRowKind::kParent, tree.Parent(node), -1, {}});
    for (FolderId child : tree.Children(node)) {
      list_.push_back({ListRowKind::kFolder, child, -1, checks_.State(child)});
    }
  });
  for (RowIndex row : index_.RowsOf(catalogue_.KeyOfNode(node))) {
    list_.push_back({ListRowKind::kFile, kNoFolder, row,
                     catalogue_.IsRowChecked(row) ? CheckState::kChecked : CheckState::kUnchecked});
  }
}

void FolderBrowser::MarkSubtree(FolderId node, CheckState state) {
  catalogue_.ReadFolderTree([&](const FolderTree& tree) {
    std::vector<FolderId> pending{node};
    while (!pending.empty()) {
      const FolderId at = pending.back();
      pending.pop_back();
      checks_.Set(at, state);
      const auto& children = tree.Children(at);
      pending.insert(pending.end(), children.begin(), children.end());
    }
  });
}

void FolderBrowser::MarkRowsBelow(FolderId node, bool mark) {
  index_.Update(catalogue_);
  const FolderKey folder = catalogue_.KeyOfNode(node);
  index_.ForEachFolderBelow(folder, [&](std::span<const RowIndex> rows) { catalogue_.SetRowsChecked(rows, mark); });
  index_.NoteFolderMarks(folder, mark);
}

void FolderBrowser::MarkListRows(CheckState state) {
  for (ListRow& row : list_) {
    if (row.kind != ListRowKind::kParent) row.state = state;
  }
}

CheckState FolderBrowser::StateFromCounts(FolderId node) const {
  const FolderIndex::Counts counts = index_.CountBelow(catalogue_.KeyOfNode(node));
  if (counts.checked == counts.rows) return CheckState::kChecked;
  if (counts.checked == 0) return CheckState::kUnchecked;
  return CheckState::kPartlyChecked;
}

void FolderBrowser::UpdateAncestors(FolderId node) {
  index_.Update(catalogue_);
  // A folder whose rows are all checked (or that has none) becomes checked,
  // one with none checked unchecked; marking their rows again would change
  // none of them, so only the states are set.
  const std::vector<FolderId> ancestors =
      catalogue_.ReadFolderTree([node](const FolderTree& tree) { return ChainDown(tree, node, false); });
  // From the parent up to the top-level node.
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
    const FolderId ancestor = *it;
    checks_.Set(ancestor, StateFromCounts(ancestor));
  }
}

void FolderBrowser::ToggleNode(FolderId node) {
  ShowFolder(node);
  const bool check = checks_.State(node) != CheckState::kChecked;
  const CheckState state = check ? CheckState::kChecked : CheckState::kUnchecked;
  MarkSubtree(node, state);
  MarkListRows(state);
  MarkRowsBelow(node, check);
  UpdateAncestors(node);
}

void FolderBrowser::ToggleListRow(std::size_t index) {
  if (index >= list_.size() || list_[index].kind == ListRowKind::kParent || selected_ == kNoFolder) return;
  index_.Update(catalogue_);
  ListRow& row = list_[index];
  const bool mark = row.state != CheckState::kChecked;
  row.state = mark ? CheckState::kChecked : CheckState::kUnchecked;
  if (row.kind == ListRowKind::kFolder) {
    const std::u16string name = RowName(row);
    const FolderId child =
        catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.FindChild(selected_, name); });
    if (child != kNoFolder) {
      MarkRowsBelow(child, mark);
      MarkSubtree(child, row.state);
      UpdateAncestors(child);
    }
  } else {
    // The list row stands for its own catalogue row, even when another row
    // has the same path.
    const RowNumbers numbers = catalogue_.ReadRowNumbers(row.row);
    catalogue_.SetRowChecked(row.row, mark);
    index_.NoteRowMark(row.row, numbers.size, numbers.checked, mark);
  }
  RecomputeSelectedFromList();
}

void FolderBrowser::RecomputeSelectedFromList() {
  bool allChecked = true;
  bool allUnchecked = true;
  for (const ListRow& row : list_) {
    if (row.kind == ListRowKind::kParent) continue;
    allChecked = allChecked && row.state == CheckState::kChecked;
    allUnchecked = allUnchecked && row.state == CheckState::kUnchecked;
  }
  if (allChecked) {
    MarkSubtree(selected_, CheckState::kChecked);
  } else if (allUnchecked) {
    MarkSubtree(selected_, CheckState::kUnchecked);
  } else {
    checks_.Set(selected_, CheckState::kPartlyChecked);
  }
  UpdateAncestors(selected_);
}

void FolderBrowser::ResetFolderTree() {
  index_.Update(catalogue_);
  index_.NoteAllMarks(true);
  checks_.CheckAll(catalogue_.ReadFolderTree([](const FolderTree& tree) { return tree.NodeCount(); }));
}

void FolderBrowser::SetRowMark(RowIndex row, bool mark) {
  index_.Update(catalogue_);
  const RowNumbers numbers = catalogue_.ReadRowNumbers(row);
  catalogue_.SetRowChecked(row, mark);
  index_.NoteRowMark(row, numbers.size, numbers.checked, mark);

  // The folders above the row: from every top-level node (each stands for
  // "BKF\"), down its folder chain, as far as the tree has it.
  for (FolderId node : DeepestNodesOf(row)) {
    checks_.Set(node, StateFromCounts(node));
    UpdateAncestors(node);
  }
  for (ListRow& listRow : list_) {
    if (listRow.kind == ListRowKind::kFile && listRow.row == row) {
      listRow.state = mark ? CheckState::kChecked : CheckState::kUnchecked;
    } else if (listRow.kind == ListRowKind::kFolder) {
      listRow.state = checks_.State(listRow.node);
    }
  }
}

std::vector<FolderId> FolderBrowser::DeepestNodesOf(RowIndex row) const {
  const std::u16string path = catalogue_.GetCatalogueCell(row, kCellPath);
  const auto lastSlash = path.rfind(u'\\');
  if (lastSlash == std::u16string::npos || !std::u16string_view(path).starts_with(u"BKF\\")) return {};
  const std::u16string_view folders = std::u16string_view(path).substr(4, lastSlash + 1 - 4);
  return catalogue_.ReadFolderTree([&](const FolderTree& tree) {
    std::vector<FolderId> ends;
    for (FolderId at : tree.Children(kNoFolder)) {
      std::size_t start = 0;
      while (start < folders.size()) {
        const auto end = folders.find(u'\\', start);
        const FolderId child = tree.FindChild(at, folders.substr(start, end - start));
        if (child == kNoFolder) break;
        at = child;
        start = end + 1;
      }
      ends.push_back(at);
    }
    return ends;
  });
}

FolderId FolderBrowser::NodeOfRow(RowIndex row) const {
  const std::vector<FolderId> ends = DeepestNodesOf(row);
  return ends.empty() ? kNoFolder : ends.front();
}

RenameResult FolderBrowser::RenameFolder(FolderId node, std::u16string_view name) {
  if (node == kNoFolder) return RenameResult::kCancelled;
  if (name.empty()) return RenameResult::kEmptyName;
  if (name.find_first_of(u"\\/|*:?<>") != std::u16string_view::npos) return RenameResult::kIllegalCharacter;
  const bool topLevel =
      catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.Parent(node) == kNoFolder; });
  if (topLevel) return RenameResult::kTopLevel;
  catalogue_.RenameFolder(node, name);
  // Rows moved to the keys of their new folder texts.
  index_.Clear();
  index_.Update(catalogue_);
  return RenameResult::kRenamed;
}

FolderId FolderBrowser::NavigationTarget(std::size_t index) const {
  if (index >= list_.size() || selected_ == kNoFolder) return kNoFolder;
  const ListRow& row = list_[index];
  if (row.kind == ListRowKind::kParent) {
    return catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.Parent(selected_); });
  }
  if (row.kind == ListRowKind::kFolder) {
    const std::u16string name = RowName(row);
    return catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.FindChild(selected_, name); });
  }
  return kNoFolder;
}

void FolderBrowser::SortByColumn(int column, const RowRank& verdictRank) {
  if (column < 0 || column > static_cast<int>(FileListColumn::kVerdict)) return;
  if (column == sortColumn_) sortAscending_ = !sortAscending_;
  sortColumn_ = column;

  // One key per row, read once: text for names and types, a number for sizes
  // and times. Rows without a value (the folders) come before the others.
  struct Keyed {
    ListRow row;
    std::u16string text;
    std::optional<std::int64_t> number;
  };
  std::vector<Keyed> keyed;
  std::optional<ListRow> parent;
  for (const ListRow& row : list_) {
    if (row.kind == ListRowKind::kParent) {
      parent = row;
      continue;
    }
    Keyed key{row, {}, {}};
    const bool file = row.kind == ListRowKind::kFile;
    switch (static_cast<FileListColumn>(column)) {
      case FileListColumn::kName: key.text = RowName(row); break;
      case FileListColumn::kType:
        key.text = file ? catalogue_.FileType(catalogue_.IconIndex(row.row)).description : u"Folder";
        break;
      case FileListColumn::kSize:
        if (file) key.number = catalogue_.ReadRowNumbers(row.row).size;
        break;
      case FileListColumn::kModified:
      case FileListColumn::kCreated:
        if (file) {
          const RowNumbers numbers = catalogue_.ReadRowNumbers(row.row);
          const FileTime time = column == static_cast<int>(FileListColumn::kModified) ? numbers.modified : numbers.created;
          key.number = static_cast<std::int64_t>(std::min<FileTime>(time, INT64_MAX));
        }
        break;
      case FileListColumn::kVerdict:
        if (file && verdictRank) key.number = verdictRank(row.row);
        break;
    }
    keyed.push_back(std::move(key));
  }
  const bool numeric = column >= static_cast<int>(FileListColumn::kSize);
  std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
    const Keyed& first = sortAscending_ ? a : b;
    const Keyed& second = sortAscending_ ? b : a;
    if (numeric) return first.number < second.number;
    return LessIgnoringCase(first.text, second.text);
  });
  list_.clear();
  if (parent) list_.push_back(*parent);
  for (Keyed& key : keyed) list_.push_back(key.row);
}

}  // namespace tallowin

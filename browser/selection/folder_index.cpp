#include "browser/selection/folder_index.h"

#include <algorithm>

namespace tallowin {

void FolderIndex::Clear() {
  folders_.clear();
  ordered_.clear();
  folderOfRow_.clear();
  unfiled_ = {};
  SumUp();
}

void FolderIndex::Update(const Catalogue& catalogue) {
  const std::size_t known = folders_.size();
  const std::size_t knownRows = folderOfRow_.size();
  const auto readTexts = [&] {
    catalogue.ReadFolders(static_cast<FolderKey>(folders_.size()), [&](FolderKey, FolderKey parent, std::u16string_view) {
      folders_.push_back({parent, {}, 0, 0, 0, 0, 0});
    });
  };
  const auto add = [&](RowIndex row, FolderKey folder, bool checked, std::int64_t size) {
    Folder& into = folder == kNoFolderKey ? unfiled_ : folders_[folder];
    into.rows.push_back(row);
    into.bytes += size;
    if (checked) {
      ++into.checked;
      into.checkedBytes += size;
    }
  };
  readTexts();
  // A row appended meanwhile may name a folder made after the texts were read.
  struct Late {
    RowIndex row;
    FolderKey folder;
    bool checked;
    std::int64_t size;
  };
  std::vector<Late> late;
  // In slices, so that a scan that appends meanwhile never waits long for
  // the catalogue.
  constexpr RowIndex kSlice = 1 << 16;
  while (catalogue.ReadRowFolders(static_cast<RowIndex>(folderOfRow_.size()), kSlice,
                                  [&](RowIndex row, FolderKey folder, bool checked, std::int64_t size) {
                                    folderOfRow_.push_back(folder);
                                    if (folder == kNoFolderKey || folder < folders_.size()) {
                                      add(row, folder, checked, size);
                                    } else {
                                      late.push_back({row, folder, checked, size});
                                    }
                                  }) == kSlice) {
  }
  if (!late.empty()) readTexts();
  for (const Late& row : late) add(row.row, row.folder, row.checked, row.size);
  if (folders_.size() != known) Order();
  if (folders_.size() != known || folderOfRow_.size() != knownRows) SumUp();
}

// Depth first: each folder, then the folders below it. A folder's key comes
// after its parent's, so one pass up counts each folder's subtree and one
// pass down gives each its place, however deep the tree: no recursion.
void FolderIndex::Order() {
  const std::size_t count = folders_.size();
  std::vector<std::size_t> size(count, 1);
  for (std::size_t key = count; key-- > 0;) {
    const FolderKey parent = folders_[key].parent;
    if (parent != kNoFolderKey) size[parent] += size[key];
  }
  std::vector<std::size_t> nextFree(count);  // the next free place below each folder
  std::size_t nextTop = 0;
  ordered_.assign(count, kNoFolderKey);
  for (std::size_t key = 0; key < count; ++key) {
    Folder& folder = folders_[key];
    std::size_t& free = folder.parent == kNoFolderKey ? nextTop : nextFree[folder.parent];
    folder.place = free;
    folder.belowEnd = free + size[key];
    free = folder.belowEnd;
    nextFree[key] = folder.place + 1;
    ordered_[folder.place] = static_cast<FolderKey>(key);
  }
}

void FolderIndex::SumUp() {
  std::vector<std::int64_t> rows(ordered_.size()), checked(ordered_.size()), checkedBytes(ordered_.size());
  for (std::size_t place = 0; place < ordered_.size(); ++place) {
    const Folder& folder = folders_[ordered_[place]];
    rows[place] = static_cast<std::int64_t>(folder.rows.size());
    checked[place] = folder.checked;
    checkedBytes[place] = folder.checkedBytes;
  }
  rows_.Reset(rows);
  checked_.Reset(checked);
  checkedBytes_.Reset(checkedBytes);
}

void FolderIndex::SetMarks(Folder& folder, std::int64_t checked, std::int64_t checkedBytes) {
  checked_.Add(folder.place, checked - folder.checked);
  checkedBytes_.Add(folder.place, checkedBytes - folder.checkedBytes);
  folder.checked = checked;
  folder.checkedBytes = checkedBytes;
}

std::span<const FolderKey> FolderIndex::Below(FolderKey folder) const {
  if (folder >= folders_.size()) return {};
  const Folder& at = folders_[folder];
  return std::span(ordered_).subspan(at.place, at.belowEnd - at.place);
}

std::span<const RowIndex> FolderIndex::RowsOf(FolderKey folder) const {
  if (folder >= folders_.size()) return {};
  return folders_[folder].rows;
}

FolderIndex::Counts FolderIndex::CountBelow(FolderKey folder) const {
  if (folder >= folders_.size()) return {};
  const std::size_t begin = folders_[folder].place, end = folders_[folder].belowEnd;
  return {rows_.Before(end) - rows_.Before(begin), checked_.Before(end) - checked_.Before(begin),
          checkedBytes_.Before(end) - checkedBytes_.Before(begin)};
}

FolderIndex::Counts FolderIndex::CountAll() const {
  const std::size_t end = ordered_.size();
  return {static_cast<std::int64_t>(unfiled_.rows.size()) + rows_.Before(end), unfiled_.checked + checked_.Before(end),
          unfiled_.checkedBytes + checkedBytes_.Before(end)};
}

void FolderIndex::ForEachFolderBelow(FolderKey folder,
                                     const std::function<void(std::span<const RowIndex>)>& visit) const {
  for (const FolderKey key : Below(folder)) visit(folders_[key].rows);
}

void FolderIndex::NoteFolderMarks(FolderKey folder, bool checked) {
  for (const FolderKey key : Below(folder)) {
    Folder& marked = folders_[key];
    SetMarks(marked, checked ? static_cast<std::int64_t>(marked.rows.size()) : 0, checked ? marked.bytes : 0);
  }
}

void FolderIndex::NoteAllMarks(bool checked) {
  const auto mark = [checked](Folder& folder) {
    folder.checked = checked ? static_cast<std::int64_t>(folder.rows.size()) : 0;
    folder.checkedBytes = checked ? folder.bytes : 0;
  };
  for (Folder& folder : folders_) mark(folder);
  mark(unfiled_);
  SumUp();
}

void FolderIndex::NoteRowMark(RowIndex row, std::int64_t size, bool wasChecked, bool checked) {
  if (row < 0 || static_cast<std::size_t>(row) >= folderOfRow_.size() || wasChecked == checked) return;
  const FolderKey folder = folderOfRow_[static_cast<std::size_t>(row)];
  if (folder == kNoFolderKey) {
    unfiled_.checked += checked ? 1 : -1;
    unfiled_.checkedBytes += checked ? size : -size;
  } else if (folder < folders_.size()) {
    Folder& in = folders_[folder];
    SetMarks(in, in.checked + (checked ? 1 : -1), in.checkedBytes + (checked ? size : -size));
  }
}

}  // namespace tallowin

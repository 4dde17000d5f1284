#include "browser/selection/folder_index.h"

#include <algorithm>

namespace tallowin {

void FolderIndex::Clear() {
  folders_.clear();
  ordered_.clear();
  folderOfRow_.clear();
  unfiled_ = {};
}

void FolderIndex::Update(const Catalogue& catalogue) {
  const std::size_t known = folders_.size();
  const auto readTexts = [&] {
    catalogue.ReadFolderTexts(static_cast<FolderKey>(folders_.size()), [&](FolderKey, std::u16string_view text) {
      folders_.push_back({std::u16string(text) + u'\\', {}, 0, 0, 0, 0, 0});
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
}

// Sorted by text with its backslash, the folders below one follow it
// directly: "BKF\a\" then "BKF\a\b\", before "BKF\ab\".
void FolderIndex::Order() {
  ordered_.resize(folders_.size());
  for (std::size_t key = 0; key < folders_.size(); ++key) ordered_[key] = static_cast<FolderKey>(key);
  std::sort(ordered_.begin(), ordered_.end(),
            [&](FolderKey a, FolderKey b) { return folders_[a].text < folders_[b].text; });
  for (std::size_t place = 0; place < ordered_.size(); ++place) {
    Folder& folder = folders_[ordered_[place]];
    folder.place = place;
    folder.belowEnd = place + 1;
    while (folder.belowEnd < ordered_.size() &&
           std::u16string_view(folders_[ordered_[folder.belowEnd]].text).starts_with(folder.text)) {
      ++folder.belowEnd;
    }
  }
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
  Counts counts;
  for (const FolderKey key : Below(folder)) {
    counts.rows += static_cast<std::int64_t>(folders_[key].rows.size());
    counts.checked += folders_[key].checked;
    counts.checkedBytes += folders_[key].checkedBytes;
  }
  return counts;
}

FolderIndex::Counts FolderIndex::CountAll() const {
  Counts counts{static_cast<std::int64_t>(unfiled_.rows.size()), unfiled_.checked, unfiled_.checkedBytes};
  for (const Folder& folder : folders_) {
    counts.rows += static_cast<std::int64_t>(folder.rows.size());
    counts.checked += folder.checked;
    counts.checkedBytes += folder.checkedBytes;
  }
  return counts;
}

void FolderIndex::ForEachFolderBelow(FolderKey folder,
                                     const std::function<void(std::span<const RowIndex>)>& visit) const {
  for (const FolderKey key : Below(folder)) visit(folders_[key].rows);
}

void FolderIndex::NoteFolderMarks(FolderKey folder, bool checked) {
  for (const FolderKey key : Below(folder)) {
    Folder& marked = folders_[key];
    marked.checked = checked ? static_cast<std::int64_t>(marked.rows.size()) : 0;
    marked.checkedBytes = checked ? marked.bytes : 0;
  }
}

void FolderIndex::NoteAllMarks(bool checked) {
  const auto mark = [checked](Folder& folder) {
    folder.checked = checked ? static_cast<std::int64_t>(folder.rows.size()) : 0;
    folder.checkedBytes = checked ? folder.bytes : 0;
  };
  for (Folder& folder : folders_) mark(folder);
  mark(unfiled_);
}

void FolderIndex::NoteRowMark(RowIndex row, std::int64_t size, bool wasChecked, bool checked) {
  if (row < 0 || static_cast<std::size_t>(row) >= folderOfRow_.size() || wasChecked == checked) return;
  const FolderKey folder = folderOfRow_[static_cast<std::size_t>(row)];
  Folder* in = folder == kNoFolderKey ? &unfiled_ : folder < folders_.size() ? &folders_[folder] : nullptr;
  if (in == nullptr) return;
  in->checked += checked ? 1 : -1;
  in->checkedBytes += checked ? size : -size;
}

}  // namespace tallowin

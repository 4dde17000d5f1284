#include "browser/selection/folder_index.h"

#include <algorithm>

namespace tallowin {

void FolderIndex::Clear() {
  folders_.clear();
  ordered_.clear();
  folderOfRow_.clear();
}

void FolderIndex::Update(const Catalogue& catalogue) {
  const std::size_t known = folders_.size();
  const auto readTexts = [&] {
    catalogue.ReadFolderTexts(static_cast<FolderKey>(folders_.size()), [&](FolderKey, std::u16string_view text) {
      folders_.push_back({std::u16string(text) + u'\\', {}, 0, 0, 0});
    });
  };
  const auto add = [&](RowIndex row, FolderKey folder, bool checked) {
    folders_[folder].rows.push_back(row);
    if (checked) ++folders_[folder].checked;
  };
  readTexts();
  // A row appended meanwhile may name a folder made after the texts were read.
  struct Late {
    RowIndex row;
    FolderKey folder;
    bool checked;
  };
  std::vector<Late> late;
  // In slices, so that a scan that appends meanwhile never waits long for
  // the catalogue.
  constexpr RowIndex kSlice = 1 << 16;
  while (catalogue.ReadRowFolders(static_cast<RowIndex>(folderOfRow_.size()), kSlice,
                                  [&](RowIndex row, FolderKey folder, bool checked) {
                                    folderOfRow_.push_back(folder);
                                    if (folder == kNoFolderKey) return;
                                    if (folder < folders_.size()) {
                                      add(row, folder, checked);
                                    } else {
                                      late.push_back({row, folder, checked});
                                    }
                                  }) == kSlice) {
  }
  if (!late.empty()) readTexts();
  for (const Late& row : late) add(row.row, row.folder, row.checked);
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
  }
  return counts;
}

void FolderIndex::ForEachFolderBelow(FolderKey folder,
                                     const std::function<void(std::span<const RowIndex>)>& visit) const {
  for (const FolderKey key : Below(folder)) visit(folders_[key].rows);
}

void FolderIndex::NoteFolderMarks(FolderKey folder, bool checked) {
  for (const FolderKey key : Below(folder)) {
    folders_[key].checked = checked ? static_cast<std::int64_t>(folders_[key].rows.size()) : 0;
  }
}

void FolderIndex::NoteAllMarks(bool checked) {
  for (Folder& folder : folders_) folder.checked = checked ? static_cast<std::int64_t>(folder.rows.size()) : 0;
}

void FolderIndex::NoteRowMark(RowIndex row, bool wasChecked, bool checked) {
  if (row < 0 || static_cast<std::size_t>(row) >= folderOfRow_.size() || wasChecked == checked) return;
  const FolderKey folder = folderOfRow_[static_cast<std::size_t>(row)];
  if (folder < folders_.size()) folders_[folder].checked += checked ? 1 : -1;
}

}  // namespace tallowin

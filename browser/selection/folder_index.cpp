#include "browser/selection/folder_index.h"

namespace tallowin {

void FolderIndex::Clear() {
  folders_.clear();
  byKey_.clear();
  slotOfFolderText_.clear();
  slotOfRow_.clear();
  indexed_ = 0;
}

void FolderIndex::Update(const Catalogue& catalogue) {
  std::vector<std::uint32_t> newTexts;
  catalogue.ReadRowFolders(indexed_, [&](RowIndex row, std::uint32_t folderText, bool checked) {
    std::size_t slot = kNoSlot;
    if (folderText != Catalogue::kNoFolderText) {
      auto [found, added] = slotOfFolderText_.try_emplace(folderText, folders_.size());
      if (added) {
        folders_.emplace_back();
        newTexts.push_back(folderText);
      }
      slot = found->second;
      folders_[slot].rows.push_back(row);
      if (checked) ++folders_[slot].checked;
    }
    slotOfRow_.push_back(slot);
    indexed_ = row + 1;
  });
  // The texts are read after the pass, outside the catalogue's lock.
  for (std::uint32_t text : newTexts) {
    byKey_.emplace(catalogue.FolderText(text) + u'\\', slotOfFolderText_[text]);
  }
}

std::span<const RowIndex> FolderIndex::RowsOf(std::u16string_view folderPath) const {
  const auto found = byKey_.find(folderPath);
  if (found == byKey_.end()) return {};
  return folders_[found->second].rows;
}

std::pair<FolderIndex::KeyMap::const_iterator, FolderIndex::KeyMap::const_iterator> FolderIndex::Below(
    std::u16string_view folderPath) const {
  auto first = byKey_.lower_bound(folderPath);
  auto last = first;
  while (last != byKey_.end() && std::u16string_view(last->first).starts_with(folderPath)) ++last;
  return {first, last};
}

FolderIndex::Counts FolderIndex::CountBelow(std::u16string_view folderPath) const {
  Counts counts;
  const auto [first, last] = Below(folderPath);
  for (auto it = first; it != last; ++it) {
    counts.rows += static_cast<std::int64_t>(folders_[it->second].rows.size());
    counts.checked += folders_[it->second].checked;
  }
  return counts;
}

void FolderIndex::ForEachFolderBelow(std::u16string_view folderPath,
                                     const std::function<void(std::span<const RowIndex>)>& visit) const {
  const auto [first, last] = Below(folderPath);
  for (auto it = first; it != last; ++it) visit(folders_[it->second].rows);
}

void FolderIndex::NoteFolderMarks(std::u16string_view folderPath, bool checked) {
  const auto [first, last] = Below(folderPath);
  for (auto it = first; it != last; ++it) {
    Folder& folder = folders_[it->second];
    folder.checked = checked ? static_cast<std::int64_t>(folder.rows.size()) : 0;
  }
}

void FolderIndex::NoteAllMarks(bool checked) {
  for (Folder& folder : folders_) folder.checked = checked ? static_cast<std::int64_t>(folder.rows.size()) : 0;
}

void FolderIndex::NoteRowMark(RowIndex row, bool wasChecked, bool checked) {
  if (row < 0 || static_cast<std::size_t>(row) >= slotOfRow_.size() || wasChecked == checked) return;
  const std::size_t slot = slotOfRow_[static_cast<std::size_t>(row)];
  if (slot != kNoSlot) folders_[slot].checked += checked ? 1 : -1;
}

}  // namespace tallowin

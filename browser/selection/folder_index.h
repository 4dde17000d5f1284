// Which catalogue rows lie in which folder, and how many of them are
// checked, so that a click on a check box costs the rows it changes and not
// a walk over the whole catalogue. Folders are keyed by their folder path:
// the text of a row's path up to and including its last backslash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/catalogue.h"

namespace tallowin {

class FolderIndex {
 public:
  struct Counts {
    std::int64_t rows = 0;
    std::int64_t checked = 0;
  };

  // Takes in the rows appended to the catalogue since the last call.
  void Update(const Catalogue& catalogue);
  // Forgets everything; the next Update reads the catalogue afresh.
  void Clear();

  // The rows of the folder itself, in catalogue order.
  std::span<const RowIndex> RowsOf(std::u16string_view folderPath) const;
  // The rows whose path begins with `folderPath`, counted.
  Counts CountBelow(std::u16string_view folderPath) const;
  // The same rows, handed folder by folder to `visit`.
  void ForEachFolderBelow(std::u16string_view folderPath,
                          const std::function<void(std::span<const RowIndex>)>& visit) const;
  // Every row below `folderPath` now carries `checked`.
  void NoteFolderMarks(std::u16string_view folderPath, bool checked);
  // Every row now carries `checked`.
  void NoteAllMarks(bool checked);
  // One row's mark changed.
  void NoteRowMark(RowIndex row, bool wasChecked, bool checked);

 private:
  static constexpr std::size_t kNoSlot = SIZE_MAX;
  struct Folder {
    std::vector<RowIndex> rows;
    std::int64_t checked = 0;
  };
  using KeyMap = std::map<std::u16string, std::size_t, std::less<>>;
  // The keys that begin with `folderPath`: they lie together in key order.
  std::pair<KeyMap::const_iterator, KeyMap::const_iterator> Below(std::u16string_view folderPath) const;

  std::vector<Folder> folders_;
  KeyMap byKey_;
  std::unordered_map<std::uint32_t, std::size_t> slotOfFolderText_;
  std::vector<std::size_t> slotOfRow_;
  RowIndex indexed_ = 0;
};

}  // namespace tallowin

// Which catalogue rows lie in which folder, and how many of them are
// checked, so that a click on a check box costs the rows it changes and not
// a walk over the whole catalogue. Folders are known by the catalogue's
// folder keys; the folders below one (whose text begins with its text and a
// backslash) lie together in the order of their texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "catalog/catalogue.h"

namespace tallowin {

class FolderIndex {
 public:
  struct Counts {
    std::int64_t rows = 0;
    std::int64_t checked = 0;
    std::int64_t checkedBytes = 0;  // the sizes of the checked rows
  };

  // Takes in the rows and folders added to the catalogue since the last call.
  void Update(const Catalogue& catalogue);
  // Forgets everything; the next Update reads the catalogue afresh.
  void Clear();

  // The rows of the folder itself, in catalogue order.
  std::span<const RowIndex> RowsOf(FolderKey folder) const;
  // The rows of the folder and of the folders below it, counted.
  Counts CountBelow(FolderKey folder) const;
  // The same rows, handed folder by folder to `visit`.
  void ForEachFolderBelow(FolderKey folder, const std::function<void(std::span<const RowIndex>)>& visit) const;
  // Every row, in any folder or none, counted.
  Counts CountAll() const;
  // Every row of the folder and below it now carries `checked`.
  void NoteFolderMarks(FolderKey folder, bool checked);
  // Every row now carries `checked`.
  void NoteAllMarks(bool checked);
  // One row's mark changed; `size` is the row's.
  void NoteRowMark(RowIndex row, std::int64_t size, bool wasChecked, bool checked);

 private:
  struct Folder {
    std::u16string text;  // the folder's text and a backslash, for the order
    std::vector<RowIndex> rows;
    std::int64_t checked = 0;
    std::int64_t bytes = 0;  // of all its rows, and of the checked ones
    std::int64_t checkedBytes = 0;
    std::size_t place = 0;  // where the folder stands in `ordered_`
    std::size_t belowEnd = 0;  // where the folders below it end there
  };
  // The folders from `folder` on in text order, up to the end of those below it.
  std::span<const FolderKey> Below(FolderKey folder) const;
  void Order();

  std::vector<Folder> folders_;  // by key
  std::vector<FolderKey> ordered_;  // every key, in the order of its text
  std::vector<FolderKey> folderOfRow_;
  Folder unfiled_;  // the rows whose path has no backslash
};

}  // namespace tallowin

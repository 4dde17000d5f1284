// Which catalogue rows lie in which folder, and how many of them are
// checked, so that a click on a check box costs the rows it changes and not
// a walk over the whole catalogue. Folders are known by the catalogue's
// folder keys; the folders below one (whose text begins with its text and a
// backslash) lie together in a depth-first order of the folders, and the
// counts of any such run come from running sums, so a folder's counts cost
// the same however deep the tree below it is.
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
    FolderKey parent = kNoFolderKey;
    std::vector<RowIndex> rows;
    std::int64_t checked = 0;
    std::int64_t bytes = 0;  // of all its rows, and of the checked ones
    std::int64_t checkedBytes = 0;
    std::size_t place = 0;  // where the folder stands in `ordered_`
    std::size_t belowEnd = 0;  // where the folders below it end there
  };
  // Sums over runs of `ordered_` that change one place at a time.
  class RunningSums {
   public:
    // Sums of `values`, by place.
    void Reset(const std::vector<std::int64_t>& values) {
      tree_.assign(values.size() + 1, 0);
      for (std::size_t i = 1; i < tree_.size(); ++i) {
        tree_[i] += values[i - 1];
        if (const std::size_t up = i + (i & (~i + 1)); up < tree_.size()) tree_[up] += tree_[i];
      }
    }
    void Add(std::size_t place, std::int64_t value) {
      for (std::size_t i = place + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += value;
    }
    // The sum over [0, end).
    std::int64_t Before(std::size_t end) const {
      std::int64_t sum = 0;
      for (std::size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree_[i];
      return sum;
    }

   private:
    std::vector<std::int64_t> tree_;
  };
  // The folders from `folder` on in the order, up to the end of those below it.
  std::span<const FolderKey> Below(FolderKey folder) const;
  void Order();
  void SumUp();
  void SetMarks(Folder& folder, std::int64_t checked, std::int64_t checkedBytes);

  std::vector<Folder> folders_;  // by key
  std::vector<FolderKey> ordered_;  // every key, each folder before the folders below it
  std::vector<FolderKey> folderOfRow_;
  Folder unfiled_;  // the rows whose path has no backslash
  RunningSums rows_, checked_, checkedBytes_;  // by place in `ordered_`
};

}  // namespace tallowin

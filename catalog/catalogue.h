// The catalogue: the list of rows (one per file found) and the folder tree,
// in one thread-safe store. One producer (a scan or a snapshot load) writes
// while readers look; every operation is atomic with respect to the others.
//
// Rows are kept compactly: the path as an interned folder text plus the file
// name, numbers as numbers. Cells still read back exactly in their text
// forms, and a cell set to text that is not in its canonical form (a hand-
// edited snapshot may hold anything) reads back as that text, unchanged.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "catalog/file_types.h"
#include "catalog/folder_keys.h"
#include "catalog/folder_tree.h"
#include "catalog/number_text.h"
#include "catalog/text_arena.h"

namespace tallowin {

enum CatalogueCell : int {
  kCellPath = 0,
  kCellType = 1,
  kCellSize = 2,
  kCellOffset = 3,
  kCellModifiedLow = 4,
  kCellModifiedHigh = 5,
  kCellAccessedLow = 6,
  kCellAccessedHigh = 7,
  kCellCreatedLow = 8,
  kCellCreatedHigh = 9,
};
inline constexpr int kCatalogueCellCount = 10;

using RowIndex = std::int32_t;

// A folder of the catalogue is the text of a path before its last
// backslash, interned (catalog/folder_keys.h). Rows, tree nodes and the
// browser's index all know a folder by its key, from the moment a row is
// appended. The same text has the same key until the catalogue is emptied.

// Where a scan learnt of a file: from its own FILE block, or from the
// catalogue that the backup keeps at the end of each data set (the block
// was lost). A loaded snapshot does not say; its rows count as blocks'.
enum class RowSource : std::uint8_t { kFileBlock, kSetCatalogue };

// The values of a row as a scan finds them.
struct FileRowValues {
  std::int64_t size = 0;
  std::int64_t offset = 0;
  FileTime modified = 0;
  FileTime accessed = 0;
  FileTime created = 0;
  RowSource source = RowSource::kFileBlock;
};

// A row's numbers as its cells read back with ParseInt64 and JoinFileTime,
// in one step: cells kept in canonical form are not formatted and parsed
// again, and only cells kept verbatim are parsed.
struct RowNumbers : FileRowValues {
  FolderKey folder = kNoFolderKey;
  std::uint32_t type = 0;  // an index into FileType()
  bool checked = false;
  // The size and offset cells hold numbers (a snapshot's may hold anything).
  bool sizeIsNumber = false;
  bool offsetIsNumber = false;
};

class Catalogue {
 public:
  explicit Catalogue(FileTypeLookup lookup = GenericFileType);
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;

  // Appends a row with cell 0 = `path`, its type and icon derived from the
  // path, cells 2-9 empty and the check mark clear. Returns the new index, or
  // -1 when the list already holds the largest count it can number.
  RowIndex AppendCatalogueRow(std::u16string_view path);
  // The key of a folder text (a path's text before its last backslash).
  FolderKey InternFolder(std::u16string_view folder);
  // A scan's whole row in one step: the row as AppendCatalogueRow makes it
  // for the path `folder` + "\" + `name`, cells 2 to 9 from `values`, and
  // the folder chain in the tree (looked up once per folder). Readers never
  // see the row half filled.
  RowIndex AppendFileRow(FolderKey folder, std::u16string_view name, const FileRowValues& values);
  // A snapshot's row in one step: the row as AppendCatalogueRow makes it,
  // cells 2 to 9 set from `cells` in order as SetCatalogueCell sets them,
  // and the folder chain of `path` ensured in the tree.
  RowIndex AppendSnapshotRow(std::u16string_view path, std::span<const std::u16string_view> cells);
  // Cells 2 to 9; anything else is ignored, as is a row out of range.
  void SetCatalogueCell(RowIndex row, int cell, std::u16string_view text);
  // The same as setting the canonical text of `value`, without the text.
  void SetCatalogueNumber(RowIndex row, int cell, std::int64_t value);
  // Empty text for a row or cell out of range.
  std::u16string GetCatalogueCell(RowIndex row, int cell) const;
  // Zeros for a row out of range.
  RowNumbers ReadRowNumbers(RowIndex row) const;
  RowIndex CatalogueRowCount() const;
  void SetRowChecked(RowIndex row, bool checked);
  bool IsRowChecked(RowIndex row) const;
  void SetAllRowsChecked(bool checked);
  // The same mark for many rows in one step.
  void SetRowsChecked(std::span<const RowIndex> rows, bool checked);
  void ClearCatalogue();

  // Runs `visit(row, folder, checked, size)` for at most `count` rows from
  // `first` on, in one locked pass; returns how many it visited.
  template <typename Visit>
  RowIndex ReadRowFolders(RowIndex first, RowIndex count, Visit visit) const {
    std::shared_lock lock(mutex_);
    const std::size_t begin = first < 0 ? 0 : static_cast<std::size_t>(first);
    const std::size_t end = std::min(rows_.size(), begin + static_cast<std::size_t>(std::max<RowIndex>(count, 0)));
    for (std::size_t i = begin; i < end; ++i) {
      const auto row = static_cast<RowIndex>(i);
      visit(row, rows_[i].folder, rows_[i].checked, CellNumber(rows_[i], row, kCellSize));
    }
    return static_cast<RowIndex>(end > begin ? end - begin : 0);
  }
  // Runs `visit(row, numbers)` with the numbers of each row from `first`
  // below `end`, as ReadRowNumbers gives them, in one locked pass.
  template <typename Visit>
  void ReadRowsNumbers(RowIndex first, RowIndex end, Visit visit) const {
    std::shared_lock lock(mutex_);
    const std::size_t last = std::min(rows_.size(), static_cast<std::size_t>(std::max<RowIndex>(end, 0)));
    for (std::size_t i = static_cast<std::size_t>(std::max<RowIndex>(first, 0)); i < last; ++i) {
      visit(static_cast<RowIndex>(i), NumbersLocked(rows_[i], static_cast<RowIndex>(i)));
    }
  }
  // Runs `visit(row, name)` with the file name (the text after the last
  // backslash) of each row from `first` below `end`, in one locked pass.
  template <typename Visit>
  void ReadRowNames(RowIndex first, RowIndex end, Visit visit) const {
    std::shared_lock lock(mutex_);
    const std::size_t last = std::min(rows_.size(), static_cast<std::size_t>(std::max<RowIndex>(end, 0)));
    std::u16string name;
    for (std::size_t i = static_cast<std::size_t>(std::max<RowIndex>(first, 0)); i < last; ++i) {
      name.clear();
      names_.AppendTo(name, rows_[i].name);
      visit(static_cast<RowIndex>(i), std::u16string_view(name));
    }
  }
  // The same for the rows named, in their order; rows out of range are left out.
  template <typename Visit>
  void ReadRowNames(std::span<const RowIndex> rows, Visit visit) const {
    std::shared_lock lock(mutex_);
    std::u16string name;
    for (const RowIndex row : rows) {
      if (!IsRow(row)) continue;
      name.clear();
      names_.AppendTo(name, rows_[static_cast<std::size_t>(row)].name);
      visit(row, std::u16string_view(name));
    }
  }
  // Runs `visit(key, parent, name)` for the folder keys from `first` on, in
  // one locked pass; keys are numbered from 0 in the order they were made,
  // a folder's after the folder it lies in (kNoFolderKey for none), and
  // `name` is the folder's last component.
  template <typename Visit>
  void ReadFolders(FolderKey first, Visit visit) const {
    std::shared_lock lock(mutex_);
    for (std::size_t key = first; key < folders_.Count(); ++key) {
      const auto folder = static_cast<FolderKey>(key);
      visit(folder, folders_.Parent(folder), std::u16string_view(folders_.Name(folder)));
    }
  }
  std::u16string FolderText(FolderKey folder) const;

  // The type of a row, as an index into FileType(); 0 for a row out of range.
  std::uint32_t IconIndex(RowIndex row) const;
  FileTypeInfo FileType(std::uint32_t iconIndex) const;

  void EnsureFolderPath(std::u16string_view path);
  void ClearFolderTree();
  // The key of the rows that a tree node shows: "BKF" and the names below
  // the top-level node down to `node` (a top-level node stands for "BKF",
  // whatever its name); kNoFolderKey for a node that is not in the tree.
  FolderKey KeyOfNode(FolderId node) const;
  // Renames a node below the top level and every row whose path begins with
  // the node's old path (its names from the top-level node down) and a
  // backslash; names, cells and marks stay. Returns how many rows changed.
  std::int64_t RenameFolder(FolderId node, std::u16string_view name);
  // Runs `read` with the folder tree while no writer can change it.
  template <typename Read>
  auto ReadFolderTree(Read read) const {
    std::shared_lock lock(mutex_);
    return read(std::as_const(tree_));
  }

 private:
  struct Row {
    std::int64_t size;
    std::int64_t offset;
    std::uint32_t halves[6];  // cells 4 to 9
    FolderKey folder;         // the text before the last backslash
    TextArena::Ref name;      // the text after it
    std::uint32_t type;
    std::uint8_t present;     // one bit per cell 2-9: the cell holds a value
    std::uint8_t verbatim;    // one bit per cell 2-9: the value is in texts_
    RowSource source;
    bool checked;
  };
  static constexpr FolderId kUnknownNode = -2;

  RowIndex AppendRow(FolderKey folder, std::u16string_view name);
  bool IsRow(RowIndex row) const { return row >= 0 && static_cast<std::size_t>(row) < rows_.size(); }
  FolderKey InternFolderLocked(std::u16string_view folder);
  // Ensure-path under the lock; new nodes get their keys. Returns the node of
  // the last folder component.
  FolderId EnsurePathLocked(std::u16string_view path);
  FolderKey NodeKey(FolderId node);
  void StoreVerbatim(Row& row, RowIndex index, int cell, std::u16string_view text);
  void SetCellLocked(Row& row, RowIndex index, int cell, std::u16string_view text);
  void StoreValue(Row& row, int cell, std::int64_t value);
  std::u16string CellText(const Row& row, RowIndex index, int cell) const;
  RowNumbers NumbersLocked(const Row& row, RowIndex index) const;
  std::int64_t CellNumber(const Row& row, RowIndex index, int cell) const;
  bool CellIsNumber(const Row& row, RowIndex index, int cell) const;
  FileTime CellTime(const Row& row, RowIndex index, int lowCell) const;
  static std::uint64_t VerbatimKey(RowIndex row, int cell) {
    return (static_cast<std::uint64_t>(row) << 4) | static_cast<std::uint64_t>(cell);
  }

  mutable std::shared_mutex mutex_;
  ChunkedVector<Row> rows_;
  TextArena names_;
  FolderKeys folders_;
  // By key: where ensure-path of the key's rows ends in the tree, once known.
  std::vector<FolderId> chainEnd_;
  std::unordered_map<std::uint64_t, std::u16string> texts_;
  FileTypeTable types_;
  FolderTree tree_;
  std::vector<FolderKey> keyOfNode_;  // by tree node
};

}  // namespace tallowin

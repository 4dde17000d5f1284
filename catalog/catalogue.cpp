#include "catalog/catalogue.h"

#include <limits>
#include <vector>
#include <utility>


namespace tallowin {
namespace {

bool IsValueCell(int cell) { return cell >= kCellSize && cell <= kCellCreatedHigh; }
bool IsLowHalfCell(int cell) { return cell == kCellModifiedLow || cell == kCellAccessedLow || cell == kCellCreatedLow; }
std::uint8_t CellBit(int cell) { return static_cast<std::uint8_t>(1u << (cell - kCellSize)); }


}  // namespace

Catalogue::Catalogue(FileTypeLookup lookup) : types_(std::move(lookup)) {}

FolderKey Catalogue::InternFolderLocked(std::u16string_view folder) {
  const FolderKey key = folders_.Intern(folder);
  chainEnd_.resize(folders_.Count(), kUnknownNode);
  return key;
}

FolderKey Catalogue::InternFolder(std::u16string_view folder) {
  std::unique_lock lock(mutex_);
  return InternFolderLocked(folder);
}

// A top-level node stands for "BKF"; below it each name adds a component.
// The parent's key is known, since a parent is made before its children.
FolderKey Catalogue::NodeKey(FolderId node) {
  const FolderId parent = tree_.Parent(node);
  if (parent == kNoFolder) return InternFolderLocked(u"BKF");
  const FolderKey parentKey = keyOfNode_[static_cast<std::size_t>(parent)];
  const std::u16string& name = tree_.Name(node);
  // A renamed node's name may hold anything: its key is its whole text's.
  if (name.find(u'\\') != std::u16string::npos) return InternFolderLocked(folders_.Text(parentKey) + u'\\' + name);
  const FolderKey key = folders_.InternChild(parentKey, name);
  chainEnd_.resize(folders_.Count(), kUnknownNode);
  return key;
}

FolderId Catalogue::EnsurePathLocked(std::u16string_view path) {
  const FolderId end = tree_.EnsurePath(path);
  for (auto node = static_cast<FolderId>(keyOfNode_.size()); node < tree_.NodeCount(); ++node) {
    keyOfNode_.push_back(NodeKey(node));
  }
  return end;
}

RowIndex Catalogue::AppendCatalogueRow(std::u16string_view path) {
  std::unique_lock lock(mutex_);
  const auto slash = path.rfind(u'\\');
  if (slash == std::u16string_view::npos) return AppendRow(kNoFolderKey, path);
  return AppendRow(InternFolderLocked(path.substr(0, slash)), path.substr(slash + 1));
}

RowIndex Catalogue::AppendFileRow(FolderKey folder, std::u16string_view name, const FileRowValues& values) {
  std::unique_lock lock(mutex_);
  if (folder != kNoFolderKey && !folders_.Contains(folder)) return -1;
  const RowIndex index = AppendRow(folder, name);
  if (index < 0) return index;
  Row& row = rows_[static_cast<std::size_t>(index)];
  row.source = values.source;
  StoreValue(row, kCellSize, values.size);
  StoreValue(row, kCellOffset, values.offset);
  const FileTime times[] = {values.modified, values.accessed, values.created};
  for (int i = 0; i < 3; ++i) {
    StoreValue(row, kCellModifiedLow + 2 * i, static_cast<std::uint32_t>(times[i]));
    StoreValue(row, kCellModifiedHigh + 2 * i, static_cast<std::uint32_t>(times[i] >> 32));
  }
  // The folder chain goes into the tree with the folder's first row; the
  // rows after it find it done.
  if (folder != kNoFolderKey && chainEnd_[folder] == kUnknownNode) {
    std::u16string chain = folders_.Text(folder);
    chain += u'\\';
    chainEnd_[folder] = EnsurePathLocked(chain);
  }
  return index;
}

RowIndex Catalogue::AppendRow(FolderKey folder, std::u16string_view name) {
  if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<RowIndex>::max())) return -1;
  Row row{};
  row.folder = folder;
  row.name = names_.Store(name);
  row.type = types_.IndexFor(name);
  rows_.push_back(row);
  return static_cast<RowIndex>(rows_.size() - 1);
}

void Catalogue::StoreValue(Row& row, int cell, std::int64_t value) {
  if (cell == kCellSize) {
    row.size = value;
  } else if (cell == kCellOffset) {
    row.offset = value;
  } else {
    row.halves[cell - kCellModifiedLow] = static_cast<std::uint32_t>(value);
  }
  row.present |= CellBit(cell);
  row.verbatim &= static_cast<std::uint8_t>(~CellBit(cell));
}

void Catalogue::StoreVerbatim(Row& row, RowIndex index, int cell, std::u16string_view text) {
  row.present |= CellBit(cell);
  row.verbatim |= CellBit(cell);
  texts_[VerbatimKey(index, cell)] = std::u16string(text);
}

RowIndex Catalogue::AppendSnapshotRow(std::u16string_view path, std::span<const std::u16string_view> cells) {
  std::unique_lock lock(mutex_);
  const auto slash = path.rfind(u'\\');
  const FolderKey folder = slash == std::u16string_view::npos ? kNoFolderKey : InternFolderLocked(path.substr(0, slash));
  const RowIndex index = AppendRow(folder, slash == std::u16string_view::npos ? path : path.substr(slash + 1));
  if (folder == kNoFolderKey) {
    EnsurePathLocked(u"\\");  // an empty folder name, as for any path
  } else if (chainEnd_[folder] == kUnknownNode) {
    std::u16string chain = folders_.Text(folder);
    chain += u'\\';
    chainEnd_[folder] = EnsurePathLocked(chain);
  }
  if (index < 0) return index;
  Row& row = rows_[static_cast<std::size_t>(index)];
  for (std::size_t i = 0; i < cells.size() && kCellSize + static_cast<int>(i) <= kCellCreatedHigh; ++i) {
    SetCellLocked(row, index, kCellSize + static_cast<int>(i), cells[i]);
  }
  return index;
}

void Catalogue::SetCatalogueCell(RowIndex index, int cell, std::u16string_view text) {
  if (!IsValueCell(cell)) return;
  std::unique_lock lock(mutex_);
  if (!IsRow(index)) return;
  SetCellLocked(rows_[static_cast<std::size_t>(index)], index, cell, text);
}

void Catalogue::SetCellLocked(Row& row, RowIndex index, int cell, std::u16string_view text) {
  if (row.verbatim & CellBit(cell)) texts_.erase(VerbatimKey(index, cell));
  if (text.empty()) {
    row.present &= static_cast<std::uint8_t>(~CellBit(cell));
    row.verbatim &= static_cast<std::uint8_t>(~CellBit(cell));
    return;
  }
  std::int64_t number = 0;
  std::uint32_t half = 0;
  bool canonical = false;
  if (cell == kCellSize || cell == kCellOffset) {
    canonical = ParseCanonicalInt64(text, number);
  } else if (IsLowHalfCell(cell)) {
    canonical = ParseCanonicalLowHalf(text, half);
    number = half;
  } else {
    canonical = ParseCanonicalHighHalf(text, half);
    number = half;
  }
  if (canonical) {
    StoreValue(row, cell, number);
  } else {
    StoreVerbatim(row, index, cell, text);
  }
}

void Catalogue::SetCatalogueNumber(RowIndex index, int cell, std::int64_t value) {
  if (cell != kCellSize && cell != kCellOffset) return;
  std::unique_lock lock(mutex_);
  if (!IsRow(index)) return;
  Row& row = rows_[static_cast<std::size_t>(index)];
  if (row.verbatim & CellBit(cell)) texts_.erase(VerbatimKey(index, cell));
  StoreValue(row, cell, value);
}

std::u16string Catalogue::CellText(const Row& row, RowIndex index, int cell) const {
  switch (cell) {
    case kCellPath: {
      std::u16string path;
      if (row.folder != kNoFolderKey) {
        folders_.AppendText(row.folder, path);
        path += u'\\';
      }
      names_.AppendTo(path, row.name);
      return path;
    }
    case kCellType:
      return types_.Info(row.type).description;
    default:
      break;
  }
  if (!IsValueCell(cell) || !(row.present & CellBit(cell))) return {};
  if (row.verbatim & CellBit(cell)) return texts_.at(VerbatimKey(index, cell));
  if (cell == kCellSize) return FormatInt64(row.size);
  if (cell == kCellOffset) return FormatInt64(row.offset);
  const std::uint32_t half = row.halves[cell - kCellModifiedLow];
  return IsLowHalfCell(cell) ? FormatLowHalf(half) : FormatHighHalf(half);
}

bool Catalogue::CellIsNumber(const Row& row, RowIndex index, int cell) const {
  if (!(row.present & CellBit(cell))) return false;
  return !(row.verbatim & CellBit(cell)) || IsNumberText(texts_.at(VerbatimKey(index, cell)));
}

std::int64_t Catalogue::CellNumber(const Row& row, RowIndex index, int cell) const {
  if (!(row.present & CellBit(cell))) return 0;
  if (row.verbatim & CellBit(cell)) return ParseInt64(texts_.at(VerbatimKey(index, cell)));
  return cell == kCellSize ? row.size : row.offset;
}

// As JoinFileTime reads the two cell texts: a half whose text is negative
// (a high half of 0x80000000 or more) counts as 0.
FileTime Catalogue::CellTime(const Row& row, RowIndex index, int lowCell) const {
  const auto half = [&](int cell) -> std::uint64_t {
    if (!(row.present & CellBit(cell))) return 0;
    if (row.verbatim & CellBit(cell)) {
      const std::int64_t value = ParseInt64(texts_.at(VerbatimKey(index, cell)));
      return value < 0 ? 0 : static_cast<std::uint32_t>(value);
    }
    const std::uint32_t stored = row.halves[cell - kCellModifiedLow];
    return !IsLowHalfCell(cell) && static_cast<std::int32_t>(stored) < 0 ? 0 : stored;
  };
  return half(lowCell + 1) << 32 | half(lowCell);
}

RowNumbers Catalogue::ReadRowNumbers(RowIndex index) const {
  std::shared_lock lock(mutex_);
  if (!IsRow(index)) return {};
  return NumbersLocked(rows_[static_cast<std::size_t>(index)], index);
}

RowNumbers Catalogue::NumbersLocked(const Row& row, RowIndex index) const {
  return {{CellNumber(row, index, kCellSize), CellNumber(row, index, kCellOffset),
           CellTime(row, index, kCellModifiedLow), CellTime(row, index, kCellAccessedLow),
           CellTime(row, index, kCellCreatedLow), row.source},
          row.folder,
          row.type,
          row.checked,
          CellIsNumber(row, index, kCellSize),
          CellIsNumber(row, index, kCellOffset)};
}

std::u16string Catalogue::GetCatalogueCell(RowIndex index, int cell) const {
  std::shared_lock lock(mutex_);
  if (!IsRow(index)) return {};
  return CellText(rows_[static_cast<std::size_t>(index)], index, cell);
}

RowIndex Catalogue::CatalogueRowCount() const {
  std::shared_lock lock(mutex_);
  return static_cast<RowIndex>(rows_.size());
}

void Catalogue::SetRowChecked(RowIndex index, bool checked) {
  std::unique_lock lock(mutex_);
  if (IsRow(index)) rows_[static_cast<std::size_t>(index)].checked = checked;
}

bool Catalogue::IsRowChecked(RowIndex index) const {
  std::shared_lock lock(mutex_);
  return IsRow(index) && rows_[static_cast<std::size_t>(index)].checked;
}

void Catalogue::SetAllRowsChecked(bool checked) {
  std::unique_lock lock(mutex_);
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].checked = checked;
}

void Catalogue::SetRowsChecked(std::span<const RowIndex> rows, bool checked) {
  std::unique_lock lock(mutex_);
  for (RowIndex row : rows) {
    if (IsRow(row)) rows_[static_cast<std::size_t>(row)].checked = checked;
  }
}

std::u16string Catalogue::FolderText(FolderKey folder) const {
  std::shared_lock lock(mutex_);
  return folders_.Text(folder);
}

std::int64_t Catalogue::RenameFolder(FolderId node, std::u16string_view name) {
  std::unique_lock lock(mutex_);
  if (node < 0 || node >= tree_.NodeCount() || tree_.Parent(node) == kNoFolder) return 0;
  // The old path: the names from the top-level node down.
  std::u16string oldFolder = tree_.Name(node);
  for (FolderId at = tree_.Parent(node); at != kNoFolder; at = tree_.Parent(at)) {
    oldFolder.insert(0, tree_.Name(at) + u'\\');
  }
  std::int64_t changed = 0;
  if (const std::optional<FolderKey> old = folders_.Find(oldFolder)) {
    // The folder and every folder below it (made after their parents) take
    // the new name's place; rows move to their new keys, which are those of
    // any folder that already bears the new text.
    std::u16string newFolder = oldFolder.substr(0, oldFolder.size() - tree_.Name(node).size());
    newFolder += name;
    const std::size_t count = folders_.Count();
    std::vector<FolderKey> moved(count, kNoFolderKey);
    moved[*old] = InternFolderLocked(newFolder);
    for (std::size_t key = *old + 1; key < count; ++key) {
      const FolderKey parent = folders_.Parent(static_cast<FolderKey>(key));
      if (parent == kNoFolderKey || moved[parent] == kNoFolderKey) continue;
      moved[key] = folders_.InternChild(moved[parent], folders_.Name(static_cast<FolderKey>(key)));
    }
    chainEnd_.resize(folders_.Count(), kUnknownNode);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      Row& row = rows_[i];
      if (row.folder < count && moved[row.folder] != kNoFolderKey) {
        row.folder = moved[row.folder];
        ++changed;
      }
    }
  }
  tree_.Rename(node, name);
  // The node's subtree now shows other folder texts; nodes come after their
  // parents, so one pass in order gives every key again.
  std::vector<bool> below(static_cast<std::size_t>(tree_.NodeCount()), false);
  for (FolderId at = node; at < tree_.NodeCount(); ++at) {
    const FolderId parent = tree_.Parent(at);
    below[static_cast<std::size_t>(at)] = at == node || (parent != kNoFolder && below[static_cast<std::size_t>(parent)]);
    if (below[static_cast<std::size_t>(at)]) keyOfNode_[static_cast<std::size_t>(at)] = NodeKey(at);
  }
  std::fill(chainEnd_.begin(), chainEnd_.end(), kUnknownNode);
  return changed;
}

void Catalogue::ClearCatalogue() {
  std::unique_lock lock(mutex_);
  rows_.clear();
  names_.Clear();
  folders_.Clear();
  chainEnd_.clear();
  texts_.clear();
  // Nodes that stay keep their place, with their keys made again.
  keyOfNode_.clear();
  for (FolderId node = 0; node < tree_.NodeCount(); ++node) keyOfNode_.push_back(NodeKey(node));
}

std::uint32_t Catalogue::IconIndex(RowIndex index) const {
  std::shared_lock lock(mutex_);
  return IsRow(index) ? rows_[static_cast<std::size_t>(index)].type : 0;
}

FileTypeInfo Catalogue::FileType(std::uint32_t iconIndex) const {
  std::shared_lock lock(mutex_);
  return iconIndex < types_.Count() ? types_.Info(iconIndex) : GenericFileType({});
}

void Catalogue::EnsureFolderPath(std::u16string_view path) {
  std::unique_lock lock(mutex_);
  EnsurePathLocked(path);
}

void Catalogue::ClearFolderTree() {
  std::unique_lock lock(mutex_);
  tree_.Clear();
  keyOfNode_.clear();
  std::fill(chainEnd_.begin(), chainEnd_.end(), kUnknownNode);
}

FolderKey Catalogue::KeyOfNode(FolderId node) const {
  std::shared_lock lock(mutex_);
  return node >= 0 && static_cast<std::size_t>(node) < keyOfNode_.size() ? keyOfNode_[static_cast<std::size_t>(node)]
                                                                          : kNoFolderKey;
}

}  // namespace tallowin

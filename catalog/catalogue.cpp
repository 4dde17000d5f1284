#include "catalog/catalogue.h"

#include <limits>
#include <vector>
#include <utility>

#include "catalog/same_text.h"

namespace tallowin {
namespace {

bool IsValueCell(int cell) { return cell >= kCellSize && cell <= kCellCreatedHigh; }
bool IsLowHalfCell(int cell) { return cell == kCellModifiedLow || cell == kCellAccessedLow || cell == kCellCreatedLow; }
std::uint8_t CellBit(int cell) { return static_cast<std::uint8_t>(1u << (cell - kCellSize)); }


}  // namespace

Catalogue::Catalogue(FileTypeLookup lookup) : types_(std::move(lookup)) {}

FolderKey Catalogue::InternFolderLocked(std::u16string_view folder) {
  if (!folderTexts_.empty() && SameText(folderTexts_.back(), folder)) {
    return static_cast<FolderKey>(folderTexts_.size() - 1);
  }
  if (const auto found = folderKeys_.find(folder); found != folderKeys_.end()) return found->second;
  folderTexts_.emplace_back(folder);
  const auto key = static_cast<FolderKey>(folderTexts_.size() - 1);
  folderKeys_.emplace(folderTexts_.back(), key);
  chainEnd_.push_back(kUnknownNode);
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
  std::u16string text = folderTexts_[keyOfNode_[static_cast<std::size_t>(parent)]];
  text += u'\\';
  text += tree_.Name(node);
  return InternFolderLocked(text);
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
  if (folder != kNoFolderKey && folder >= folderTexts_.size()) return -1;
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
    std::u16string chain = folderTexts_[folder];
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

void Catalogue::SetCatalogueCell(RowIndex index, int cell, std::u16string_view text) {
  if (!IsValueCell(cell)) return;
  std::unique_lock lock(mutex_);
  if (!IsRow(index)) return;
  Row& row = rows_[static_cast<std::size_t>(index)];
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
        path = folderTexts_[row.folder];
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
  const Row& row = rows_[static_cast<std::size_t>(index)];
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
  return folder < folderTexts_.size() ? folderTexts_[folder] : std::u16string();
}

std::int64_t Catalogue::RenameFolder(FolderId node, std::u16string_view name) {
  std::unique_lock lock(mutex_);
  if (node < 0 || node >= tree_.NodeCount() || tree_.Parent(node) == kNoFolder) return 0;
  // The old and the new path: the names from the top-level node down.
  std::u16string oldFolder = tree_.Name(node);
  for (FolderId at = tree_.Parent(node); at != kNoFolder; at = tree_.Parent(at)) {
    oldFolder.insert(0, tree_.Name(at) + u'\\');
  }
  std::u16string newFolder = oldFolder.substr(0, oldFolder.size() - tree_.Name(node).size());
  newFolder += name;

  // Folder texts, not rows, carry the prefix: each affected text is renamed
  // once and its rows move to the new key.
  std::vector<FolderKey> moved(folderTexts_.size(), kNoFolderKey);
  const std::size_t texts = folderTexts_.size();
  for (std::size_t key = 0; key < texts; ++key) {
    const std::u16string_view text = folderTexts_[key];
    const bool below = text.size() > oldFolder.size() && text[oldFolder.size()] == u'\\' &&
                       text.substr(0, oldFolder.size()) == oldFolder;
    if (text != oldFolder && !below) continue;
    std::u16string renamed(newFolder);
    renamed.append(text.substr(oldFolder.size()));
    moved[key] = InternFolderLocked(renamed);
  }
  std::int64_t changed = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (row.folder < moved.size() && moved[row.folder] != kNoFolderKey) {
      row.folder = moved[row.folder];
      ++changed;
    }
  }
  tree_.Rename(node, name);
  // The node's subtree now shows other folder texts; nodes come after their
  // parents, so one pass in order gives every key again.
  for (FolderId at = node; at < tree_.NodeCount(); ++at) {
    FolderId up = at;
    while (up != kNoFolder && up != node) up = tree_.Parent(up);
    if (up == node) keyOfNode_[static_cast<std::size_t>(at)] = NodeKey(at);
  }
  std::fill(chainEnd_.begin(), chainEnd_.end(), kUnknownNode);
  return changed;
}

void Catalogue::ClearCatalogue() {
  std::unique_lock lock(mutex_);
  rows_.clear();
  names_.Clear();
  folderKeys_.clear();
  folderTexts_.clear();
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

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

std::uint32_t Catalogue::InternFolder(std::u16string_view folder) {
  if (!folderTexts_.empty() && SameText(folderTexts_.back(), folder)) {
    return static_cast<std::uint32_t>(folderTexts_.size() - 1);
  }
  if (const auto found = folderIds_.find(folder); found != folderIds_.end()) return found->second;
  folderTexts_.emplace_back(folder);
  const auto id = static_cast<std::uint32_t>(folderTexts_.size() - 1);
  folderIds_.emplace(folderTexts_.back(), id);
  return id;
}

RowIndex Catalogue::AppendCatalogueRow(std::u16string_view path) {
  std::unique_lock lock(mutex_);
  return AppendRow(path);
}

RowIndex Catalogue::AppendFileRow(std::u16string_view path, const FileRowValues& values) {
  std::unique_lock lock(mutex_);
  const RowIndex index = AppendRow(path);
  if (index < 0) return index;
  Row& row = rows_[static_cast<std::size_t>(index)];
  StoreValue(row, kCellSize, values.size);
  StoreValue(row, kCellOffset, values.offset);
  const FileTime times[] = {values.modified, values.accessed, values.created};
  for (int i = 0; i < 3; ++i) {
    StoreValue(row, kCellModifiedLow + 2 * i, static_cast<std::uint32_t>(times[i]));
    StoreValue(row, kCellModifiedHigh + 2 * i, static_cast<std::uint32_t>(times[i] >> 32));
  }
  tree_.EnsurePath(path);
  return index;
}

RowIndex Catalogue::AppendRow(std::u16string_view path) {
  if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<RowIndex>::max())) return -1;
  Row row{};
  const auto slash = path.rfind(u'\\');
  if (slash == std::u16string_view::npos) {
    row.folder = kNoFolderText;
    row.name = names_.Store(path);
  } else {
    row.folder = InternFolder(path.substr(0, slash));
    row.name = names_.Store(path.substr(slash + 1));
  }
  row.type = types_.IndexFor(path);
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
      if (row.folder == kNoFolderText) return std::u16string(names_.View(row.name));
      std::u16string path = folderTexts_[row.folder];
      path += u'\\';
      path += names_.View(row.name);
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

std::u16string Catalogue::FolderText(std::uint32_t folder) const {
  std::shared_lock lock(mutex_);
  return folder < folderTexts_.size() ? folderTexts_[folder] : std::u16string();
}

std::int64_t Catalogue::RenameFolderPrefix(std::u16string_view oldFolder, std::u16string_view newFolder) {
  std::unique_lock lock(mutex_);
  // Folder texts, not rows, carry the prefix: each affected text is renamed
  // once and its rows move to the new id.
  std::vector<std::uint32_t> moved(folderTexts_.size(), kNoFolderText);
  bool any = false;
  const std::size_t texts = folderTexts_.size();
  for (std::size_t id = 0; id < texts; ++id) {
    const std::u16string_view text = folderTexts_[id];
    const bool below = text.size() > oldFolder.size() && text[oldFolder.size()] == u'\\' &&
                       text.substr(0, oldFolder.size()) == oldFolder;
    if (text != oldFolder && !below) continue;
    std::u16string renamed(newFolder);
    renamed.append(text.substr(oldFolder.size()));
    moved[id] = InternFolder(renamed);
    any = true;
  }
  if (!any) return 0;
  std::int64_t changed = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (row.folder != kNoFolderText && row.folder < moved.size() && moved[row.folder] != kNoFolderText) {
      row.folder = moved[row.folder];
      ++changed;
    }
  }
  return changed;
}

void Catalogue::ClearCatalogue() {
  std::unique_lock lock(mutex_);
  rows_.clear();
  names_.Clear();
  folderIds_.clear();
  folderTexts_.clear();
  texts_.clear();
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
  tree_.EnsurePath(path);
}

void Catalogue::ClearFolderTree() {
  std::unique_lock lock(mutex_);
  tree_.Clear();
}

void Catalogue::RenameFolderNode(FolderId node, std::u16string_view name) {
  std::unique_lock lock(mutex_);
  if (node >= 0 && node < tree_.NodeCount()) tree_.Rename(node, name);
}

}  // namespace tallowin

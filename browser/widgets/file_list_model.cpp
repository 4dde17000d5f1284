#include "browser/widgets/file_list_model.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verdict_look.h"
#include "catalog/file_time.h"
#include "catalog/program_texts.h"

namespace tallowin {

FileListModel::FileListModel(const FolderBrowser& browser, const Catalogue& catalogue, const RowVerdicts& verdicts,
                             const FolderMarks& marks, QObject* parent)
    : QAbstractTableModel(parent),
      browser_(browser),
      catalogue_(catalogue),
      verdicts_(verdicts),
      marks_(marks),
      folderIcon_(pictures::Render(pictures::kFolderClosed, QSize(16, 16))),
      troubledFolderIcon_(WithTroubleMark(folderIcon_)) {}

bool FileListModel::Troubled(const ListRow& row) const {
  return row.kind == ListRowKind::kFolder && marks_.Any() && marks_.Troubled(catalogue_.KeyOfNode(row.node));
}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(browser_.List().size());
}

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant FileListModel::Text(const ListRow& row, int column) const {
  switch (column) {
    case 0: return ToQString(browser_.RowName(row));
    case 1:
      if (row.kind == ListRowKind::kParent) return ToQString(desktop::kParentFolder);
      if (row.kind == ListRowKind::kFolder) return ToQString(texts::kFolder);
      return ToQString(catalogue_.FileType(catalogue_.IconIndex(row.row)).description);
    default:
      break;
  }
  if (row.kind != ListRowKind::kFile) return QString();
  if (column == 2) return ToQString(catalogue_.GetCatalogueCell(row.row, kCellSize));
  const RowNumbers numbers = catalogue_.ReadRowNumbers(row.row);
  return ToQString(FormatListDate(column == 3 ? numbers.modified : numbers.created));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= browser_.List().size()) return {};
  const ListRow& row = browser_.List()[static_cast<std::size_t>(index.row())];
  const bool parentRow = row.kind == ListRowKind::kParent;
  if (index.column() == kVerdictColumn && role != Qt::BackgroundRole) {
    return row.kind == ListRowKind::kFile ? VerdictData(verdicts_, row.row, role) : QVariant();
  }
  switch (role) {
    case Qt::DisplayRole: return Text(row, index.column());
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      if (row.kind == ListRowKind::kFile) return icons_.For(catalogue_, catalogue_.IconIndex(row.row));
      return Troubled(row) ? troubledFolderIcon_ : folderIcon_;
    case Qt::ToolTipRole:
      return index.column() == 0 && Troubled(row) ? QVariant(ToQString(desktop::kTroubleBelow)) : QVariant();
    case Qt::CheckStateRole:
      if (index.column() != 0) return {};
      if (parentRow || row.state == CheckState::kUnchecked) return Qt::Unchecked;
      return row.state == CheckState::kChecked ? Qt::Checked : Qt::PartiallyChecked;
    case kParentMarkerRole: return index.column() == 0 && parentRow;
    case Qt::BackgroundRole: return parentRow ? QVariant(kParentBackground) : QVariant();
    default: return {};
  }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) {
    return {};
  }
  return section == kVerdictColumn ? ToQString(desktop::kVerdictHeading) : ToQString(desktop::kFileListHeadings[section]);
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= browser_.List().size()) return flags;
  const bool file = browser_.List()[static_cast<std::size_t>(index.row())].kind == ListRowKind::kFile;
  return file ? flags | Qt::ItemIsDragEnabled : flags;
}

void FileListModel::Reload() {
  beginResetModel();
  endResetModel();
}

void FileListModel::StatesChanged() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void FileListModel::VerdictsChanged() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

}  // namespace tallowin

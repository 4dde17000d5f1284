#include "browser/widgets/catalogue_list_model.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verdict_look.h"

namespace tallowin {

CatalogueListModel::CatalogueListModel(Catalogue& catalogue, const RowVerdicts& verdicts, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue), verdicts_(verdicts) {}

int CatalogueListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const RowIndex row = index.row();
  if (index.column() == kVerdictColumn && role != Qt::ForegroundRole && role != Qt::BackgroundRole) {
    return VerdictData(verdicts_, row, role);
  }
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(catalogue_.GetCatalogueCell(row, index.column()));
    case Qt::CheckStateRole:
      if (index.column() != kCellPath) return {};
      return catalogue_.IsRowChecked(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
      if (index.column() != kCellPath) return {};
      return icons_.For(catalogue_, catalogue_.IconIndex(row));
    case Qt::ForegroundRole:
      return catalogue_.IsRowChecked(row) ? QVariant(kCheckedText) : QVariant();
    case Qt::BackgroundRole:
      return catalogue_.IsRowChecked(row) ? QVariant(kCheckedBackground) : QVariant();
    default:
      return {};
  }
}

QVariant CatalogueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kCellPath:
    case kCellType:
    case kCellSize: return ToQString(desktop::kCatalogueHeadings[section]);
    case kVerdictColumn: return ToQString(desktop::kVerdictHeading);
    default: return QString();
  }
}

void CatalogueListModel::Refresh() {
  const int count = catalogue_.CatalogueRowCount();
  if (count < shown_) {
    Reset();
    return;
  }
  if (count == shown_) return;
  beginInsertRows({}, shown_, count - 1);
  shown_ = count;
  endInsertRows();
}

void CatalogueListModel::Reset() {
  beginResetModel();
  shown_ = 0;
  icons_.Clear();
  endResetModel();
}

void CatalogueListModel::RowsChanged(RowIndex row) {
  if (row < 0) {
    if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, kColumnCount - 1));
  } else if (row < shown_) {
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
  }
}

void CatalogueListModel::VerdictsChanged() {
  if (shown_ > 0) emit dataChanged(index(0, kVerdictColumn), index(shown_ - 1, kVerdictColumn));
}

}  // namespace tallowin

#include "browser/catalogue_list_model.h"

#include "browser/text_qt.h"

namespace tallowin {

CatalogueListModel::CatalogueListModel(Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue) {}

int CatalogueListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kCatalogueCellCount;
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const RowIndex row = index.row();
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(catalogue_.GetCatalogueCell(row, index.column()));
    case Qt::CheckStateRole:
      if (index.column() != kCellPath) return {};
      return catalogue_.IsRowChecked(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
      if (index.column() != kCellPath) return {};
      return IconFor(catalogue_.IconIndex(row));
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
    case kCellPath: return QStringLiteral("File Name");
    case kCellType: return QStringLiteral("File Type");
    case kCellSize: return QStringLiteral("File Size");
    default: return QString();
  }
}

Qt::ItemFlags CatalogueListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.column() == kCellPath) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool CatalogueListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() != kCellPath ||
      index.row() >= shown_) {
    return false;
  }
  catalogue_.SetRowChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kCatalogueCellCount - 1));
  return true;
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
  icons_.clear();
  endResetModel();
}

void CatalogueListModel::ChecksChanged() {
  if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, kCatalogueCellCount - 1));
}

QIcon CatalogueListModel::IconFor(std::uint32_t iconIndex) const {
  auto found = icons_.find(iconIndex);
  if (found != icons_.end()) return *found;
  const std::string name = catalogue_.FileType(iconIndex).iconName;
  static const QIcon generic = QIcon::fromTheme("text-x-generic");
  QIcon icon = name.empty() ? generic : QIcon::fromTheme(QString::fromStdString(name), generic);
  icons_.insert(iconIndex, icon);
  return icon;
}

}  // namespace tallowin

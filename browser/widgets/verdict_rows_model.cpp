#include "browser/widgets/verdict_rows_model.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verdict_look.h"

namespace tallowin {

VerdictRowsModel::VerdictRowsModel(const Catalogue& catalogue, const RowVerdicts& verdicts, std::vector<RowIndex> rows,
                                   MarkRoutine mark, QObject* parent)
    : QAbstractTableModel(parent),
      catalogue_(catalogue),
      verdicts_(verdicts),
      rows_(std::move(rows)),
      mark_(std::move(mark)) {}

int VerdictRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int VerdictRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant VerdictRowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const RowIndex row = RowAt(index.row());
  switch (index.column()) {
    case 0:
      if (role == Qt::DisplayRole) return ToQString(catalogue_.GetCatalogueCell(row, kCellPath));
      if (role == Qt::CheckStateRole) return catalogue_.IsRowChecked(row) ? Qt::Checked : Qt::Unchecked;
      if (role == Qt::DecorationRole) return icons_.For(catalogue_, catalogue_.IconIndex(row));
      return {};
    case 1:
      return role == Qt::ToolTipRole ? QVariant() : VerdictData(verdicts_, row, role);
    case 2:
      return role == Qt::DisplayRole ? VerdictData(verdicts_, row, Qt::ToolTipRole) : QVariant();
    default:
      return {};
  }
}

bool VerdictRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  mark_(RowAt(index.row()), value.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags VerdictRowsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return index.column() == 0 ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant VerdictRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
  return ToQString(desktop::kReportHeadings[section]);
}

}  // namespace tallowin

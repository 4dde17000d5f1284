// The catalogue list as an item model: one row per catalogue row, one column
// per cell, over the catalogue itself (no copy of the rows). While a scan
// appends rows on its own thread, the model shows only the rows it has
// announced; Refresh() announces the new ones in one batch, so a million rows
// cost a few updates a second, not one per row.
#pragma once

#include <QAbstractTableModel>
#include "browser/widgets/type_icons.h"
#include "catalog/catalogue.h"

namespace tallowin {

class CatalogueListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Widths of the columns; the seven without heading are not shown.
  static constexpr int kColumnWidths[kCatalogueCellCount] = {600, 200, 400, 0, 0, 0, 0, 0, 0, 0};
  static inline const QColor kCheckedText{255, 0, 0};
  static inline const QColor kCheckedBackground{248, 233, 243};

  explicit CatalogueListModel(Catalogue& catalogue, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Announces the rows appended since the last call; starts afresh when the
  // catalogue has been emptied meanwhile.
  void Refresh();
  // Forgets every row (the catalogue is about to be or has been emptied).
  void Reset();
  // Every announced row's check mark may have changed.
  void ChecksChanged();
  // Only this row's.
  void RowChanged(RowIndex row);

 private:
  Catalogue& catalogue_;
  int shown_ = 0;
  mutable TypeIcons icons_;
};

}  // namespace tallowin

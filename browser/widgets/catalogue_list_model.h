// The catalogue list as an item model: one row per catalogue row, one column
// per cell and a last one for the row's verdict, over the catalogue and the
// verdicts beside it (no copy of the rows). While a scan
// appends rows on its own thread, the model shows only the rows it has
// announced; Refresh() announces the new ones in one batch, so a million rows
// cost a few updates a second, not one per row.
#pragma once

#include <QAbstractTableModel>
#include "save/row_verdicts.h"
#include "browser/widgets/type_icons.h"
#include "catalog/catalogue.h"

namespace tallowin {

class CatalogueListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kVerdictColumn = kCatalogueCellCount;
  static constexpr int kColumnCount = kCatalogueCellCount + 1;
  // Widths of the columns; the seven without heading are not shown.
  static constexpr int kColumnWidths[kColumnCount] = {600, 200, 400, 0, 0, 0, 0, 0, 0, 0, 120};
  static inline const QColor kCheckedText{255, 0, 0};
  static inline const QColor kCheckedBackground{248, 233, 243};

  CatalogueListModel(Catalogue& catalogue, const RowVerdicts& verdicts, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Announces the rows appended since the last call; starts afresh when the
  // catalogue has been emptied meanwhile.
  void Refresh();
  // Forgets every row (the catalogue is about to be or has been emptied).
  void Reset();
  // The check mark (or the path) of `row` may have changed, or of every
  // announced row when `row` is negative.
  void RowsChanged(RowIndex row);
  // The verdicts of any announced row may have changed.
  void VerdictsChanged();

 private:
  Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  int shown_ = 0;
  mutable TypeIcons icons_;
};

}  // namespace tallowin

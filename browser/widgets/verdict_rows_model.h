// The files of a verification that are not verified, as an item model: the
// path with the row's own check box, the verdict and its reason. Only the
// row numbers are kept; the cells come from the catalogue and the verdicts
// when shown. A check box changed here is the catalogue's, as everywhere.
#pragma once

#include <functional>
#include <vector>

#include <QAbstractTableModel>

#include "save/row_verdicts.h"
#include "browser/widgets/type_icons.h"
#include "catalog/catalogue.h"

namespace tallowin {

class VerdictRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 3;
  static constexpr int kColumnWidths[kColumnCount] = {420, 130, 360};
  // Sets a row's check mark the way the browser does, so that every view follows.
  using MarkRoutine = std::function<void(RowIndex row, bool checked)>;

  VerdictRowsModel(const Catalogue& catalogue, const RowVerdicts& verdicts, std::vector<RowIndex> rows,
                   MarkRoutine mark, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  RowIndex RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  const std::vector<RowIndex>& Rows() const { return rows_; }

 private:
  const Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  std::vector<RowIndex> rows_;
  MarkRoutine mark_;
  mutable TypeIcons icons_;
};

}  // namespace tallowin

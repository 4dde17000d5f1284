// The file list: the contents of the folder selected in the tree, under the
// columns "Name", "Type", "File Size", "Date Modified" and "Date Created".
// It stays empty until a folder is shown in it.
#pragma once

#include <QAbstractTableModel>

namespace tallowin {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 5;
  static constexpr int kColumnWidths[kColumnCount] = {200, 150, 100, 120, 120};

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

}  // namespace tallowin

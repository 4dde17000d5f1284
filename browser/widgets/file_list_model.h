// The file list: the contents of the folder selected in the tree, as the
// browser holds them, under the columns "Name", "Type", "File Size", "Date
// Modified" and "Date Created".
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "browser/selection/folder_browser.h"
#include "browser/widgets/type_icons.h"

namespace tallowin {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 5;
  static constexpr int kColumnWidths[kColumnCount] = {200, 150, 100, 120, 120};
  static inline const QColor kParentBackground{220, 242, 226};

  FileListModel(const FolderBrowser& browser, const Catalogue& catalogue, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The browser's list changed as a whole (a folder shown, a sort).
  void Reload();
  // Only check states changed.
  void StatesChanged();

 private:
  QVariant Text(const ListRow& row, int column) const;

  const FolderBrowser& browser_;
  const Catalogue& catalogue_;
  QIcon folderIcon_;
  mutable TypeIcons icons_;
};

}  // namespace tallowin

// The file list: the contents of the folder selected in the tree, as the
// browser holds them, under the columns "Name", "Type", "File Size", "Date
// Modified" and "Date Created", and the verdict of each file. A folder below
// which lie damaged or incomplete files carries the trouble mark.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "save/row_verdicts.h"
#include "browser/selection/folder_browser.h"
#include "browser/widgets/folder_marks.h"
#include "browser/widgets/type_icons.h"

namespace tallowin {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kVerdictColumn = 5;
  static constexpr int kColumnCount = 6;
  static constexpr int kColumnWidths[kColumnCount] = {200, 150, 100, 120, 120, 110};
  static inline const QColor kParentBackground{220, 242, 226};

  FileListModel(const FolderBrowser& browser, const Catalogue& catalogue, const RowVerdicts& verdicts,
                const FolderMarks& marks, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // A file can be dragged out; the parent row and the folders cannot.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The browser's list changed as a whole (a folder shown, a sort).
  void Reload();
  // Only check states changed.
  void StatesChanged();
  // Verdicts and the folders' marks changed.
  void VerdictsChanged();

 private:
  QVariant Text(const ListRow& row, int column) const;
  bool Troubled(const ListRow& row) const;

  const FolderBrowser& browser_;
  const Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  const FolderMarks& marks_;
  QIcon folderIcon_;
  QIcon troubledFolderIcon_;
  mutable TypeIcons icons_;
};

}  // namespace tallowin

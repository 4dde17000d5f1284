// The folder tree as an item model over the catalogue's tree, with the check
// states and the marks of folders that hold trouble beside it. Nodes appear while a scan runs; like the catalogue list,
// the model shows the children it has announced, and Refresh() announces the
// new ones, one range per parent, in node order so that a parent is always
// announced before its children.
#pragma once

#include <vector>

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>

#include "browser/selection/folder_checks.h"
#include "browser/widgets/folder_marks.h"
#include "catalog/catalogue.h"

namespace tallowin {

class FolderTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  FolderTreeModel(Catalogue& catalogue, FolderChecks& checks, const FolderMarks& marks, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  static FolderId NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<FolderId>(index.internalId()) : kNoFolder;
  }
  QModelIndex IndexOf(FolderId node) const;

  // Announces the nodes added since the last call; nodesAdded tells them.
  void Refresh();
  void Reset();
  // The check states of every announced node may have changed.
  void ChecksChanged();
  // The name of `node` changed.
  void NameChanged(FolderId node);
  // The marks of every announced node may have changed.
  void MarksChanged();
  // The selected node shows the open folder.
  void SetSelectedNode(FolderId node);

 signals:
  // Refresh announced these nodes.
  void nodesAdded(const QList<QModelIndex>& nodes);

 private:
  int KnownChildren(FolderId node) const;
  void EmitChanged(FolderId node);
  void EmitAllChanged(const QList<int>& roles);

  Catalogue& catalogue_;
  FolderChecks& checks_;
  const FolderMarks& marks_;
  // Announced children per node; slot 0 holds the top level.
  std::vector<int> known_;
  FolderId selected_ = kNoFolder;
  QIcon topIcon_;
  QIcon closedIcon_;
  QIcon openIcon_;
  QIcon topMarkedIcon_;
  QIcon closedMarkedIcon_;
  QIcon openMarkedIcon_;
};

}  // namespace tallowin

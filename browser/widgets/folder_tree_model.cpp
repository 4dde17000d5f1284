#include "browser/widgets/folder_tree_model.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verdict_look.h"

namespace tallowin {

FolderTreeModel::FolderTreeModel(Catalogue& catalogue, FolderChecks& checks, const FolderMarks& marks,
                                 QObject* parent)
    : QAbstractItemModel(parent),
      catalogue_(catalogue),
      checks_(checks),
      marks_(marks),
      known_(1, 0),
      topIcon_(pictures::Render(pictures::kAppIcon, QSize(16, 16))),
      closedIcon_(pictures::Render(pictures::kFolderClosed, QSize(16, 16))),
      openIcon_(pictures::Render(pictures::kFolderOpen, QSize(16, 16))),
      topMarkedIcon_(WithTroubleMark(topIcon_)),
      closedMarkedIcon_(WithTroubleMark(closedIcon_)),
      openMarkedIcon_(WithTroubleMark(openIcon_)) {}

int FolderTreeModel::KnownChildren(FolderId node) const {
  const auto slot = static_cast<std::size_t>(node + 1);
  return slot < known_.size() ? known_[slot] : 0;
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const FolderId parentNode = NodeOf(parent);
  if (column != 0 || row < 0 || row >= KnownChildren(parentNode)) return {};
  const FolderId child = catalogue_.ReadFolderTree(
      [&](const FolderTree& tree) { return tree.Children(parentNode)[static_cast<std::size_t>(row)]; });
  return createIndex(row, 0, static_cast<quintptr>(child));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  const FolderId node = NodeOf(child);
  if (node == kNoFolder) return {};
  return IndexOf(catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.Parent(node); }));
}

QModelIndex FolderTreeModel::IndexOf(FolderId node) const {
  if (node == kNoFolder || static_cast<std::size_t>(node + 1) >= known_.size()) return {};
  const int row = catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.IndexInParent(node); });
  return createIndex(row, 0, static_cast<quintptr>(node));
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const { return KnownChildren(NodeOf(parent)); }

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  const FolderId node = NodeOf(index);
  if (node == kNoFolder) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(catalogue_.ReadFolderTree([&](const FolderTree& tree) { return tree.Name(node); }));
    case Qt::DecorationRole: {
      const bool marked = marks_.Any() && marks_.Troubled(catalogue_.KeyOfNode(node));
      if (!index.parent().isValid()) return marked ? topMarkedIcon_ : topIcon_;
      if (node == selected_) return marked ? openMarkedIcon_ : openIcon_;
      return marked ? closedMarkedIcon_ : closedIcon_;
    }
    case Qt::ToolTipRole:
      if (!marks_.Any() || !marks_.Troubled(catalogue_.KeyOfNode(node))) return {};
      return ToQString(desktop::kTroubleBelow);
    case Qt::CheckStateRole:
      switch (checks_.State(node)) {
        case CheckState::kChecked: return Qt::Checked;
        case CheckState::kPartlyChecked: return Qt::PartiallyChecked;
        case CheckState::kUnchecked: return Qt::Unchecked;
      }
      return {};
    default:
      return {};
  }
}

void FolderTreeModel::Refresh() {
  // Child counts per node, read in one go; the tree only grows meanwhile.
  std::vector<int> counts = catalogue_.ReadFolderTree([](const FolderTree& tree) {
    std::vector<int> result(static_cast<std::size_t>(tree.NodeCount()) + 1);
    for (FolderId node = kNoFolder; node < tree.NodeCount(); ++node) {
      result[static_cast<std::size_t>(node + 1)] = static_cast<int>(tree.Children(node).size());
    }
    return result;
  });
  if (counts.size() < known_.size()) {
    Reset();
    return;
  }
  QList<QModelIndex> added;
  known_.resize(counts.size(), 0);
  for (std::size_t slot = 0; slot < counts.size(); ++slot) {
    const int before = known_[slot];
    if (counts[slot] == before) continue;
    const FolderId node = static_cast<FolderId>(slot) - 1;
    const QModelIndex parent = IndexOf(node);
    beginInsertRows(parent, before, counts[slot] - 1);
    known_[slot] = counts[slot];
    endInsertRows();
    for (int row = before; row < counts[slot]; ++row) added.append(index(row, 0, parent));
  }
  if (!added.isEmpty()) emit nodesAdded(added);
}

void FolderTreeModel::Reset() {
  beginResetModel();
  known_.assign(1, 0);
  selected_ = kNoFolder;
  endResetModel();
}

void FolderTreeModel::ChecksChanged() { EmitAllChanged({Qt::CheckStateRole}); }

void FolderTreeModel::NameChanged(FolderId node) {
  const QModelIndex at = IndexOf(node);
  if (at.isValid()) emit dataChanged(at, at, {Qt::DisplayRole});
}

void FolderTreeModel::MarksChanged() { EmitAllChanged({Qt::DecorationRole, Qt::ToolTipRole}); }

void FolderTreeModel::EmitAllChanged(const QList<int>& roles) {
  // One change per parent range; the view repaints what it shows.
  for (std::size_t slot = 0; slot < known_.size(); ++slot) {
    if (known_[slot] == 0) continue;
    const QModelIndex parent = IndexOf(static_cast<FolderId>(slot) - 1);
    emit dataChanged(index(0, 0, parent), index(known_[slot] - 1, 0, parent), roles);
  }
}

void FolderTreeModel::SetSelectedNode(FolderId node) {
  const FolderId old = std::exchange(selected_, node);
  EmitChanged(old);
  EmitChanged(node);
}

void FolderTreeModel::EmitChanged(FolderId node) {
  const QModelIndex at = IndexOf(node);
  if (at.isValid()) emit dataChanged(at, at, {Qt::DecorationRole});
}

}  // namespace tallowin

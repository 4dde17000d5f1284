// The browser page: the folder tree, the file list and the list of recovered
// files over the session's catalogue, the progress of a running scan or load
// (its ScanProgress), and Back, Save and Verify. The lists follow the session's browser
// state by its signals; the page turns the user's clicks and keys into the
// state's changes and the commands, each asked of the session first.
#pragma once

#include <QWidget>

#include "browser/widgets/command_guard.h"
#include "browser/widgets/view_layout.h"
#include "catalog/catalogue.h"

class QLabel;
class QModelIndex;

namespace tallowin {

class BrowserFilters;
class BrowserState;
class CatalogueListModel;
class CatalogueListView;
class CHoverButton;
class FileListModel;
class FileListView;
class FilterBar;
class FolderTreeModel;
class FolderTreeView;
class RecoveryCommands;
class RecoverySessionController;
class ScanProgress;
class SplitHandle;

class BrowserPage : public QWidget {
  Q_OBJECT

 public:
  BrowserPage(RecoverySessionController& session, RecoveryCommands& commands, QWidget* parent);
  ~BrowserPage() override;

  void Place(const ViewLayout& layout);
  ViewSplit Split() const { return split_; }
  void SetSplit(const ViewSplit& split) { split_ = split; }
  FilterBar* Filter() const;
  FilterBar* ReleaseFilter();

  ScanProgress& Progress() const { return *progress_; }
  // A scan or a load begins: empty lists, the progress and Stop.
  void Begin();
  // The scan or load has ended: the lists show the catalogue, every row
  // checked; with rows, Back, Save and Verify come.
  void ShowEnd(bool rows);
  // Back to the start page: no progress, no buttons, nothing on show.
  void Leave();
  // The catalogue is about to be emptied: the models, the lists' filter.
  void Forget();
  // Shows catalogue row `row`: its folder in the tree, the row in the file
  // list and in the list of recovered files.
  void ShowRow(RowIndex row);

 signals:
  void backClicked();
  // The user moved a pane's border: while dragging, and when let go.
  void splitDragged();
  void splitReleased();

 private:
  void CreateLists();
  void CreateButtons();
  void ConnectModels();
  void ConnectViews();
  void OpenNewNodes(const QList<QModelIndex>& added);
  void ToggleTreeCheckBox(const QModelIndex& node);
  void ToggleListCheckBox(int row);
  // The file list's right button: not on the parent row, and not while the
  // catalogue fills.
  bool AcceptsRightClick(int row);
  void ShowListMenu(int row, const QPoint& at);
  void NavigateFrom(int row, bool byKey);
  void GoToParentFolder();
  void SortFileList(int column);
  void SelectNode(FolderId node);
  // The row of the file list and the list of recovered files that shows `row`.
  void SelectListRows(RowIndex row);

  RecoverySessionController& session_;
  BrowserState& shown_;
  RecoveryCommands& commands_;
  CommandGuard guard_;
  ViewSplit split_;

  CatalogueListModel* catalogueModel_ = nullptr;
  FolderTreeModel* treeModel_ = nullptr;
  FileListModel* fileModel_ = nullptr;
  BrowserFilters* filters_ = nullptr;

  FolderTreeView* tree_ = nullptr;
  FileListView* fileList_ = nullptr;
  QLabel* caption_ = nullptr;
  CatalogueListView* catalogueList_ = nullptr;
  ScanProgress* progress_ = nullptr;
  CHoverButton* back_ = nullptr;
  CHoverButton* save_ = nullptr;
  CHoverButton* verify_ = nullptr;
  SplitHandle* treeHandle_ = nullptr;
  SplitHandle* listHandle_ = nullptr;
};

}  // namespace tallowin

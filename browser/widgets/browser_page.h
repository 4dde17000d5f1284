// The browser page: the folder tree, the file list and the list of recovered
// files over the session's catalogue, the progress of a running scan or load,
// and Stop, Back, Save and Verify. The lists follow the session's browser
// state by its signals; the page turns the user's clicks and keys into the
// state's changes and the commands, each asked of the session first.
#pragma once

#include <QWidget>

#include "browser/selection/folder_index.h"
#include "browser/widgets/command_guard.h"
#include "browser/widgets/time_left.h"
#include "browser/widgets/view_layout.h"
#include "catalog/catalogue.h"

class QLabel;
class QModelIndex;
class QProgressBar;
class QTimer;

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
class SplitHandle;

class BrowserPage : public QWidget {
  Q_OBJECT

 public:
  // How often the lists and the progress follow a running scan or load.
  static constexpr int kRefreshMilliseconds = 200;

  BrowserPage(RecoverySessionController& session, RecoveryCommands& commands, QWidget* parent);
  ~BrowserPage() override;

  void Place(const ViewLayout& layout);
  ViewSplit Split() const { return split_; }
  void SetSplit(const ViewSplit& split) { split_ = split; }
  FilterBar* Filter() const;
  FilterBar* ReleaseFilter();

  // A scan or a load begins: empty lists, the progress and Stop.
  void Begin();
  // A load's rows come: no byte count and no found count.
  void HideCounts();
  // The scan or load has ended: the lists show the catalogue, every row
  // checked; with rows, Back, Save and Verify come.
  void ShowEnd(bool rows);
  // No more following of the scan or load.
  void StopFollowing();
  // Back to the start page: no progress, no buttons, nothing on show.
  void Leave();
  // The catalogue is about to be emptied: the models, the lists' filter.
  void Forget();
  // Stop: after the user confirms, the scan or load stops.
  void StopClicked();
  // Shows catalogue row `row`: its folder in the tree, the row in the file
  // list and in the list of recovered files.
  void ShowRow(RowIndex row);

 signals:
  void backClicked();
  // The share of a scan or load done.
  void progressPercent(int percent);
  // The user moved a pane's border: while dragging, and when let go.
  void splitDragged();
  void splitReleased();

 private:
  void CreateLists();
  void CreateProgress();
  void CreateButtons();
  void ConnectModels();
  void ConnectViews();
  void FollowScan();
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
  TimeLeftEstimate timeLeft_;

  CatalogueListModel* catalogueModel_ = nullptr;
  FolderTreeModel* treeModel_ = nullptr;
  FileListModel* fileModel_ = nullptr;
  BrowserFilters* filters_ = nullptr;

  FolderTreeView* tree_ = nullptr;
  FileListView* fileList_ = nullptr;
  QLabel* caption_ = nullptr;
  CatalogueListView* catalogueList_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* searchingLabel_ = nullptr;
  QLabel* progressLabel_ = nullptr;
  QLabel* foundLabel_ = nullptr;
  CHoverButton* stop_ = nullptr;
  CHoverButton* back_ = nullptr;
  CHoverButton* save_ = nullptr;
  CHoverButton* verify_ = nullptr;
  SplitHandle* treeHandle_ = nullptr;
  SplitHandle* listHandle_ = nullptr;
  QTimer* refresh_ = nullptr;
};

}  // namespace tallowin

// The main view: the start page, where the user names a BKF file, and the
// browser page with the folder tree, the file list and the catalogue list,
// filled live while a scan or a snapshot load runs. The view keeps the pages
// and their wiring; the recovery session (catalogue, scan, workers and what
// the session is doing) is its RecoverySessionController, the work on the
// files (save, verification, opening one) its FileCommands, and the quick
// filter over the lists its BrowserFilters.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QPixmap>
#include <QWidget>

#include "browser/selection/folder_browser.h"
#include "browser/selection/folder_checks.h"
#include "save/file_extraction.h"
#include "save/save_settings.h"
#include "browser/widgets/browser_menus.h"
#include "browser/widgets/catalogue_note.h"
#include "browser/widgets/folder_marks.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/time_left.h"
#include "browser/widgets/view_layout.h"
#include "catalog/catalogue.h"
#include "catalog/snapshot.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tallowin {

class BrowserFilters;
class CatalogueListModel;
class FileCommands;
class FilterBar;
class SplitHandle;
class CatalogueListView;
class CHoverButton;
class FileListModel;
class FileListView;
class FolderTreeModel;
class FolderTreeView;

class CGUI_RezEreView : public QWidget {
  Q_OBJECT

 public:
  enum ViewState { kStartPage = 1, kBrowserPage = 2 };
  // How often the lists and the progress follow a running scan or load.
  static constexpr int kRefreshMilliseconds = 200;

  CGUI_RezEreView(SharedValues& values, QWidget* parent = nullptr, FileTypeLookup lookup = nullptr,
                  BkfOpener opener = OpenBkfFile);
  ~CGUI_RezEreView() override;

  ViewState State() const { return state_; }
  RecoverySessionController& Session() { return session_; }
  Catalogue& GetCatalogue() { return session_.GetCatalogue(); }
  const std::u16string& BkfPath() const { return session_.BkfPath(); }
  QLineEdit* PathBox() const { return pathBox_; }

  // Next and the menu's Recover...: on the start page, check the file and
  // start a recovery; on the browser page, once no scan runs, save the
  // checked files.
  void Recover();
  // Choose a BKF file; its full path goes into the path box.
  void Browse();
  // The Stop button: confirm, then stop the scan or the load.
  void StopClicked();
  // The Back button: return to the start page with an empty catalogue.
  void Back();
  // Saves the checked files into a folder the user chooses.
  void SaveCheckedFiles();
  // Reads the checked files as a save would and reports every one that is
  // not verified; writes nothing.
  void VerifyCheckedFiles();
  // The same for every file, checked or not.
  void VerifyAllFiles();
  // Shows catalogue row `row` in the browser: its folder in the tree, the row
  // in the file list and in the list of recovered files.
  void ShowRow(RowIndex row);
  // The filter bar over the lists, and the same for a window to place and
  // own (until then it shows nowhere).
  FilterBar* Filter() const;
  FilterBar* ReleaseFilter();
  // What the status bar says of the catalogue on show.
  const CatalogueNote& Note() const { return note_; }
  // The user changed check marks or folder names since the catalogue came.
  bool UserChanges() const { return userChanges_; }
  // How many rows are checked, and their bytes, counted by folder from the
  // browser's index, never row by row.
  FolderIndex::Counts CheckedCounts() { return browser_.CountChecked(); }
  // The split of the browser page's panes, as the user left it.
  ViewSplit Split() const { return split_; }
  void SetSplit(const ViewSplit& split);
  // The snapshot commands; their guards are the frame's.
  void SaveSnapshot();
  void LoadSnapshot();
  // Loads the snapshot at `path` without asking for one.
  void LoadSnapshotFile(const QString& path);
  // A file named outside the path box (dropped, on the command line, from
  // the recent files), on the start page with nothing running: a snapshot
  // is loaded, anything else recovered as a BKF file.
  void OpenNamedFile(const QString& path);
  // Whether OpenNamedFile would open a file now.
  bool MayOpenFile() const { return state_ == kStartPage && !session_.Busy(); }
  // Before the program ends: a snapshot being written is finished, a scan or
  // load is stopped, so that nothing is cut short or left running.
  void FinishBackgroundWork() { session_.FinishBackgroundWork(); }

 signals:
  // A scan or a load has ended and its rows are shown (or none were found).
  void scanEnded(int rowCount);
  // What the backup's own catalogue gave at the end of a scan (the
  // program's note on it); empty when it gave nothing or the catalogue is
  // gone.
  void setCatalogueNote(const QString& note);
  // A snapshot save has ended; `ok` is false when it could not be written.
  void snapshotSaved(bool ok);
  // The page changed, or work began or ended: what the commands may do changed.
  void stateChanged();
  // Note() changed.
  void noteChanged();
  // A scan ended having found damage: the Recovery Report has something to say.
  void damageFound(bool found);
  // The share of a scan, load, save or verification done; -1 when none runs.
  void progressPercent(int percent);
  // Check marks changed: CheckedCounts() says how many are checked.
  void checksChanged();
  // A BKF file or snapshot was opened, for the recent files.
  void fileOpened(const QString& path);
  // The user moved a pane's border.
  void splitChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // A BKF file or a snapshot dropped on the start page opens as Next or
  // Load Recovery Snapshot would open it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateStartPage();
  void CreateBrowserPage();
  void ConnectBrowser();
  void PlaceControls();
  void ShowStartPage(bool shown);
  void ShowBrowserPage(bool shown);
  void EnterBrowserPage();
  void StartRecovery(const QString& path);
  void FollowScan();
  void OnOpenFailed(const QString& message);
  void OnScanFinished(int rowCount, const QString& noDataMessage);
  void OnLoadFinished(const SnapshotLoadResult& result);
  void HideScanControls();
  void ResetFolderTree();
  void ForgetCatalogue();
  // While a scan or load fills the catalogue, check boxes do not change:
  // true (after telling the user) when the change must be refused.
  bool RefuseDuringScan();
  // The catalogue may not be dropped or changed while a snapshot is written from it.
  bool RefuseWhileSnapshotWrites();
  void SelectNode(FolderId node);
  void ChecksChanged();
  void ToggleTreeCheckBox(const QModelIndex& node);
  void ToggleListCheckBox(int row);
  // The file list's right button: not on the parent row, and not (with a
  // message) while a scan runs.
  bool AcceptsRightClick(int row);
  void NavigateFrom(int row, bool byKey);
  void RenameSelectedFolder();
  // After a load for which the user named another BKF file: true when that
  // file holds the snapshot's data, or once the user named one that does.
  bool ConfirmReplacedBkf();
  void GoToParentFolder();
  void OnVerdictsChanged();
  // A check box of the list of recovered files, or of the verification's report.
  void MarkRow(RowIndex row, bool mark);
  MenuItem ParentFolderItem();
  void ShowNote(CatalogueNote note);
  // The file list's row `row` under the right button.
  void ShowListMenu(int row, const QPoint& at);
  // The row of the file list and the list of recovered files that shows `row`.
  void SelectListRows(RowIndex row);

  SharedValues& values_;
  RecoverySessionController session_;
  FolderChecks checks_;
  FolderBrowser browser_;
  ViewState state_ = kStartPage;
  ViewSplit split_;
  bool bkfReplaced_ = false;  // the load's BKF file was named by the user
  bool userChanges_ = false;
  CatalogueNote note_;
  FolderMarks marks_;

  std::unique_ptr<CatalogueListModel> catalogueModel_;
  std::unique_ptr<FolderTreeModel> treeModel_;
  std::unique_ptr<FileListModel> fileModel_;
  BrowserFilters* filters_ = nullptr;
  FileCommands* commands_ = nullptr;

  // Start page.
  QLabel* prompt_ = nullptr;
  QLineEdit* pathBox_ = nullptr;
  QPushButton* browse_ = nullptr;
  CHoverButton* next_ = nullptr;
  // Browser page.
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
  QTimer* refresh_ = nullptr;
  TimeLeftEstimate timeLeft_;
  SplitHandle* treeHandle_ = nullptr;
  SplitHandle* listHandle_ = nullptr;
  QPixmap background_;
};

}  // namespace tallowin

// The main view, of two pages: the start page, where the user names a BKF
// file, and the browser page with the folder tree, the file list and the
// catalogue list, filled live while a scan or a snapshot load runs. The view
// turns from one page to the other as the session's work begins and ends;
// the session (catalogue, scan, workers, what may run now) is its
// RecoverySessionController, and the commands on the catalogue are its
// RecoveryCommands.
#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "save/save_rows.h"
#include "save/save_settings.h"
#include "browser/selection/folder_index.h"
#include "browser/widgets/catalogue_note.h"
#include "browser/widgets/command_guard.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/view_layout.h"
#include "catalog/catalogue.h"

class QLineEdit;

namespace tallowin {

class BrowserPage;
class FilterBar;
class RecoveryCommands;
class StartPage;

class CGUI_RezEreView : public QWidget {
  Q_OBJECT

 public:
  enum ViewState { kStartPage = 1, kBrowserPage = 2 };

  CGUI_RezEreView(SharedValues& values, QWidget* parent = nullptr, FileTypeLookup lookup = nullptr,
                  BkfOpener opener = OpenBkfFile);
  ~CGUI_RezEreView() override;

  ViewState State() const { return session_.Browsing() ? kBrowserPage : kStartPage; }
  RecoverySessionController& Session() { return session_; }
  Catalogue& GetCatalogue() { return session_.GetCatalogue(); }
  const std::u16string& BkfPath() const { return session_.BkfPath(); }
  QLineEdit* PathBox() const;

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
  bool UserChanges() const { return session_.Shown().UserChanges(); }
  // How many rows are checked, and their bytes, counted by folder from the
  // browser's index, never row by row.
  FolderIndex::Counts CheckedCounts() { return session_.Shown().Browser().CountChecked(); }
  // The split of the browser page's panes, as the user left it.
  ViewSplit Split() const;
  void SetSplit(const ViewSplit& split);
  // The snapshot commands.
  void SaveSnapshot();
  void LoadSnapshot();
  // Loads the snapshot at `path` without asking for one.
  void LoadSnapshotFile(const QString& path);
  // A file named outside the path box (dropped, on the command line, from
  // the recent files), on the start page with nothing running: a snapshot
  // is loaded, anything else recovered as a BKF file.
  void OpenNamedFile(const QString& path);
  // Whether OpenNamedFile would open a file now.
  bool MayOpenFile() const;
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

 private:
  void ConnectSession();
  void ConnectCommands();
  void PlaceControls();
  void EnterBrowserPage();
  void StartRecovery(const QString& path);
  void OnOpenFailed(const QString& message);
  void OnScanFinished(int rowCount, const QString& noDataMessage);
  // A load ended without rows to show.
  void OnLoadFailed();
  void ForgetCatalogue();
  void ShowNote(CatalogueNote note);

  RecoverySessionController session_;
  CommandGuard guard_;
  RecoveryCommands* commands_;
  // Declared after the session, so that they go before it.
  std::unique_ptr<BrowserPage> browserPage_;
  std::unique_ptr<StartPage> startPage_;
  CatalogueNote note_;
};

}  // namespace tallowin

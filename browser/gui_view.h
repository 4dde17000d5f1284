// The main view: the start page, where the user names a BKF file, and the
// browser page with the folder tree, the file list and the catalogue list,
// filled live while a scan runs. The view owns the catalogue, the scan engine
// and the session values (view state, stop flag, BKF path).
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <QPixmap>
#include <QWidget>

#include "browser/folder_checks.h"
#include "browser/save_settings.h"
#include "browser/scan_events.h"
#include "browser/view_layout.h"
#include "catalog/catalogue.h"
#include "engine/bkf_scanner.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class QTreeView;

namespace tallowin {

class CatalogueListModel;
class CHoverButton;
class CheckImageStyle;
class FileListModel;
class FolderTreeModel;

class CGUI_RezEreView : public QWidget {
  Q_OBJECT

 public:
  enum ViewState { kStartPage = 1, kBrowserPage = 2 };
  // How often the lists and the progress follow a running scan.
  static constexpr int kRefreshMilliseconds = 200;

  CGUI_RezEreView(SharedValues& values, QWidget* parent = nullptr, FileTypeLookup lookup = nullptr,
                  BkfOpener opener = OpenBkfFile);
  ~CGUI_RezEreView() override;

  ViewState State() const { return state_; }
  bool IsScanRunning() const { return values_.scanRunning; }
  Catalogue& GetCatalogue() { return catalogue_; }
  const std::u16string& BkfPath() const { return bkfPath_; }
  QLineEdit* PathBox() const { return pathBox_; }

  // Next and the menu's Recover...: on the start page, check the file and
  // start a recovery; on the browser page, once no scan runs, save the
  // checked files.
  void Recover();
  // Choose a BKF file; its full path goes into the path box.
  void Browse();
  // The Stop button: confirm, then stop the scan.
  void StopClicked();
  // The Back button: return to the start page with an empty catalogue.
  void Back();

 signals:
  // The user asked to save the checked files (the Save button, or Next and
  // Recover... on the browser page when no scan runs).
  void saveRequested();
  // A scan has ended and its rows are shown.
  void scanEnded(int rowCount);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateStartPage();
  void CreateBrowserPage();
  void PlaceControls();
  void ShowStartPage(bool shown);
  void ShowBrowserPage(bool shown);
  void StartRecovery(const QString& path);
  void FollowScan();
  void OnOpenFailed(const QString& message);
  void OnScanFinished(int rowCount, const QString& noDataMessage);
  void HideScanControls();
  void ResetFolderTree();

  SharedValues& values_;
  Catalogue catalogue_;
  FolderChecks checks_;
  ScanEvents events_;
  CBkfScanner scanner_;
  ViewState state_ = kStartPage;
  std::atomic<bool> stopFlag_{false};
  std::u16string bkfPath_;

  std::unique_ptr<CatalogueListModel> catalogueModel_;
  std::unique_ptr<FolderTreeModel> treeModel_;
  std::unique_ptr<FileListModel> fileModel_;

  // Start page.
  QLabel* prompt_ = nullptr;
  QLineEdit* pathBox_ = nullptr;
  QPushButton* browse_ = nullptr;
  CHoverButton* next_ = nullptr;
  // Browser page.
  QTreeView* tree_ = nullptr;
  QTreeView* fileList_ = nullptr;
  QLabel* caption_ = nullptr;
  QTableView* catalogueList_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* searchingLabel_ = nullptr;
  QLabel* progressLabel_ = nullptr;
  QLabel* foundLabel_ = nullptr;
  CHoverButton* stop_ = nullptr;
  CHoverButton* back_ = nullptr;
  CHoverButton* save_ = nullptr;
  QTimer* refresh_ = nullptr;
  QPixmap background_;

  // The recovery worker: empties the catalogue and starts the scan. Declared
  // last so that it is joined before anything it uses goes away.
  std::jthread recoveryWorker_;
};

}  // namespace tallowin

// The windows of the long work on the files: the "Saving Files.." window
// over the core's save, and the same window over the save's verify-only
// pass. The work runs on the window's own thread; Cancel requests its stop,
// which ends the work after the current file (a save removes that file's
// partial output), and the result follows. Every verdict the work gives
// goes, as it comes, to the verdicts beside the catalogue.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include <QDialog>
#include <QString>

#include "save/save_rows.h"
#include "save/row_verdicts.h"
#include "browser/widgets/time_left_estimate.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tallowin {

// The window itself: a text, a progress bar and Cancel, as the dialog
// resource of the save lays them out.
class FileWorkWindow : public QDialog, protected SaveObserver {
  Q_OBJECT

 public:
  // `doing` says what the text area shows: "Saving the checked files into ...".
  // The verdicts go to `verdicts`.
  FileWorkWindow(const QString& title, const QString& doing, RowVerdicts& verdicts, QWidget* owner);
  ~FileWorkWindow() override;

  // Cancel, as the button does.
  void Cancel();

 signals:
  // The share of the work done, a few times a second.
  void progressed(int percent);

 protected:
  // Runs the pass of `request` over `selection` on the window's thread and
  // shows the window until it ends.
  SaveSummary RunWork(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection);
  RowVerdicts& Verdicts() { return verdicts_; }
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnProgress(const JobProgress& progress) override;
  void ShowProgress();

  QString doing_;
  RowVerdicts& verdicts_;
  TimeLeftEstimate timeLeft_;
  bool cancelled_ = false;  // Cancel was pressed, perhaps before the work began
  std::atomic<bool> working_{false};
  std::atomic<std::uint64_t> filesDone_{0};
  std::atomic<std::uint64_t> filesTotal_{0};
  std::atomic<std::uint64_t> bytesDone_{0};
  std::atomic<std::uint64_t> bytesTotal_{0};
  QLabel* text_;
  QProgressBar* progress_;
  QPushButton* cancelButton_;
  QTimer* timer_;
  std::jthread worker_;
};

// Which files a save window saves, and what it says.
struct SaveScope {
  RowSelection selection = RowSelection::Checked();
  QString title;  // "Saving Files.." when empty
  QString doing;  // "Saving the checked files into" when empty; the destination follows
};

class SavingFilesWindow : public FileWorkWindow {
  Q_OBJECT

 public:
  SavingFilesWindow(const Catalogue& catalogue, SaveRequest request, RowVerdicts& verdicts, QWidget* owner,
                    SaveScope scope = {});
  // Starts the save and shows the window until the save ends; returns its summary.
  SaveSummary Run();
  // Where the last file the save got to now is; empty when it was not kept.
  const std::filesystem::path& LastFile() const { return lastFile_; }

 private:
  void OnFileDone(const FileReport& report) override;

  const Catalogue& catalogue_;
  SaveRequest request_;
  SaveScope scope_;
  std::filesystem::path lastFile_;  // written by the worker, read once it has ended
};

class VerifyingFilesWindow : public FileWorkWindow {
  Q_OBJECT

 public:
  // Of `request` only the BKF file and its opener count: nothing is written.
  VerifyingFilesWindow(const Catalogue& catalogue, SaveRequest request, RowSelection selection,
                       RowVerdicts& verdicts, QWidget* owner);
  // Verifies the selected files; the rows that are not verified go to
  // `notVerified`, in catalogue order.
  SaveSummary Run(std::vector<RowIndex>& notVerified);

 private:
  void OnFileDone(const FileReport& check) override;

  const Catalogue& catalogue_;
  SaveRequest request_;
  RowSelection selection_;
  std::vector<RowIndex>* notVerified_ = nullptr;
};

}  // namespace tallowin

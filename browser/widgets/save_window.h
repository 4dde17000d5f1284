// The windows of the long work on the checked files: the "Saving Files.."
// window over the core's save, and the same window over the verification.
// The work runs on a worker thread; Cancel stops after the current file
// (a save removes that file's partial output), and the result follows.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include <QDialog>
#include <QString>

#include "browser/save/file_extraction.h"
#include "browser/save/file_verification.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tallowin {

// The window itself: a text, a progress bar and Cancel, as the dialog
// resource of the save lays them out.
class FileWorkWindow : public QDialog, protected SaveObserver, protected VerifyObserver {
  Q_OBJECT

 public:
  // `doing` says what the text area shows: "Saving the checked files into ...".
  FileWorkWindow(const QString& title, const QString& doing, QWidget* owner);
  ~FileWorkWindow() override;

  // Cancel, as the button does.
  void Cancel();

 signals:
  // The share of the work done, a few times a second.
  void progressed(int percent);

 protected:
  // Runs `work` on a worker thread and shows the window until it ends.
  void RunWork(std::function<void()> work);
  const std::atomic<bool>& CancelFlag() const { return cancel_; }
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnSaveProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                      std::uint64_t bytesTotal) override;
  void OnVerifyProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                        std::uint64_t bytesTotal) override;
  void ShowProgress();

  QString doing_;
  std::atomic<bool> cancel_{false};
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

class SavingFilesWindow : public FileWorkWindow {
  Q_OBJECT

 public:
  SavingFilesWindow(const Catalogue& catalogue, SaveRequest request, QWidget* owner);
  // Starts the save and shows the window until the save ends; returns its summary.
  SaveSummary Run();

 private:
  const Catalogue& catalogue_;
  SaveRequest request_;
};

class VerifyingFilesWindow : public FileWorkWindow {
  Q_OBJECT

 public:
  VerifyingFilesWindow(const Catalogue& catalogue, VerifyRequest request, QWidget* owner);
  // Verifies the checked files; the files that are not verified or
  // unchecked go to `problems`.
  VerifySummary Run(std::vector<FileCheck>& problems);

 private:
  void OnFileChecked(const FileCheck& check) override;

  const Catalogue& catalogue_;
  VerifyRequest request_;
  std::vector<FileCheck>* problems_ = nullptr;
};

}  // namespace tallowin

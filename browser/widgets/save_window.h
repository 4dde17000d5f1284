// The save of the checked files in the desktop program: the "Saving Files.."
// window over the core's save, which runs on a worker thread. Cancel stops
// after the current file, whose partial output is removed; the summary
// follows in a message.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include <QDialog>

#include "browser/save/file_extraction.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tallowin {

class SavingFilesWindow : public QDialog, private SaveObserver {
  Q_OBJECT

 public:
  SavingFilesWindow(const Catalogue& catalogue, SaveRequest request, QWidget* owner);
  ~SavingFilesWindow() override;

  // Starts the save and shows the window until the save ends; returns its summary.
  SaveSummary Run();
  // Cancel, as the button does.
  void Cancel();

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnSaveProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                      std::uint64_t bytesTotal) override;
  void ShowProgress();

  const Catalogue& catalogue_;
  SaveRequest request_;
  SaveSummary summary_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> saving_{false};
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

}  // namespace tallowin

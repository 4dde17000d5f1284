// Carries a scan's news from its worker thread to the user-interface thread.
// Progress and the found count are only stored: the view reads them a few
// times a second, so a fast scan never floods the event loop. The other
// events arrive as queued signals, in the order they happened.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <QObject>
#include <QString>

#include "engine/scan_observer.h"

namespace tallowin {

class ScanEvents : public QObject, public ScanObserver {
  Q_OBJECT

 public:
  struct Progress {
    std::uint64_t position = 0;
    std::uint64_t fileSize = 0;
    std::uint64_t filesFound = 0;
    bool moved = false;  // a window has been examined since the scan began
  };

  using QObject::QObject;

  // Before a scan or a load: no progress and no totals yet.
  void Clear();
  Progress Current() const;

  void OnOpenFailed(std::u16string_view message) override;
  void OnSearching() override;
  void OnProgress(const JobProgress& progress) override;
  void OnStopped() override;
  void OnScanFinished(const ScanTotals& totals, std::u16string_view noDataMessage) override;
  // What the last scan found; told once `finished` has come.
  ScanTotals LastTotals() const;

 signals:
  void openFailed(const QString& message);
  // The scan has begun: `label` is what the searching label shows.
  void searching(const QString& label);
  void stopped();
  void finished(int rowCount, const QString& noDataMessage);

 private:
  std::atomic<std::uint64_t> position_{0};
  std::atomic<std::uint64_t> fileSize_{0};
  std::atomic<std::uint64_t> filesFound_{0};
  std::atomic<bool> moved_{false};
  // Written by the worker before `finished` is queued; the queue is Qt's,
  // which thread checkers cannot see, so the lock says the hand-over.
  mutable std::mutex totalsMutex_;
  ScanTotals totals_;
};

}  // namespace tallowin

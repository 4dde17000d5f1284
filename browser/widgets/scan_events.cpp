#include "browser/widgets/scan_events.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

void ScanEvents::Clear() {
  position_ = 0;
  fileSize_ = 0;
  filesFound_ = 0;
  moved_ = false;
  std::lock_guard lock(totalsMutex_);
  totals_ = {};
}

ScanTotals ScanEvents::LastTotals() const {
  std::lock_guard lock(totalsMutex_);
  return totals_;
}

ScanEvents::Progress ScanEvents::Current() const {
  return {position_.load(std::memory_order_relaxed), fileSize_.load(std::memory_order_relaxed),
          filesFound_.load(std::memory_order_relaxed), moved_.load(std::memory_order_relaxed)};
}

void ScanEvents::OnOpenFailed(std::u16string_view message) { emit openFailed(ToQString(message)); }

void ScanEvents::OnSearching() { emit searching(ToQString(desktop::kSearching)); }

// A file found before the first window is examined is no move of the bar.
void ScanEvents::OnProgress(const JobProgress& progress) {
  filesFound_.store(progress.files, std::memory_order_relaxed);
  if (progress.done == 0) return;
  fileSize_.store(progress.total, std::memory_order_relaxed);
  position_.store(progress.done, std::memory_order_relaxed);
  moved_.store(true, std::memory_order_relaxed);
}

void ScanEvents::OnStopped() { emit stopped(); }

void ScanEvents::OnScanFinished(const ScanTotals& totals, std::u16string_view noDataMessage) {
  {
    std::lock_guard lock(totalsMutex_);
    totals_ = totals;
  }
  emit finished(totals.rows, ToQString(noDataMessage));
}

}  // namespace tallowin

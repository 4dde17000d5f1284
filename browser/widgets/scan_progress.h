// The browser page's view of a running scan or load: the progress bar, what
// the scan is doing, the bytes read with the time left, the files found, and
// Stop. A few times a second it reads the progress and has the session's
// browser state take in the rows that came.
#pragma once

#include <QObject>

#include "browser/widgets/time_left_estimate.h"
#include "browser/widgets/view_layout.h"

class QLabel;
class QProgressBar;
class QTimer;
class QWidget;

namespace tallowin {

class CHoverButton;
class RecoverySessionController;

class ScanProgress : public QObject {
  Q_OBJECT

 public:
  // How often the lists and the progress follow a running scan or load.
  static constexpr int kRefreshMilliseconds = 200;

  // The controls are children of `page`.
  ScanProgress(RecoverySessionController& session, QWidget* page);

  void Place(const ViewLayout& layout);
  // A scan or a load begins: everything at nought, shown, followed.
  void Begin();
  // A load's rows come: no byte count and no found count.
  void HideCounts();
  void StopFollowing();
  // The scan or load has ended: the last progress and rows, then only the
  // byte and found counts of a scan without rows stay.
  void End(bool rows);
  // Nothing shown, nothing counted.
  void Clear();
  // Stop: after the user confirms, the scan or load stops.
  void StopClicked();

 signals:
  // The share of a scan or load done.
  void progressPercent(int percent);

 private:
  void Follow();

  RecoverySessionController& session_;
  QWidget* page_;
  TimeLeftEstimate timeLeft_;
  QProgressBar* progressBar_ = nullptr;
  QLabel* searchingLabel_ = nullptr;
  QLabel* progressLabel_ = nullptr;
  QLabel* foundLabel_ = nullptr;
  CHoverButton* stop_ = nullptr;
  QTimer* refresh_ = nullptr;
};

}  // namespace tallowin

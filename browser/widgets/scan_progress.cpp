#include "browser/widgets/scan_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "browser/widgets/browser_state.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"

namespace tallowin {

ScanProgress::ScanProgress(RecoverySessionController& session, QWidget* page)
    : QObject(page), session_(session), page_(page), refresh_(new QTimer(this)) {
  progressBar_ = new QProgressBar(page);
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);
  searchingLabel_ = new QLabel(page);
  searchingLabel_->setObjectName("searchingLabel");
  progressLabel_ = new QLabel(page);
  progressLabel_->setObjectName("progressLabel");
  foundLabel_ = new QLabel(page);
  foundLabel_->setObjectName("foundLabel");
  stop_ = PictureButton(page, "stop", pictures::kStopButton, QSize(80, 39), "Alt+P");
  stop_->setToolTip(ToQString(desktop::kStopTooltip));
  connect(stop_, &QAbstractButton::clicked, this, &ScanProgress::StopClicked);

  refresh_->setInterval(kRefreshMilliseconds);
  connect(refresh_, &QTimer::timeout, this, &ScanProgress::Follow);
  ScanEvents& events = session_.Events();
  connect(&events, &ScanEvents::searching, this, [this](const QString& label) {
    searchingLabel_->setText(label);
    searchingLabel_->show();
  });
  connect(&events, &ScanEvents::stopped, this, [this] {
    progressBar_->hide();
    stop_->hide();
  });
}

void ScanProgress::Place(const ViewLayout& layout) {
  PlaceWidget(*progressBar_, layout.progressBar);
  PlaceWidget(*searchingLabel_, layout.searchingLabel);
  PlaceWidget(*progressLabel_, layout.progressLabel);
  PlaceWidget(*foundLabel_, layout.foundFilesLabel);
  PlaceWidget(*stop_, layout.stopButton);
}

void ScanProgress::Begin() {
  progressBar_->setValue(0);
  progressLabel_->clear();
  foundLabel_->clear();
  progressBar_->show();
  progressLabel_->show();
  foundLabel_->show();
  stop_->show();
  timeLeft_.Start();
  refresh_->start();
}

void ScanProgress::HideCounts() {
  progressLabel_->hide();
  foundLabel_->hide();
}

void ScanProgress::StopFollowing() { refresh_->stop(); }

void ScanProgress::Follow() {
  if (session_.Activity() == SessionActivity::kLoading) {
    progressBar_->setValue(session_.LoadPercent());
    emit progressPercent(session_.LoadPercent());
  } else {
    const ScanEvents::Progress progress = session_.Events().Current();
    if (progress.moved) {
      progressBar_->setValue(texts::ProgressPercent(progress.position, progress.fileSize));
      progressLabel_->setText(ToQString(desktop::ProgressLine(progress.position, progress.fileSize,
                                                               timeLeft_.SecondsLeft(progress.position, progress.fileSize))));
      emit progressPercent(texts::ProgressPercent(progress.position, progress.fileSize));
    }
    if (progress.filesFound > 0) {
      foundLabel_->setText(ToQString(texts::FilesFoundLabel(progress.filesFound)));
    }
  }
  session_.Shown().TakeNewRows();
}

void ScanProgress::End(bool rows) {
  refresh_->stop();
  Follow();
  searchingLabel_->hide();
  progressBar_->hide();
  stop_->hide();
  if (!rows) return;
  progressLabel_->clear();
  progressLabel_->hide();
  foundLabel_->clear();
  foundLabel_->hide();
}

void ScanProgress::Clear() {
  progressBar_->setValue(0);
  for (QWidget* control : {static_cast<QWidget*>(progressBar_), static_cast<QWidget*>(searchingLabel_),
                           static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(foundLabel_),
                           static_cast<QWidget*>(stop_)}) {
    control->hide();
  }
  progressLabel_->clear();
  searchingLabel_->clear();
  foundLabel_->clear();
}

void ScanProgress::StopClicked() {
  if (ShowMessage(page_->parentWidget(), ToQString(desktop::kConfirmStop), mb::kYesNo | mb::kIconExclamation) !=
      mb::kIdYes) {
    return;
  }
  stop_->hide();
  session_.Stop();
}

}  // namespace tallowin

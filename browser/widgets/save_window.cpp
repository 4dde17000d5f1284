#include "browser/widgets/save_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/dialog_units.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

FileWorkWindow::FileWorkWindow(const QString& title, const QString& doing, RowVerdicts& verdicts, QWidget* owner)
    : QDialog(owner),
      doing_(doing),
      verdicts_(verdicts),
      text_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      cancelButton_(new QPushButton(ToQString(desktop::kCancelButton), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(title);
  UseDialogUnitFont(*this);
  setModal(true);
  setFixedSize(DialogSize(321, 164));
  text_->setObjectName("1007");
  text_->setGeometry(DialogRect(17, 14, 286, 64));
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  progress_->setObjectName("1004");
  progress_->setGeometry(DialogRect(17, 103, 286, 11));
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  cancelButton_->setObjectName("cancel");
  cancelButton_->setGeometry(DialogRect(135, 143, 50, 14));
  connect(cancelButton_, &QPushButton::clicked, this, &FileWorkWindow::Cancel);
  // The hidden default button keeps Enter from cancelling by accident.
  auto* ok = new QPushButton(ToQString(desktop::kOkButton), this);
  ok->setGeometry(DialogRect(103, 151, 6, 6));
  ok->setDefault(true);
  ok->hide();
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &FileWorkWindow::ShowProgress);
  DescribeControls(*this);
}

// The worker's own end requests its stop and waits for it.
FileWorkWindow::~FileWorkWindow() = default;

SaveSummary FileWorkWindow::RunWork(const Catalogue& catalogue, const SaveRequest& request,
                                    const RowSelection& selection) {
  working_ = true;
  timeLeft_.Start();
  text_->setText(ToQString(desktop::kSavingPreparing));
  SaveSummary summary;
  // The worker starts once the window's own loop runs, so that its end can
  // never be announced before the window is there to close.
  QTimer::singleShot(0, this, [&] {
    worker_ = std::jthread([&](std::stop_token stop) {
      summary = SaveRows(catalogue, request, selection, *this, std::move(stop));
      working_ = false;
      QMetaObject::invokeMethod(this, [this] {
        timer_->stop();
        done(QDialog::Accepted);
      }, Qt::QueuedConnection);
    });
    if (cancelled_) worker_.request_stop();
    timer_->start();
  });
  exec();
  if (worker_.joinable()) worker_.join();
  return summary;
}

void FileWorkWindow::Cancel() {
  cancelled_ = true;
  worker_.request_stop();
  cancelButton_->setEnabled(false);
  text_->setText(ToQString(desktop::kSavingCancelling));
}

void FileWorkWindow::reject() {
  // Escape and the close box cancel; the window closes when the work has ended.
  if (working_) {
    Cancel();
    return;
  }
  QDialog::reject();
}

void FileWorkWindow::closeEvent(QCloseEvent* event) {
  if (working_) {
    Cancel();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void FileWorkWindow::OnProgress(const JobProgress& progress) {
  filesDone_.store(progress.files, std::memory_order_relaxed);
  filesTotal_.store(progress.filesTotal, std::memory_order_relaxed);
  bytesDone_.store(progress.done, std::memory_order_relaxed);
  bytesTotal_.store(progress.total, std::memory_order_relaxed);
}

void FileWorkWindow::ShowProgress() {
  if (cancelled_) return;
  const std::uint64_t files = filesDone_.load(std::memory_order_relaxed);
  const std::uint64_t total = filesTotal_.load(std::memory_order_relaxed);
  const std::uint64_t bytes = bytesDone_.load(std::memory_order_relaxed);
  const std::uint64_t allBytes = bytesTotal_.load(std::memory_order_relaxed);
  // The bytes tell the time left best; work of empty files only has its count.
  const auto left = allBytes > 0 ? timeLeft_.SecondsLeft(bytes, allBytes) : timeLeft_.SecondsLeft(files, total);
  text_->setText(doing_ + "\n\n" + ToQString(desktop::FileWorkLine(files, total, bytes, allBytes, left)));
  const double done = allBytes > 0 ? static_cast<double>(bytes) / static_cast<double>(allBytes)
                                   : (total > 0 ? static_cast<double>(files) / static_cast<double>(total) : 0);
  progress_->setValue(static_cast<int>(done * 100));
  emit progressed(progress_->value());
}

SavingFilesWindow::SavingFilesWindow(const Catalogue& catalogue, SaveRequest request, RowVerdicts& verdicts,
                                     QWidget* owner, SaveScope scope)
    : FileWorkWindow(scope.title.isEmpty() ? ToQString(desktop::kSavingTitle) : scope.title,
                     (scope.doing.isEmpty() ? ToQString(desktop::kSavingInto) : scope.doing) + "\n" +
                         QStringFromPath(request.destination),
                     verdicts, owner),
      catalogue_(catalogue),
      request_(std::move(request)),
      scope_(std::move(scope)) {}

SaveSummary SavingFilesWindow::Run() { return RunWork(catalogue_, request_, scope_.selection); }

// Called on the worker.
void SavingFilesWindow::OnFileDone(const FileReport& report) {
  if (report.verdict) Verdicts().Record(report.row, *report.verdict, report.reason);
  lastFile_ = report.file;
}

VerifyingFilesWindow::VerifyingFilesWindow(const Catalogue& catalogue, SaveRequest request, RowSelection selection,
                                           RowVerdicts& verdicts, QWidget* owner)
    : FileWorkWindow(ToQString(desktop::kVerifyingTitle),
                     selection.kind == RowSelection::Kind::kAll ? ToQString(desktop::kVerifyingAll)
                                                                : ToQString(desktop::kVerifyingFiles),
                     verdicts, owner),
      catalogue_(catalogue),
      request_(std::move(request)),
      selection_(std::move(selection)) {
  request_.mode = SaveMode::kVerifyOnly;
}

SaveSummary VerifyingFilesWindow::Run(std::vector<RowIndex>& notVerified) {
  notVerified_ = &notVerified;
  const SaveSummary summary = RunWork(catalogue_, request_, selection_);
  notVerified_ = nullptr;
  return summary;
}

// Called on the worker; the list is read only once the work has ended. A
// verification gives every file a verdict.
void VerifyingFilesWindow::OnFileDone(const FileReport& check) {
  Verdicts().Record(check.row, *check.verdict, check.reason);
  if (check.verdict != FileVerdict::kVerified) notVerified_->push_back(check.row);
}

}  // namespace tallowin

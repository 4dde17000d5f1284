#include "browser/widgets/verify_report_dialog.h"

#include <algorithm>
#include <utility>

#include <QClipboard>
#include <QFontMetrics>
#include <QScreen>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "browser/widgets/file_dialog.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"

namespace tallowin {

VerifyReportDialog::VerifyReportDialog(const QString& report, std::filesystem::path bkfPath, QWidget* owner)
    : QDialog(owner), report_(report), bkfPath_(std::move(bkfPath)), text_(new QPlainTextEdit(this)) {
  setObjectName("verifyReport");
  setWindowTitle(ToQString(texts::kVerifyReportTitle));
  text_->setObjectName("report");
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setPlainText(report_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* copy = buttons->addButton(ToQString(texts::kCopyReport), QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  QPushButton* save = buttons->addButton(ToQString(texts::kSaveReportAsText), QDialogButtonBox::ActionRole);
  save->setObjectName("saveAsText");
  QPushButton* close = buttons->addButton(ToQString(texts::kClose), QDialogButtonBox::RejectRole);
  close->setObjectName("close");
  close->setDefault(true);
  connect(copy, &QPushButton::clicked, this, &VerifyReportDialog::CopyReport);
  connect(save, &QPushButton::clicked, this, &VerifyReportDialog::SaveReportAsText);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  // Wide enough for the longest line, within most of the screen.
  const QFontMetrics metrics(text_->font());
  int widest = 0;
  for (const QString& line : report_.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  const QRect screen = (owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::clamp(widest + 60, 640, screen.width() * 9 / 10), 360);
}

void VerifyReportDialog::CopyReport() { QGuiApplication::clipboard()->setText(report_); }

void VerifyReportDialog::SaveReportAsText() {
  CNKFileDialog dialog(this, ToQString(texts::kSaveReportAsText));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(ToQString(texts::kReportFilter));
  dialog.setDefaultSuffix("txt");
  if (const QString folder = LastFolder("report"); !folder.isEmpty()) dialog.setDirectory(folder);
  QString chosen;
  for (;;) {
    chosen = RunFileDialog(dialog);
    if (chosen.isEmpty()) return;
    const SnapshotTargetKind kind = ExamineSnapshotTarget(PathFromQString(chosen), bkfPath_).kind;
    if (kind == SnapshotTargetKind::kBkfFile) {
      ShowMessage(this, ToQString(texts::kReportOverBkf), mb::kIconExclamation);
    } else if (kind == SnapshotTargetKind::kFolder || kind == SnapshotTargetKind::kNotRegular) {
      ShowMessage(this, ToQString(texts::kReportOverNonFile), mb::kIconExclamation);
    } else {
      break;
    }
  }
  KeepLastFolder("report", chosen);
  // Written whole or not at all: a failed write leaves any earlier file as it was.
  QSaveFile file(chosen);
  const QByteArray bytes = (report_ + "\n").toUtf8();
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    ShowMessage(this, ToQString(texts::kReportNotSaved) + file.errorString(), mb::kIconExclamation);
  }
}

}  // namespace tallowin

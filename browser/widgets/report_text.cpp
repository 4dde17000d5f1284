#include "browser/widgets/report_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSaveFile>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"

namespace tallowin {

void CopyReportText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void SaveReportText(QWidget* owner, const QString& text, const std::filesystem::path& bkfPath) {
  CNKFileDialog dialog(owner, ToQString(desktop::kReportSaveTitle));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(ToQString(desktop::kReportFilter));
  dialog.setDefaultSuffix("txt");
  if (const QString folder = LastFolder("report"); !folder.isEmpty()) dialog.setDirectory(folder);
  QString chosen;
  for (;;) {
    chosen = RunFileDialog(dialog);
    if (chosen.isEmpty()) return;
    const SnapshotTargetKind kind = ExamineSnapshotTarget(PathFromQString(chosen), bkfPath).kind;
    if (kind == SnapshotTargetKind::kBkfFile) {
      ShowMessage(owner, ToQString(texts::kReportOverBkf), mb::kIconExclamation);
    } else if (kind == SnapshotTargetKind::kFolder || kind == SnapshotTargetKind::kNotRegular) {
      ShowMessage(owner, ToQString(desktop::kReportOverNonFile), mb::kIconExclamation);
    } else {
      break;
    }
  }
  KeepLastFolder("report", chosen);
  // Written whole or not at all: a failed write leaves any earlier file as it was.
  QSaveFile file(chosen);
  const QByteArray bytes = (text + "\n").toUtf8();
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    ShowMessage(owner, ToQString(desktop::kReportNotSaved) + file.errorString(), mb::kIconExclamation);
  }
}

}  // namespace tallowin

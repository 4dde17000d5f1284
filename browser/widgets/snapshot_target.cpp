#include "browser/widgets/snapshot_target.h"

#include <QFileInfo>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"

namespace tallowin {

std::optional<QString> ChooseSnapshotTarget(QWidget* owner, const std::filesystem::path& bkfPath) {
  for (;;) {
    CNKFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(ToQString(desktop::kSnapshotSaveFilter));
    // The program asks about an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QFileInfo bkf(QStringFromPath(bkfPath));
    const QString last = LastFolder("snapshot");
    dialog.setDirectory(last.isEmpty() ? bkf.absolutePath() : last);
    dialog.selectFile(bkf.completeBaseName() + ".TWBKF");
    QString chosen = RunFileDialog(dialog);
    if (chosen.isEmpty()) return std::nullopt;
    KeepLastFolder("snapshot", chosen);
    if (!chosen.contains(".TWBKF")) chosen += ".TWBKF";
    const SnapshotTarget target = ExamineSnapshotTarget(PathFromQString(chosen), bkfPath);
    if (target.kind == SnapshotTargetKind::kBkfFile || target.kind == SnapshotTargetKind::kFolder ||
        target.kind == SnapshotTargetKind::kNotRegular) {
      ShowMessage(owner,
                  ToQString(target.kind == SnapshotTargetKind::kBkfFile ? texts::kSnapshotOverBkf
                                                                        : texts::kSnapshotOverNonFile),
                  mb::kIconExclamation);
      continue;
    }
    if (target.kind == SnapshotTargetKind::kNew) return chosen;
    if (ShowMessage(owner, ToQString(desktop::kFileExists), mb::kYesNo | mb::kIconInformation) == mb::kIdYes) {
      return chosen;
    }
  }
}

}  // namespace tallowin

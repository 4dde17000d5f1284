#include "browser/widgets/recovery_commands.h"

#include <optional>

#include "engine/snapshot_bkf_check.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/rename_dialog.h"
#include "browser/widgets/snapshot_target.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/text_convert.h"

namespace tallowin {

RecoveryCommands::RecoveryCommands(RecoverySessionController& session, SharedValues& values, QWidget* owner)
    : QObject(owner), session_(session), owner_(owner), guard_(session, owner),
      files_(new FileCommands(session, values, owner)) {
  connect(&session_, &RecoverySessionController::snapshotSaved, this, [this](bool ok, const QString& error) {
    if (!ok) ShowMessage(owner_, ToQString(desktop::kSnapshotNotSaved) + error, mb::kIconExclamation);
    emit snapshotSaved(ok);
  });
}

void RecoveryCommands::RenameFolder(FolderId node) {
  if (node == kNoFolder || !guard_.Permits(SessionCommand::kRenameFolder)) return;
  BrowserState& shown = session_.Shown();
  // A refused name comes back in the box, to be mended.
  QString text = ToQString(session_.GetCatalogue().ReadFolderTree([&](const FolderTree& tree) { return tree.Name(node); }));
  for (;;) {
    const std::optional<QString> name = CurrentRenameRoutine()(owner_, text);
    if (!name) return;
    const RenameResult result = shown.RenameFolder(node, ToU16(*name));
    if (result == RenameResult::kRenamed) return;
    ShowMessage(owner_, RenameRefusal(result), mb::kIconExclamation);
    if (result == RenameResult::kTopLevel) return;
    text = *name;
  }
}

void RecoveryCommands::SaveSnapshot() {
  if (!guard_.Permits(SessionCommand::kSaveSnapshot)) return;
  const std::optional<QString> target = ChooseSnapshotTarget(owner_, PathFromUtf16(session_.BkfPath()));
  if (target) session_.SaveSnapshot(ToU16(*target));
}

void RecoveryCommands::LoadSnapshot() {
  if (!guard_.Permits(SessionCommand::kLoadSnapshot)) return;
  const QString path = ChooseExistingFile(owner_, desktop::kLoadSnapshotTitle, desktop::kSnapshotFilter, "snapshot");
  if (!path.isEmpty()) LoadSnapshotFile(path);
}

void RecoveryCommands::LoadSnapshotFile(const QString& path) {
  if (!guard_.Permits(SessionCommand::kLoadSnapshot)) return;
  RecoverySessionController::LoadQuestions questions;
  bkfReplaced_ = false;
  questions.locateMissingBkf = [this](std::u16string_view recorded) -> std::optional<std::u16string> {
    ShowMessage(owner_, ToQString(desktop::BkfMoved(recorded)), mb::kIconInformation);
    const QString chosen = ChooseExistingFile(owner_, desktop::kLocateBkfTitle, desktop::kBkfFilter, "bkf");
    if (chosen.isEmpty()) return std::nullopt;
    emit bkfNamed(chosen);
    bkfReplaced_ = true;
    return ToU16(chosen);
  };
  questions.rowsBegin = [this](std::u16string_view) { emit loadRowsBegin(); };
  session_.StartLoad(ToU16(path), std::move(questions));
  emit fileOpened(path);
}

bool RecoveryCommands::ConfirmReplacedBkf() {
  for (;;) {
    const std::unique_ptr<BkfReader> bkf = session_.Opener()(PathFromUtf16(session_.BkfPath()));
    if (bkf != nullptr && HoldsCatalogueData(session_.GetCatalogue(), *bkf)) return true;
    ShowMessage(owner_, ToQString(texts::kWrongBkf), mb::kIconExclamation);
    const QString chosen = ChooseExistingFile(owner_, desktop::kLocateBkfTitle, desktop::kBkfFilter, "bkf");
    if (chosen.isEmpty()) return false;
    emit bkfNamed(chosen);
    session_.UseBkfFile(ToU16(chosen));
  }
}

void RecoveryCommands::FinishLoad(const SnapshotLoadResult& result) {
  switch (result.status) {
    case SnapshotLoadStatus::kLoaded:
      // Rows read with another backup's bytes would be saved as that backup's.
      if (bkfReplaced_ && !ConfirmReplacedBkf()) {
        emit loadAbandoned();
        return;
      }
      emit loadEnded(session_.GetCatalogue().CatalogueRowCount(), {});
      return;
    case SnapshotLoadStatus::kNoData:
      emit loadEnded(0, ToQString(result.message));
      return;
    case SnapshotLoadStatus::kOpenFailed:
      ShowMessage(owner_, ToQString(result.message), mb::kIconInformation);
      break;
    case SnapshotLoadStatus::kCancelled:
      break;
  }
  emit loadFailed();
}

}  // namespace tallowin

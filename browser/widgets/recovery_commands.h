// The commands on the recovered catalogue as a whole: saving and verifying
// the checked files (the work itself is FileCommands'), renaming a folder,
// and writing and loading recovery snapshots with the questions a load asks
// the user. Each asks the session whether it may run now; what the view
// must show of a load it hears by the signals.
#pragma once

#include <QObject>
#include <QString>

#include "browser/widgets/command_guard.h"
#include "browser/widgets/file_commands.h"
#include "catalog/snapshot.h"

class QWidget;

namespace tallowin {

class RecoveryCommands : public QObject {
  Q_OBJECT

 public:
  RecoveryCommands(RecoverySessionController& session, SharedValues& values, QWidget* owner);

  // Saving, verifying, opening and dragging out files.
  FileCommands& Files() { return *files_; }

  void SaveChecked() { files_->SaveChecked(); }
  void VerifyChecked() { files_->Verify(RowSelection::Checked()); }
  void VerifyAll() { files_->Verify(RowSelection::All()); }
  // Asks for the new name of `node` until it is one the browser takes, or
  // the user cancels.
  void RenameFolder(FolderId node);
  // Writes a snapshot of the catalogue where the user chooses.
  void SaveSnapshot();
  // Loads the snapshot the user chooses, or the one at `path`.
  void LoadSnapshot();
  void LoadSnapshotFile(const QString& path);
  // The load has ended: tells the user what they must know and says by a
  // signal what the view shows now.
  void FinishLoad(const SnapshotLoadResult& result);

 signals:
  void fileOpened(const QString& path);
  // The user named the BKF file that the loaded rows are read from.
  void bkfNamed(const QString& path);
  // A load's rows are about to come.
  void loadRowsBegin();
  // A load ended with `rowCount` rows, or none and `noDataMessage`.
  void loadEnded(int rowCount, const QString& noDataMessage);
  // The rows came, but the user named no BKF file that holds their data.
  void loadAbandoned();
  // The snapshot could not be read, or the user stopped the load.
  void loadFailed();
  // A snapshot save has ended; `ok` is false when it could not be written.
  void snapshotSaved(bool ok);

 private:
  // After a load for which the user named another BKF file: true when that
  // file holds the snapshot's data, or once the user named one that does.
  bool ConfirmReplacedBkf();

  RecoverySessionController& session_;
  QWidget* owner_;
  CommandGuard guard_;
  FileCommands* files_;
  bool bkfReplaced_ = false;  // the load's BKF file was named by the user
};

}  // namespace tallowin

// The commands that read files out of the BKF file: the save of the checked
// files, the verification of the checked files or of every file, and one
// file of the lists opened with the desktop's own program, saved on its own
// or dragged out. Each asks the session whether it may run now, runs in its
// window with progress and Cancel, keeps every verdict beside the catalogue
// and reports; the view only passes the user's choice on.
#pragma once

#include <filesystem>
#include <optional>

#include <QObject>
#include <QString>

#include "save/save_rows.h"
#include "browser/widgets/command_guard.h"
#include "browser/widgets/private_copies.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/save_window.h"

class QWidget;

namespace tallowin {

class FileCommands : public QObject {
  Q_OBJECT

 public:
  FileCommands(RecoverySessionController& session, SharedValues& values, QWidget* owner);

  // Saves the checked files into a new folder of a destination the user chooses.
  void SaveChecked();
  // Verifies the selected files (the checked ones, or all) and reports.
  void Verify(const RowSelection& selection);
  // Saves the file of `row` into a folder the user chooses, under its own name.
  void SaveFile(RowIndex row);
  // Opens the file of `row` with the desktop's program for its type.
  void Open(RowIndex row);
  // Drags the file of `row` out of the window.
  void Drag(RowIndex row);
  // The catalogue was emptied or replaced.
  void Forget() { copies_.Forget(); }

 signals:
  // The share of the work done; -1 when it has ended.
  void progressPercent(int percent);
  // Verdicts were recorded: the lists and the folders' marks follow.
  void verdictsChanged();
  // The verification's report changed a check box, or asks to show a row.
  void markRequested(tallowin::RowIndex row, bool checked);
  void showRowRequested(tallowin::RowIndex row);

 private:
  // A writable folder the user chose; nothing when they cancelled.
  std::optional<QString> ChooseFolder(std::u16string_view title);
  SaveRequest Request(const std::filesystem::path& destination) const;
  // The same, with the files themselves in the destination: a file saved on its own.
  SaveRequest FlatRequest(const std::filesystem::path& destination) const;
  // Runs a save in its window; `lastFile` receives where its last file went.
  SaveSummary RunSave(SaveRequest request, SaveScope scope, std::filesystem::path* lastFile);
  void ShowSaveSummary(const SaveSummary& summary, const std::optional<std::filesystem::path>& folder);
  // The private copy of `row`, saved without a window: a drag waits for it.
  std::optional<std::filesystem::path> CopyForDrag(RowIndex row);

  RecoverySessionController& session_;
  SharedValues& values_;
  QWidget* owner_;
  CommandGuard guard_;
  PrivateCopies copies_;
};

}  // namespace tallowin

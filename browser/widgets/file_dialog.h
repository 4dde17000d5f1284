// The program's open and save file dialogs: the toolkit's file dialog,
// unchanged, under the program's own name.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

#include <QFileDialog>

#include "browser/widgets/scoped_routine.h"

namespace tallowin {

class CNKFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  using QFileDialog::QFileDialog;
};

// Turns a filter in the form "Backup Files(*.bkf)|*.bkf| All Files(*.*)|*.*||"
// (pairs of caption and pattern) into the dialog's list of name filters.
QStringList NameFiltersFromPairs(const QString& pairs);

// What a file dialog does for the program: given the dialog, ready to show,
// returns the chosen path, or an empty text when the user cancelled. Tests
// answer the dialogs by putting a routine of their own in place.
using FileDialogRoutine = std::function<QString(CNKFileDialog& dialog)>;
QString RunFileDialog(CNKFileDialog& dialog);

// Each kind of file dialog ("bkf", "snapshot", "save") opens in the folder
// where the last one of its kind was left; kept in the settings.
QString LastFolder(const QString& kind);
void KeepLastFolder(const QString& kind, const QString& chosen);

// An existing file chosen in the open dialog titled `title`, under `filter`
// (pairs as above), in the last folder of `kind`; empty when cancelled.
QString ChooseExistingFile(QWidget* owner, std::u16string_view title, std::u16string_view filter, const QString& kind);

FileDialogRoutine& CurrentFileDialogRoutine();

class ScopedFileDialogRoutine : public ScopedRoutine<FileDialogRoutine> {
 public:
  explicit ScopedFileDialogRoutine(FileDialogRoutine routine)
      : ScopedRoutine(CurrentFileDialogRoutine(), std::move(routine)) {}
};

}  // namespace tallowin

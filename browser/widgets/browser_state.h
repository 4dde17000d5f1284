// What the browser shows of the session's catalogue beside its rows: the
// folders' check states, the open folder's list, the folders' trouble marks,
// and whether the user changed any check mark or folder name. Every change
// is told by a signal: the folder tree and the lists follow those, so no
// caller has to know which of them shows what.
#pragma once

#include <cstddef>
#include <string_view>

#include <QObject>

#include "save/row_verdicts.h"
#include "browser/selection/folder_browser.h"
#include "browser/selection/folder_checks.h"
#include "browser/widgets/folder_marks.h"
#include "catalog/catalogue.h"

namespace tallowin {

class BrowserState : public QObject {
  Q_OBJECT

 public:
  // checksChanged's row when any row's mark may have changed.
  static constexpr RowIndex kAnyRow = -1;

  BrowserState(Catalogue& catalogue, const RowVerdicts& verdicts, QObject* parent = nullptr);

  FolderBrowser& Browser() { return browser_; }
  const FolderBrowser& Browser() const { return browser_; }
  FolderChecks& Checks() { return checks_; }
  const FolderMarks& Marks() const { return marks_; }
  // The user changed check marks or folder names since the catalogue came.
  bool UserChanges() const { return userChanges_; }

  // The file list shows the contents of `node`, sorted as the user chose.
  void ShowFolder(FolderId node);
  void SortByColumn(int column, const FolderBrowser::RowRank& verdictRank);
  // The user's check boxes: a folder of the tree, a row of the file list, a
  // row of the catalogue list or of the verification's report.
  void ToggleFolder(FolderId node);
  void ToggleListRow(std::size_t index);
  void MarkRow(RowIndex row, bool mark);
  RenameResult RenameFolder(FolderId node, std::u16string_view name);
  // Takes in the rows that a running scan or load has added.
  void TakeNewRows();
  // At the end of a scan or a load: every row checked, no folder open.
  void CheckEveryRow();
  // A save or a verification recorded verdicts.
  void RecomputeMarks();
  // The catalogue is being emptied: every check, mark and index goes with it.
  void Forget();

 signals:
  void rowsAdded();
  // The file list holds other rows (another folder, another order, none).
  void listChanged();
  // The marks of `row`, or of any row (kAnyRow), and the folders' states.
  void checksChanged(tallowin::RowIndex row);
  void folderRenamed(tallowin::FolderId node);
  void verdictsChanged();

 private:
  Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  FolderChecks checks_;
  FolderBrowser browser_;
  FolderMarks marks_;
  bool userChanges_ = false;
};

}  // namespace tallowin

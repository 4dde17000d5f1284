// The end of a verification: the verdict counts, then every file that is
// not verified, with its verdict and reason and its own check box, so that
// the user can clear the damaged ones or jump to one in the browser. The
// whole report can be copied or kept as a text file.
#pragma once

#include <filesystem>
#include <vector>

#include <QDialog>
#include <QString>

#include "save/save_rows.h"
#include "browser/widgets/verdict_rows_model.h"

class QLabel;
class QTableView;

namespace tallowin {

class VerifyReportDialog : public QDialog {
  Q_OBJECT

 public:
  // `notVerified`: the rows of the verification that are not verified, in
  // catalogue order. `bkfPath`, the BKF file verified, is never replaced by
  // the report.
  VerifyReportDialog(const SaveSummary& summary, std::vector<RowIndex> notVerified, const Catalogue& catalogue,
                     const RowVerdicts& verdicts, VerdictRowsModel::MarkRoutine mark, std::filesystem::path bkfPath,
                     QWidget* owner);

  // The summary line, then a line per file: "path: verdict, reason".
  QString Report() const;
  QString Summary() const { return summary_; }
  VerdictRowsModel& Rows() const { return *rows_; }
  QTableView* List() const { return list_; }
  void CopyReport();
  void SaveReportAsText();
  // Closes the report and asks for the current file to be shown in the browser.
  void ShowInBrowser();

 signals:
  void showRowRequested(tallowin::RowIndex row);

 private:
  QString summary_;
  const Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  std::filesystem::path bkfPath_;
  VerdictRowsModel* rows_;
  QTableView* list_;
};

}  // namespace tallowin

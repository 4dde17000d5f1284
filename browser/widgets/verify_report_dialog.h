// The end of a verification: the verdict counts, then every file that is
// not sound with its verdict and reason, in a list the user can copy or
// keep as a text file.
#pragma once

#include <filesystem>

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace tallowin {

class VerifyReportDialog : public QDialog {
  Q_OBJECT

 public:
  // `report`: the summary line, then a line per file.
  // `bkfPath`, the BKF file verified, is never replaced by the report.
  VerifyReportDialog(const QString& report, std::filesystem::path bkfPath, QWidget* owner);

  QString Report() const { return report_; }
  void CopyReport();
  // Asks for a text file and writes the report into it. The file is
  // replaced whole, never the BKF file, a folder or a device.
  void SaveReportAsText();

 private:
  QString report_;
  std::filesystem::path bkfPath_;
  QPlainTextEdit* text_;
};

}  // namespace tallowin

// A report shown as text, to read, copy or keep as a text file: the
// Recovery Report.
#pragma once

#include <filesystem>

#include <QDialog>
#include <QString>

namespace tallowin {

class TextReportDialog : public QDialog {
  Q_OBJECT

 public:
  // `bkfPath`, the BKF file the report is about, is never replaced by it.
  TextReportDialog(const QString& title, const QString& text, std::filesystem::path bkfPath, QWidget* owner);

  QString Text() const { return text_; }

 private:
  QString text_;
  std::filesystem::path bkfPath_;
};

}  // namespace tallowin

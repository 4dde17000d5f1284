// The About box: the product's name and version over the program's picture.
#pragma once

#include <QDialog>

namespace tallowin {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// "Tallowin for BKF" and the version the program was built as.
QString ProductNameAndVersion();

}  // namespace tallowin

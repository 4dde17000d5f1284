// The start page: the prompt on its dark picture, the box that names the BKF
// file, Browse and Next.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "browser/widgets/view_layout.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tallowin {

class CHoverButton;

class StartPage : public QWidget {
  Q_OBJECT

 public:
  explicit StartPage(QWidget* parent);

  QLineEdit* PathBox() const { return pathBox_; }
  // Chooses a BKF file; its full path goes into the path box.
  void Browse();
  void Place(const ViewLayout& layout);

 signals:
  // Next, or Enter in the path box.
  void nextClicked();

 protected:
  // The white prompt stands on a dark picture.
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* prompt_ = nullptr;
  QLineEdit* pathBox_ = nullptr;
  QPushButton* browse_ = nullptr;
  CHoverButton* next_ = nullptr;
  QPixmap background_;
};

}  // namespace tallowin

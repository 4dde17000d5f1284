// A picture button that lights up under the mouse and shows a hand cursor.
#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QPixmap>

namespace tallowin {

class CHoverButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit CHoverButton(QWidget* parent = nullptr);

  void SetPicture(const QPixmap& picture);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPixmap picture_;
  bool hovered_ = false;
};

// A button of the view showing `picture` at `size`, and the key that presses
// it (the picture holds no text to underline).
CHoverButton* PictureButton(QWidget* parent, const char* name, const char* picture, QSize size, const char* key);

}  // namespace tallowin

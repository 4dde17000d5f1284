#include "browser/widgets/hover_button.h"

#include <QPainter>

#include "browser/widgets/pictures.h"

namespace tallowin {

CHoverButton::CHoverButton(QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void CHoverButton::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  updateGeometry();
  update();
}

QSize CHoverButton::sizeHint() const { return picture_.isNull() ? QSize(16, 16) : picture_.size(); }

void CHoverButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // Pressed, the picture sinks by a pixel; under the mouse it brightens.
  const int shift = isDown() ? 1 : 0;
  painter.drawPixmap(rect().translated(shift, shift), picture_);
  if (hovered_ && isEnabled()) painter.fillRect(rect(), QColor(255, 255, 255, 48));
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void CHoverButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

CHoverButton* PictureButton(QWidget* parent, const char* name, const char* picture, QSize size, const char* key) {
  auto* button = new CHoverButton(parent);
  button->setObjectName(name);
  button->SetPicture(pictures::Render(picture, size));
  button->setShortcut(QKeySequence(key));
  return button;
}

}  // namespace tallowin

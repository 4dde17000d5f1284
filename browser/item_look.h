// How the items of the tree and the lists are drawn: check boxes from the
// program's own state images, and grid lines between the cells of a list.
#pragma once

#include <QList>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyledItemDelegate>

namespace tallowin {

// State images in the order of the check-box strip.
enum class StateImage { kUnchecked = 0, kChecked = 1, kPartlyChecked = 2, kParentMarker = 3 };

class CheckImageStyle : public QProxyStyle {
  Q_OBJECT

 public:
  CheckImageStyle();
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

 private:
  QList<QPixmap> images_;
};

class GridLineDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tallowin

#include "browser/item_look.h"

#include <QPainter>
#include <QStyleOptionViewItem>

#include "browser/pictures.h"

namespace tallowin {

namespace {
constexpr int kImageSize = 16;
}

CheckImageStyle::CheckImageStyle()
    : images_(pictures::CutStrip(pictures::kCheckStates, QSize(kImageSize, kImageSize), 4)) {}

void CheckImageStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  if (element != PE_IndicatorItemViewItemCheck) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  StateImage image = StateImage::kUnchecked;
  if (option->state & State_NoChange) {
    image = StateImage::kPartlyChecked;
  } else if (option->state & State_On) {
    image = StateImage::kChecked;
  }
  const QPixmap& picture = images_[static_cast<int>(image)];
  const QRect at(option->rect.center() - QPoint(kImageSize / 2 - 1, kImageSize / 2 - 1),
                 QSize(kImageSize, kImageSize));
  painter->drawPixmap(at, picture);
}

int CheckImageStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return kImageSize;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  painter->save();
  painter->setPen(QColor(0xd8, 0xd8, 0xd8));
  painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
  painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
  painter->restore();
}

}  // namespace tallowin

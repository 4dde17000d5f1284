#include "browser/widgets/item_look.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "browser/widgets/pictures.h"

namespace tallowin {

namespace {
constexpr int kImageSize = 16;

QRect ImageRect(const QRect& around) {
  return QRect(around.center() - QPoint(kImageSize / 2 - 1, kImageSize / 2 - 1), QSize(kImageSize, kImageSize));
}
}  // namespace

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
  painter->drawPixmap(ImageRect(option->rect), Image(image));
}

int CheckImageStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return kImageSize;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

void UseFixedRowTable(QTableView& table) {
  table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 4);
  table.verticalHeader()->hide();
  table.horizontalHeader()->setHighlightSections(false);
  table.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  table.setWordWrap(false);
}

ItemLookDelegate::ItemLookDelegate(bool gridLines, QObject* parent)
    : QStyledItemDelegate(parent), gridLines_(gridLines) {}

QRect ItemLookDelegate::CheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  if (!(item.features & QStyleOptionViewItem::HasCheckIndicator)) return {};
  const QWidget* widget = item.widget;
  return (widget ? widget->style() : QApplication::style())
      ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, widget);
}

void ItemLookDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (index.data(kParentMarkerRole).toBool()) {
    const QRect box = CheckRect(option, index);
    painter->fillRect(box, index.data(Qt::BackgroundRole).value<QColor>());
    const auto* style = qobject_cast<const CheckImageStyle*>(option.widget ? option.widget->style() : nullptr);
    if (style) painter->drawPixmap(ImageRect(box), style->Image(StateImage::kParentMarker));
  }
  if (gridLines_) {
    painter->save();
    painter->setPen(QColor(0xd8, 0xd8, 0xd8));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }
}

}  // namespace tallowin

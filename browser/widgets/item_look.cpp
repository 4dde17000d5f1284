#include "browser/widgets/item_look.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTableView>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolTip>

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

void FitColumnWidths(QAbstractItemView& view, QHeaderView& header, std::span<const int> widths,
                     std::span<const QString> samples) {
  // Room for the cell's margins, and in a heading for the sort arrow.
  constexpr int kCellMargins = 12;
  constexpr int kHeadingMargins = 28;
  const QFontMetrics cells = view.fontMetrics();
  const QFontMetrics headings = header.fontMetrics();
  for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
    const int width = widths[static_cast<std::size_t>(column)];
    if (width == 0) continue;
    const QString heading = header.model()->headerData(column, Qt::Horizontal).toString();
    int fitted = std::max(width, headings.horizontalAdvance(heading) + kHeadingMargins);
    if (static_cast<std::size_t>(column) < samples.size() && !samples[static_cast<std::size_t>(column)].isEmpty()) {
      fitted = std::max(fitted, cells.horizontalAdvance(samples[static_cast<std::size_t>(column)]) + kCellMargins);
    }
    header.resizeSection(column, fitted);
  }
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

bool ItemLookDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) {
  if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  const QWidget* widget = item.widget;
  const QRect room = (widget ? widget->style() : QApplication::style())
                         ->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
  // The style keeps a few pixels of the text rectangle as margins.
  constexpr int kTextMargins = 6;
  const bool cut = !item.text.isEmpty() && item.fontMetrics.horizontalAdvance(item.text) > room.width() - kTextMargins;
  QString tip = cut ? item.text : QString();
  // The model's own tip (a verdict's reason) follows the cut text.
  if (const QString own = index.data(Qt::ToolTipRole).toString(); !own.isEmpty()) {
    tip = tip.isEmpty() ? own : tip + "\n" + own;
  }
  if (!tip.isEmpty()) {
    QToolTip::showText(event->globalPos(), tip, view, view->visualRect(index));
  } else {
    QToolTip::hideText();
  }
  return true;
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

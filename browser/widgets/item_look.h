// How the items of the tree and the lists are drawn: check boxes from the
// program's own state images, grid lines between the cells of a list, and
// the parent marker in place of the parent row's check box.
#pragma once

#include <span>

#include <QList>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QHeaderView;
class QTableView;

namespace tallowin {

// State images in the order of the check-box strip.
enum class StateImage { kUnchecked = 0, kChecked = 1, kPartlyChecked = 2, kParentMarker = 3 };

// A model's answer to this role is true for the row that leads to the parent
// folder: it shows the parent marker instead of a check box.
inline constexpr int kParentMarkerRole = Qt::UserRole + 1;

class CheckImageStyle : public QProxyStyle {
  Q_OBJECT

 public:
  CheckImageStyle();
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

  const QPixmap& Image(StateImage image) const { return images_[static_cast<int>(image)]; }

 private:
  QList<QPixmap> images_;
};

// A report list of rows of one fixed height, selected whole: a million rows
// cost it no measuring, and new rows no layout of the ones before them.
void UseFixedRowTable(QTableView& table);

// Column widths that hold their heading and `samples` (the widest text a
// column shows, or empty) in the view's font, and never narrower than
// `widths`: those were measured for a narrower font than many desktops use.
void FitColumnWidths(QAbstractItemView& view, QHeaderView& header, std::span<const int> widths,
                     std::span<const QString> samples);

class ItemLookDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  ItemLookDelegate(bool gridLines, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Where the item's check box is drawn, for hit tests.
  QRect CheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;
  // A text cut short shows whole in a tooltip, followed by the model's own
  // tooltip where it has one; a text that fits shows only the latter.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  bool gridLines_;
};

}  // namespace tallowin

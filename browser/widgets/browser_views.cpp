#include "browser/widgets/browser_views.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "browser/widgets/item_look.h"

namespace tallowin {

bool OnCheckBox(const QAbstractItemView& view, const ItemLookDelegate& delegate, const QModelIndex& index,
                const QRect& itemRect, const QPoint& position) {
  if (!index.isValid()) return false;
  QStyleOptionViewItem option;
  option.initFrom(&view);
  option.widget = &view;
  option.rect = itemRect;
  option.features = QStyleOptionViewItem::HasDisplay;
  return delegate.CheckRect(option, index).contains(position);
}

SplitHandle::SplitHandle(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), orientation_(orientation) {
  setCursor(orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void SplitHandle::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) grab_ = event->position().toPoint();
}

void SplitHandle::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  // The handle moves with the pointer, wherever on it the drag began.
  const QPoint middle = mapToParent(event->position().toPoint() - grab_) + QPoint(width() / 2, height() / 2);
  emit dragged(orientation_ == Qt::Horizontal ? middle.x() : middle.y());
}

void SplitHandle::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit released();
}

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeView(parent), delegate_(new ItemLookDelegate(false, this)) {
  setItemDelegate(delegate_);
}

void FolderTreeView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  const bool left = event->button() == Qt::LeftButton;
  if (!index.isValid() || (!left && event->button() != Qt::RightButton)) {
    QTreeView::mousePressEvent(event);
    return;
  }
  // Both buttons first do what the left button does at that point.
  if (OnCheckBox(*this, *delegate_, index, visualRect(index), at)) {
    emit checkBoxPressed(index);
  } else {
    setCurrentIndex(index);
    setFocus(Qt::MouseFocusReason);
    setExpanded(index, !isExpanded(index));
  }
  if (!left) {
    emit menuRequested(index, event->globalPosition().toPoint());
    setFocus(Qt::MouseFocusReason);
  }
  event->accept();
}

void FolderTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    emit spacePressed();
    return;
  }
  QTreeView::keyPressEvent(event);
}

bool FolderTreeView::focusNextPrevChild(bool next) {
  emit tabPressed();
  (void)next;
  return true;
}

FileListView::FileListView(QWidget* parent) : QTreeView(parent), delegate_(new ItemLookDelegate(true, this)) {
  setItemDelegate(delegate_);
}

void FileListView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  if (!index.isValid() || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
    QTreeView::mousePressEvent(event);
    return;
  }
  const QModelIndex first = index.siblingAtColumn(0);
  const bool onBox = OnCheckBox(*this, *delegate_, first, visualRect(first), at);
  QTreeView::mousePressEvent(event);  // selection and focus as usual
  if (event->button() == Qt::RightButton) {
    if (onBox) {
      emit rightClickedCheckBox(index.row());
    } else {
      emit menuRequested(index.row(), event->globalPosition().toPoint());
    }
  } else if (onBox) {
    emit checkBoxClicked(index.row());
  }
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  if (!index.isValid() || event->button() != Qt::LeftButton) {
    QTreeView::mouseDoubleClickEvent(event);
    return;
  }
  const QModelIndex first = index.siblingAtColumn(0);
  if (OnCheckBox(*this, *delegate_, first, visualRect(first), at)) {
    emit checkBoxClicked(index.row());
  } else {
    emit navigationRequested(index.row(), false);
  }
  event->accept();
}

void FileListView::keyPressEvent(QKeyEvent* event) {
  const int row = currentIndex().isValid() ? currentIndex().row() : -1;
  switch (event->key()) {
    case Qt::Key_Space:
      if (row >= 0) emit spacePressed(row);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (row >= 0) emit navigationRequested(row, true);
      return;
    default:
      QTreeView::keyPressEvent(event);
  }
}

bool FileListView::focusNextPrevChild(bool next) {
  emit tabPressed();
  (void)next;
  return true;
}

CatalogueListView::CatalogueListView(QWidget* parent)
    : QTableView(parent), delegate_(new ItemLookDelegate(false, this)) {
  setItemDelegate(delegate_);
}

bool CatalogueListView::HitCheckBox(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  if (!index.isValid() || index.column() != 0) return false;
  if (!OnCheckBox(*this, *delegate_, index, visualRect(index), at)) return false;
  emit checkBoxHit(index.row());
  return true;
}

void CatalogueListView::mousePressEvent(QMouseEvent* event) {
  if (!HitCheckBox(event)) QTableView::mousePressEvent(event);
}

void CatalogueListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!HitCheckBox(event)) QTableView::mouseDoubleClickEvent(event);
}

}  // namespace tallowin

#include "browser/widgets/browser_views.h"

#include <algorithm>

#include <QAbstractProxyModel>
#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "browser/widgets/item_look.h"

namespace tallowin {

int SourceRow(const QAbstractItemView& view, const QModelIndex& index) {
  if (!index.isValid()) return -1;
  if (const auto* filter = qobject_cast<const QAbstractProxyModel*>(view.model())) {
    return filter->mapToSource(index).row();
  }
  return index.row();
}

void SelectSourceRow(QAbstractItemView& view, int sourceRow) {
  QModelIndex at = view.model()->index(sourceRow, 0);
  if (const auto* filter = qobject_cast<const QAbstractProxyModel*>(view.model())) {
    at = filter->mapFromSource(filter->sourceModel()->index(sourceRow, 0));
  }
  if (!at.isValid()) return;
  view.setCurrentIndex(at);
  view.scrollTo(at);
}

void CycleFocus(QWidget& owner, const QKeySequence& key, std::vector<QWidget*> panes) {
  auto* next = new QAction(&owner);
  next->setShortcut(key);
  next->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  owner.addAction(next);
  QObject::connect(next, &QAction::triggered, &owner, [&owner, panes = std::move(panes)] {
    const auto at = std::find(panes.begin(), panes.end(), owner.focusWidget());
    const std::size_t to = at == panes.end() ? 0 : static_cast<std::size_t>(at - panes.begin() + 1) % panes.size();
    panes[to]->setFocus(Qt::ShortcutFocusReason);
  });
}

namespace {

// Where the menu of the current item goes when a key asks for it.
QPoint BesideCurrent(const QAbstractItemView& view) {
  const QRect at = view.visualRect(view.currentIndex());
  return view.viewport()->mapToGlobal(at.isValid() ? at.center() : QPoint(0, 0));
}

}  // namespace

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
  setHeaderHidden(true);
  setUniformRowHeights(true);
  // Long names scroll sideways instead of being cut short; the width follows
  // what is expanded when the user opens a node and when a scan ends.
  header()->setStretchLastSection(false);
  connect(this, &QTreeView::expanded, this, [this] { resizeColumnToContents(0); });
}

void FolderTreeView::WidenToShownNames() {
  const int before = columnWidth(0);
  const int precision = header()->resizeContentsPrecision();
  // 0: only the rows in view are measured, not up to a thousand more.
  header()->setResizeContentsPrecision(0);
  resizeColumnToContents(0);
  header()->setResizeContentsPrecision(precision);
  if (columnWidth(0) < before) setColumnWidth(0, before);
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

void FolderTreeView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Keyboard || !currentIndex().isValid()) return;
  emit menuRequested(currentIndex(), BesideCurrent(*this));
}

bool FolderTreeView::focusNextPrevChild(bool next) {
  emit tabPressed();
  (void)next;
  return true;
}

FileListView::FileListView(QWidget* parent) : QTreeView(parent), delegate_(new ItemLookDelegate(true, this)) {
  setItemDelegate(delegate_);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  header()->setSortIndicatorShown(false);
  header()->setSectionsClickable(true);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
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
  const int row = SourceRow(*this, index);
  if (event->button() == Qt::RightButton) {
    if (onBox) {
      emit rightClickedCheckBox(row);
    } else {
      emit menuRequested(row, event->globalPosition().toPoint());
    }
  } else if (onBox) {
    emit checkBoxClicked(row);
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
    emit checkBoxClicked(SourceRow(*this, index));
  } else {
    emit navigationRequested(SourceRow(*this, index), false);
  }
  event->accept();
}

void FileListView::keyPressEvent(QKeyEvent* event) {
  const int row = SourceRow(*this, currentIndex());
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

void FileListView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Keyboard || !currentIndex().isValid()) return;
  emit menuRequested(SourceRow(*this, currentIndex()), BesideCurrent(*this));
}

void FileListView::startDrag(Qt::DropActions) {
  if (currentIndex().isValid()) emit dragRequested(SourceRow(*this, currentIndex()));
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
  emit checkBoxHit(SourceRow(*this, index));
  return true;
}

void CatalogueListView::mousePressEvent(QMouseEvent* event) {
  if (!HitCheckBox(event)) QTableView::mousePressEvent(event);
}

void CatalogueListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (HitCheckBox(event)) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && event->button() == Qt::LeftButton) {
    emit rowActivated(SourceRow(*this, index));
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void CatalogueListView::keyPressEvent(QKeyEvent* event) {
  const int row = SourceRow(*this, currentIndex());
  switch (event->key()) {
    case Qt::Key_Space:
      if (row >= 0) emit checkBoxHit(row);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (row >= 0) emit rowActivated(row);
      return;
    default:
      QTableView::keyPressEvent(event);
  }
}

}  // namespace tallowin

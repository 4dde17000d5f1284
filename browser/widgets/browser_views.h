// The three item views of the browser page. They turn mouse and key actions
// into the browser's intents (a check box hit, a navigation, a context menu,
// a drag) and leave the rules to the main view: where exactly a click lands
// decides what it means, so that logic lives here, once. The rows they tell
// of are their models' own, under whatever filter the view shows them.
#pragma once

#include <vector>

#include <QKeySequence>
#include <QPoint>
#include <QTableView>
#include <QTreeView>

namespace tallowin {

class ItemLookDelegate;

// A thin border between two panes that the user drags; it says where it
// went, along its own direction.
class SplitHandle : public QWidget {
  Q_OBJECT

 public:
  SplitHandle(Qt::Orientation orientation, QWidget* parent);

 signals:
  // Where the middle of the handle is dragged to, in the parent's coordinates.
  void dragged(int position);
  void released();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Qt::Orientation orientation_;
  QPoint grab_;  // where in the handle the button went down
};

// The row of the model below a filter that `index` of the view stands for.
int SourceRow(const QAbstractItemView& view, const QModelIndex& index);
// Makes the view's row that shows `sourceRow` of the model below its filter
// the current one, in sight; nothing when the filter hides it.
void SelectSourceRow(QAbstractItemView& view, int sourceRow);
// `key` moves the focus from one of `panes` to the next, anywhere in `owner`.
void CycleFocus(QWidget& owner, const QKeySequence& key, std::vector<QWidget*> panes);

// Hit tests shared by the views: is `position` on the check box of `index`?
bool OnCheckBox(const QAbstractItemView& view, const ItemLookDelegate& delegate, const QModelIndex& index,
                const QRect& itemRect, const QPoint& position);

class FolderTreeView : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderTreeView(QWidget* parent);
  ItemLookDelegate& Delegate() const { return *delegate_; }
  // Widens the column to the names on screen and never narrows it: cheap
  // enough for every refresh of a running scan, which opens new folders by
  // the thousand. Opening a node measures every open one.
  void WidenToShownNames();

 signals:
  // A left or right button went down on the check box of `node`.
  void checkBoxPressed(const QModelIndex& node);
  // Right button: the context menu of `node` is wanted at `globalPosition`.
  void menuRequested(const QModelIndex& node, const QPoint& globalPosition);
  void spacePressed();
  void tabPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The menu key: the current node's menu, beside it.
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  ItemLookDelegate* delegate_;
};

class FileListView : public QTreeView {
  Q_OBJECT

 public:
  explicit FileListView(QWidget* parent);
  ItemLookDelegate& Delegate() const { return *delegate_; }

 signals:
  void checkBoxClicked(int row);
  // The right button on a row, off its check box.
  void menuRequested(int row, const QPoint& globalPosition);
  void rightClickedCheckBox(int row);
  // A double-click off the check box, or Enter on the current row.
  void navigationRequested(int row, bool byKey);
  void spacePressed(int row);
  void tabPressed();
  // The user began to drag the current row out.
  void dragRequested(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  bool focusNextPrevChild(bool next) override;

 private:
  ItemLookDelegate* delegate_;
};

class CatalogueListView : public QTableView {
  Q_OBJECT

 public:
  explicit CatalogueListView(QWidget* parent);

 signals:
  // Any button, single or double, on a row's check box, or Space.
  void checkBoxHit(int row);
  // A double-click off the check box, or Enter: show the row in the browser.
  void rowActivated(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool HitCheckBox(QMouseEvent* event);
  ItemLookDelegate* delegate_;
};

}  // namespace tallowin

// The context menus of the folder tree and the file list: which items each
// shows, with their keys. What an item does is the caller's; it runs once
// the menu has closed, so that a dialog it opens is not the menu's child.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include <QKeySequence>
#include <QPoint>

class QWidget;

namespace tallowin {

struct MenuItem {
  std::u16string_view text;
  QKeySequence key;  // shown beside the item; the view's own shortcut presses it
  std::function<void()> act;
  bool isDefault = false;  // what a double-click or Enter does
};

// Shows `items` at `at`, then a separator.
void ShowContextMenu(QWidget* owner, const QPoint& at, const std::vector<MenuItem>& items);

}  // namespace tallowin

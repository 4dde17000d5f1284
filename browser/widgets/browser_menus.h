// The context menus of the folder tree and the file list: which items each
// shows, with their keys. What an item does is the caller's; it runs once
// the menu has closed, so that a dialog it opens is not the menu's child.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include <QKeySequence>
#include <QPoint>

#include "catalog/catalogue.h"

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

// What the items of the browser's menus do; each menu uses those it shows.
struct BrowserMenuActions {
  std::function<void()> saveChecked = {};
  std::function<void()> renameFolder = {};
  std::function<void()> parentFolder = {};
  std::function<void(RowIndex file)> open = {};
  std::function<void(RowIndex file)> saveFile = {};
};
// The folder tree's menu: Save Files, Rename Folder, Parent Folder.
void ShowTreeMenu(QWidget* owner, const QPoint& at, const BrowserMenuActions& actions);
// The file list's menu: of a file, Open (what Enter does), Save File and
// Parent Folder; of a folder row, Save Files and Parent Folder.
void ShowFileListMenu(QWidget* owner, const QPoint& at, const BrowserMenuActions& actions,
                      std::optional<RowIndex> file);

}  // namespace tallowin

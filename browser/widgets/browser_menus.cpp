#include "browser/widgets/browser_menus.h"

#include <QAction>
#include <QMenu>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

MenuItem ParentFolderItem(const BrowserMenuActions& actions) {
  return {desktop::kParentFolderMenu, Qt::Key_Backspace, actions.parentFolder};
}

}  // namespace

void ShowContextMenu(QWidget* owner, const QPoint& at, const std::vector<MenuItem>& items) {
  QMenu menu(owner);
  for (const MenuItem& item : items) {
    QAction* action = menu.addAction(ToQString(item.text));
    action->setShortcut(item.key);
    if (item.isDefault) menu.setDefaultAction(action);
    QObject::connect(action, &QAction::triggered, owner, item.act, Qt::QueuedConnection);
  }
  menu.addSeparator();
  menu.exec(at);
}

void ShowTreeMenu(QWidget* owner, const QPoint& at, const BrowserMenuActions& actions) {
  ShowContextMenu(owner, at,
                  {{desktop::kSaveFilesMenu, {}, actions.saveChecked},
                   {desktop::kRenameFolderMenu, Qt::Key_F2, actions.renameFolder},
                   ParentFolderItem(actions)});
}

void ShowFileListMenu(QWidget* owner, const QPoint& at, const BrowserMenuActions& actions,
                      std::optional<RowIndex> file) {
  if (!file) {
    ShowContextMenu(owner, at, {{desktop::kSaveFilesMenu, {}, actions.saveChecked}, ParentFolderItem(actions)});
    return;
  }
  ShowContextMenu(owner, at,
                  {{desktop::kOpenMenu, Qt::Key_Return, [open = actions.open, row = *file] { open(row); }, true},
                   {desktop::kSaveFileMenu, {}, [saveFile = actions.saveFile, row = *file] { saveFile(row); }},
                   ParentFolderItem(actions)});
}

}  // namespace tallowin

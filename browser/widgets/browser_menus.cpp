#include "browser/widgets/browser_menus.h"

#include <QAction>
#include <QMenu>

#include "browser/widgets/text_qt.h"

namespace tallowin {

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

}  // namespace tallowin

#include "browser/widgets/accessible_names.h"

#include <QWidget>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

void DescribeControls(QWidget& root) {
  for (const desktop::ControlDescription& control : desktop::kControlDescriptions) {
    const QString name = QString::fromLatin1(control.objectName.data(), static_cast<qsizetype>(control.objectName.size()));
    QList<QWidget*> found = root.findChildren<QWidget*>(name);
    if (root.objectName() == name) found.append(&root);
    for (QWidget* widget : found) {
      widget->setAccessibleName(ToQString(control.name));
      widget->setAccessibleDescription(ToQString(control.description));
    }
  }
}

}  // namespace tallowin

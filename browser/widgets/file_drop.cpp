#include "browser/widgets/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tallowin {
namespace {

// A local file named by what was dragged: exactly one, or nothing.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
    return {};
  }
  return data->urls().constFirst().toLocalFile();
}

}  // namespace

FileDrop::FileDrop(QWidget& target, std::function<bool()> may, std::function<void(const QString& path)> open)
    : QObject(&target), may_(std::move(may)), open_(std::move(open)) {
  target.setAcceptDrops(true);
  target.installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (may_() && !DroppedFile(enter->mimeData()).isEmpty()) enter->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DroppedFile(drop->mimeData());
    if (path.isEmpty() || !may_()) return true;
    drop->acceptProposedAction();
    open_(path);
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tallowin

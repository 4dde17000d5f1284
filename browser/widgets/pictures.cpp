#include "browser/widgets/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into the program's static library, whose resource
// table must be registered by hand.
static void RegisterPictures() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(tallowin);
    return true;
  }();
  (void)registered;
}

namespace tallowin::pictures {

QPixmap Render(const QString& resource, QSize size) {
  RegisterPictures();
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QList<QPixmap> CutStrip(const QString& resource, QSize cell, int count) {
  const QPixmap strip = Render(resource, QSize(cell.width() * count, cell.height()));
  QList<QPixmap> cells;
  for (int i = 0; i < count; ++i) cells.append(strip.copy(i * cell.width(), 0, cell.width(), cell.height()));
  return cells;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Render(kAppIcon, QSize(size, size)));
  return icon;
}

}  // namespace tallowin::pictures

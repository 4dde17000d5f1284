#include "shell/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace tallowin {
namespace {
constexpr const char* kKey = "Recent/Files";
}  // namespace

QStringList RecentFiles::Files() const { return QSettings().value(kKey).toStringList(); }

void RecentFiles::Add(const QString& path) {
  if (path.isEmpty()) return;
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList files = Files();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kMaxFiles) files.removeLast();
  QSettings().setValue(kKey, files);
}

void RecentFiles::Clear() { QSettings().remove(kKey); }

}  // namespace tallowin

#include "browser/widgets/scoped_url_launcher.h"

#include <QDesktopServices>

namespace tallowin {

UrlLauncher& CurrentUrlLauncher() {
  static UrlLauncher launcher = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  return launcher;
}

}  // namespace tallowin

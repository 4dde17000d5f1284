// Hands a web address, a document or a folder to the desktop's handler for it. Tests
// put their own routine in place, so that no test ever opens a real browser.
#pragma once

#include <functional>
#include <utility>

#include <QUrl>

#include "browser/widgets/scoped_routine.h"

namespace tallowin {

using UrlLauncher = std::function<bool(const QUrl& url)>;

// QDesktopServices::openUrl unless a test put another routine in place.
UrlLauncher& CurrentUrlLauncher();
inline bool LaunchUrl(const QUrl& url) { return CurrentUrlLauncher()(url); }

class ScopedUrlLauncher : public ScopedRoutine<UrlLauncher> {
 public:
  explicit ScopedUrlLauncher(UrlLauncher launcher)
      : ScopedRoutine(CurrentUrlLauncher(), std::move(launcher)) {}
};

}  // namespace tallowin

#include "shell/application.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"

namespace tallowin {

bool TallowinApp::InitInstance(const QStringList& arguments) {
  if (guard_.AnotherInstance()) {
    ShowMessage(nullptr, ToQString(texts::kAnotherInstance),
                mb::kIconExclamation | mb::kOk);
    return false;
  }
  QCoreApplication::setOrganizationName(kMakerKey);
  QCoreApplication::setApplicationName(ToQString(texts::kAppTitle));

  document_ = std::make_unique<CGUI_RezEreDoc>();
  frame_ = std::make_unique<CMainFrame>();
  frame_->setWindowTitle(ToQString(texts::kAppTitle));
  frame_->setWindowIcon(pictures::AppIcon());
  // Without a window manager to honour "maximised", the size is set as well.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();

  // A file named on the command line is opened at once: a snapshot is
  // loaded, anything else recovered as a BKF file.
  if (!arguments.isEmpty()) {
    const QString& path = arguments.constFirst();
    if (LooksLikeSnapshot(PathFromQString(path))) {
      frame_->View()->LoadSnapshotFile(path);
    } else {
      frame_->View()->PathBox()->setText(path);
      frame_->View()->Recover();
    }
  }
  return true;
}

}  // namespace tallowin

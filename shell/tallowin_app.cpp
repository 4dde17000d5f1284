#include "shell/tallowin_app.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

bool TallowinApp::InitInstance(const QStringList& arguments) {
  if (guard_.AnotherInstance()) {
    // The running instance takes the file and comes to the front; only when
    // it does not answer is the start refused with a word.
    const QString file = arguments.isEmpty() ? QString() : QFileInfo(arguments.constFirst()).absoluteFilePath();
    handedOver_ = HandToRunningInstance(guard_.LockPath(), file);
    if (!handedOver_) ShowMessage(nullptr, ToQString(desktop::kAnotherInstance), mb::kIconExclamation | mb::kOk);
    return false;
  }
  QCoreApplication::setOrganizationName(kMakerKey);
  QCoreApplication::setApplicationName(ToQString(desktop::kAppTitle));

  frame_ = std::make_unique<CMainFrame>();
  frame_->setWindowTitle(ToQString(desktop::kAppTitle));
  frame_->setWindowIcon(pictures::AppIcon());
  frame_->ShowMainWindow();
  server_ = std::make_unique<InstanceServer>(guard_.LockPath());
  QObject::connect(server_.get(), &InstanceServer::fileHanded, frame_.get(), &CMainFrame::TakeHandedFile);

  // A file named on the command line is opened at once: a snapshot is
  // loaded, anything else recovered as a BKF file.
  if (!arguments.isEmpty()) frame_->View()->OpenNamedFile(arguments.constFirst());
  return true;
}

}  // namespace tallowin

// The application object: refuses a second instance, sets up the settings
// root, builds the main frame and its view, and shows the window maximised.
#pragma once

#include <memory>

#include <QStringList>

#include "shell/instance_server.h"
#include "shell/main_frame.h"
#include "shell/instance_guard.h"

namespace tallowin {

// The maker key under which the settings are kept.
inline constexpr const char* kMakerKey = "Tallowin";

class TallowinApp {
 public:
  // `guard` was taken before anything else started.
  explicit TallowinApp(const InstanceGuard& guard) : guard_(guard) {}

  // After QApplication exists. False when the program must end at once:
  // another instance runs. `arguments` are the program's, without its name;
  // a BKF file named there is recovered at once, or handed to the instance
  // that runs.
  bool InitInstance(const QStringList& arguments);
  // The instance that runs took this start's file and came to the front.
  bool HandedOver() const { return handedOver_; }

  CMainFrame* Frame() const { return frame_.get(); }

 private:
  const InstanceGuard& guard_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<InstanceServer> server_;
  bool handedOver_ = false;
};

}  // namespace tallowin

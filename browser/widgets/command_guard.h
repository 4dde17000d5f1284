// Asks the recovery session whether a command may run now and, when it may
// not, tells the user the reason's text in a message owned by the window
// that asked. Every command of the view and the frame passes one.
#pragma once

#include "browser/widgets/session_command.h"

class QWidget;

namespace tallowin {

class RecoverySessionController;

class CommandGuard {
 public:
  CommandGuard(const RecoverySessionController& session, QWidget* owner) : session_(session), owner_(owner) {}

  // True when `command` may run now; otherwise false, after telling the
  // reason when it has a text.
  bool Permits(SessionCommand command) const;

 private:
  const RecoverySessionController& session_;
  QWidget* owner_;
};

}  // namespace tallowin

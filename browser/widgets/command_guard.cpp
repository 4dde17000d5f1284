#include "browser/widgets/command_guard.h"

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

// A check box or the file list's menu during a scan asks the user to stop it
// first; the other refusals warn.
unsigned RefusalIcon(Refusal reason) {
  return reason == Refusal::kScanRunningForChecks || reason == Refusal::kScanRunningForMenu ? mb::kIconQuestion
                                                                                             : mb::kIconExclamation;
}

}  // namespace

bool CommandGuard::Permits(SessionCommand command) const {
  const Refusal reason = session_.Allows(command);
  if (reason == Refusal::kNone) return true;
  if (const std::u16string_view text = desktop::RefusalText(reason); !text.empty()) {
    ShowMessage(owner_, ToQString(text), RefusalIcon(reason));
  }
  return false;
}

}  // namespace tallowin

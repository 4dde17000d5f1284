// Ctrl+C and Ctrl+Break as the Stop button: the console calls the handler on
// a thread of its own; the first event asks the running work to stop, a
// second one is left to the system, which ends the program at once.
#include <windows.h>

#include <atomic>

#include "cli/interrupt.h"

namespace tallowin::cli {
namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  return interrupted.exchange(true) ? FALSE : TRUE;
}

}  // namespace

void CatchInterrupt() { ::SetConsoleCtrlHandler(OnControl, TRUE); }

bool Interrupted() { return interrupted.load(); }

}  // namespace tallowin::cli

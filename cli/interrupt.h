// Ctrl-C as the Stop button: the first one asks the running work to stop and
// keep what it has; a second one ends the program at once.
#pragma once

#include <atomic>

namespace tallowin::cli {

void CatchInterrupt();
bool Interrupted();
// The flag itself, for work that polls a stop flag of its own.
const std::atomic<bool>& InterruptFlag();

}  // namespace tallowin::cli

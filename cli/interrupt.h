// Ctrl-C as the Stop button: the first one asks the running work to stop and
// keep what it has; a second one ends the program at once.
#pragma once

namespace tallowin::cli {

void CatchInterrupt();
bool Interrupted();

}  // namespace tallowin::cli

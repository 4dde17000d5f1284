// The one way twbkf runs a long job (a scan, a snapshot load, a save or a
// verification): on a thread of its own, while the main thread waits and
// turns Ctrl-C into a stop request on the job's token.
#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

namespace tallowin::cli {

// Runs `job` to its end. `tick`, when given, runs on this thread every
// `every` while the job runs; Ctrl-C is looked for as often. A Ctrl-C that
// came before the call stops the job before it begins.
void RunStoppableJob(const std::function<void(std::stop_token)>& job, const std::function<void()>& tick = {},
                     std::chrono::milliseconds every = std::chrono::milliseconds(100));

}  // namespace tallowin::cli

#include "cli/stoppable_job.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "cli/interrupt.h"

namespace tallowin::cli {

void RunStoppableJob(const std::function<void(std::stop_token)>& job, const std::function<void()>& tick,
                     std::chrono::milliseconds every) {
  // The signal handler may only store into a lock-free atomic: request_stop
  // may take the stop state's lock and runs its callbacks, which no handler
  // may do. This thread carries the handler's flag over to the stop.
  std::stop_source stop;
  if (Interrupted()) stop.request_stop();
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::jthread worker([&] {
    job(stop.get_token());
    std::lock_guard lock(mutex);
    done = true;
    ended.notify_all();
  });
  std::unique_lock lock(mutex);
  while (!ended.wait_for(lock, every, [&] { return done; })) {
    if (Interrupted()) stop.request_stop();
    if (!tick) continue;
    lock.unlock();
    tick();
    lock.lock();
  }
}

}  // namespace tallowin::cli

// How far a long job has come (a scan, a snapshot load, a search, a save or
// a verification), in the one shape every front end reads. The front end
// owns the job's thread and its stop: each job is a plain call that takes a
// std::stop_token and reports here.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tallowin {

struct JobProgress {
  std::uint64_t done = 0;        // bytes (scan, save, verification) or rows (load, search) so far
  std::uint64_t total = 0;       // ... of as many; 0 when not known
  std::uint64_t files = 0;       // files found (scan) or files done (save, verification)
  std::uint64_t filesTotal = 0;  // files to do (save, verification); 0 when not counted

  // done x 100 / total, truncated, at most 100; 0 without a total.
  int Percent() const {
    return total > 0 ? static_cast<int>(std::min<std::uint64_t>(100 * done / total, 100)) : 0;
  }
};

// Told on the job's own thread, often: a receiver that draws keeps the
// figures and shows them a few times a second.
class JobObserver {
 public:
  virtual ~JobObserver() = default;
  virtual void OnProgress(const JobProgress& progress) { (void)progress; }
};

}  // namespace tallowin

// One line of progress on standard error, redrawn a few times a second, shown
// only when standard error is a terminal and not silenced.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tallowin::cli {

// "1.4 GiB of 3.0 GiB  46%  12 file(s) found  85 MiB/s  0:19 left", cut to
// one column less than `width` so that no terminal wraps it. The time left
// comes once the rate has settled.
std::string ProgressLine(std::uint64_t done, std::uint64_t total, const std::string& files, double seconds,
                         std::size_t width);

class TerminalProgress {
 public:
  explicit TerminalProgress(bool quiet);
  ~TerminalProgress();

  // Bytes of `total` done, and a word on the files.
  void Show(std::uint64_t done, std::uint64_t total, const std::string& files);
  // Clears the line so that messages start on a clean one.
  void Finish();

 private:
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace tallowin::cli

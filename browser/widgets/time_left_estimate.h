// How long a scan, a save or a verification still takes, from how fast it
// went so far. It says nothing at first: the first seconds of a read are
// often much faster or slower than the rest.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tallowin {

class TimeLeftEstimate {
 public:
  static constexpr double kQuietSeconds = 2.0;

  // The work begins now.
  void Start() { start_ = std::chrono::steady_clock::now(); }
  std::optional<double> SecondsLeft(std::uint64_t done, std::uint64_t total) const {
    return SecondsLeft(done, total, std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
  }
  // After `elapsed` seconds, `done` of `total`: nothing before kQuietSeconds
  // or one hundredth of the work, nor when nothing is left.
  static std::optional<double> SecondsLeft(std::uint64_t done, std::uint64_t total, double elapsed) {
    if (elapsed < kQuietSeconds || done == 0 || done >= total || done < total / 100) return std::nullopt;
    return elapsed * static_cast<double>(total - done) / static_cast<double>(done);
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace tallowin

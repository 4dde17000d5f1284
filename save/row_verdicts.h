// What a save or a verification found of each catalogue row, kept beside the
// catalogue: one byte per row, and the text of a reason only where it is the
// row's own. A byte holds the verdict and, for the reasons that the reading
// of any file may give ("the backup stores no checksum for it"), the number
// of that reason; a million rows cost a megabyte.
//
// Written by the worker of a save or a verification while the user-interface
// thread reads; every operation is atomic with respect to the others.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_data.h"
#include "catalog/catalogue.h"

namespace tallowin {

// A row that the user must look at: its data is damaged, incomplete or could
// not be read at all.
bool IsTrouble(FileVerdict verdict);

class RowVerdicts {
 public:
  struct Entry {
    std::optional<FileVerdict> verdict;  // nothing before a save or a verification reached the row
    std::string reason;                  // empty for a verified row
  };

  // Forgets every verdict (the catalogue was emptied or replaced).
  void Clear();
  // The row's verdict, replacing an earlier one.
  void Record(RowIndex row, FileVerdict verdict, std::string_view reason);
  Entry Read(RowIndex row) const;
  std::optional<FileVerdict> Verdict(RowIndex row) const;

  // How many rows have each verdict.
  std::array<std::uint64_t, kFileVerdictCount> Counts() const;
  std::uint64_t Known() const;
  // Grows by one with every change, so that a reader can tell it missed none.
  std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }

  // Runs `visit(row, verdict)` for every row from `first` below `end` that
  // has a verdict, in one locked pass.
  template <typename Visit>
  void ForEachKnown(RowIndex first, RowIndex end, Visit visit) const {
    std::shared_lock lock(mutex_);
    const auto last = std::min<std::size_t>(codes_.size(), static_cast<std::size_t>(std::max<RowIndex>(end, 0)));
    for (std::size_t row = static_cast<std::size_t>(std::max<RowIndex>(first, 0)); row < last; ++row) {
      if (codes_[row] != 0) visit(static_cast<RowIndex>(row), VerdictOf(codes_[row]));
    }
  }

 private:
  // Low three bits: 0 for no verdict, else the verdict plus one. High five:
  // 0 for no reason, 1 to 30 a shared reason, 31 the row's own in `ownReasons_`.
  static constexpr std::uint8_t kVerdictBits = 0x07;
  static constexpr int kReasonShift = 3;
  static constexpr std::uint8_t kOwnReason = 31;
  static FileVerdict VerdictOf(std::uint8_t code) { return static_cast<FileVerdict>((code & kVerdictBits) - 1); }
  std::uint8_t ReasonCode(RowIndex row, std::string_view reason);

  mutable std::shared_mutex mutex_;
  std::vector<std::uint8_t> codes_;  // by row
  std::unordered_map<RowIndex, std::string> ownReasons_;
  std::array<std::uint64_t, kFileVerdictCount> counts_{};
  std::atomic<std::uint64_t> generation_{0};
};

}  // namespace tallowin

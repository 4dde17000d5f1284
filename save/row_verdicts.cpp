#include "save/row_verdicts.h"

#include <numeric>

#include "catalog/program_texts.h"

namespace tallowin {
namespace {

// The reasons that the reading of a file gives whatever the file: a byte
// names them. Reasons with numbers in them are the row's own.
constexpr std::string_view kSharedReasons[] = {
    texts::kReasonDamaged,       texts::kReasonStoredEncrypted,       texts::kReasonStoredCompressed,
    texts::kReasonChecksumMissing, texts::kReasonHeaderDamaged,       texts::kReasonNoChecksum,
    texts::kReasonSparse,        texts::kReasonSparseSizeFromPieces, texts::kReasonEmpty,
    texts::kSparseEndsEarly,     texts::kSparseUnreadable,
};

}  // namespace

bool IsTrouble(FileVerdict verdict) {
  return verdict == FileVerdict::kDamaged || verdict == FileVerdict::kIncomplete || verdict == FileVerdict::kSkipped;
}

void RowVerdicts::Clear() {
  std::unique_lock lock(mutex_);
  codes_ = {};
  ownReasons_ = {};
  counts_ = {};
  generation_.fetch_add(1, std::memory_order_acq_rel);
}

std::uint8_t RowVerdicts::ReasonCode(RowIndex row, std::string_view reason) {
  ownReasons_.erase(row);
  if (reason.empty()) return 0;
  for (std::size_t i = 0; i < std::size(kSharedReasons); ++i) {
    if (kSharedReasons[i] == reason) return static_cast<std::uint8_t>(i + 1);
  }
  ownReasons_.emplace(row, reason);
  return kOwnReason;
}

void RowVerdicts::Record(RowIndex row, FileVerdict verdict, std::string_view reason) {
  if (row < 0) return;
  std::unique_lock lock(mutex_);
  const auto at = static_cast<std::size_t>(row);
  if (at >= codes_.size()) codes_.resize(std::max(at + 1, codes_.size() * 3 / 2), 0);
  std::uint8_t& code = codes_[at];
  if (code != 0) --counts_[static_cast<std::size_t>(VerdictOf(code))];
  code = static_cast<std::uint8_t>((ReasonCode(row, reason) << kReasonShift) | (static_cast<int>(verdict) + 1));
  ++counts_[static_cast<std::size_t>(verdict)];
  generation_.fetch_add(1, std::memory_order_acq_rel);
}

RowVerdicts::Entry RowVerdicts::Read(RowIndex row) const {
  std::shared_lock lock(mutex_);
  if (row < 0 || static_cast<std::size_t>(row) >= codes_.size() || codes_[static_cast<std::size_t>(row)] == 0) {
    return {};
  }
  const std::uint8_t code = codes_[static_cast<std::size_t>(row)];
  Entry entry{VerdictOf(code), {}};
  const int reason = code >> kReasonShift;
  if (reason == kOwnReason) {
    if (const auto found = ownReasons_.find(row); found != ownReasons_.end()) entry.reason = found->second;
  } else if (reason > 0) {
    entry.reason = kSharedReasons[static_cast<std::size_t>(reason - 1)];
  }
  return entry;
}

std::optional<FileVerdict> RowVerdicts::Verdict(RowIndex row) const {
  std::shared_lock lock(mutex_);
  if (row < 0 || static_cast<std::size_t>(row) >= codes_.size() || codes_[static_cast<std::size_t>(row)] == 0) {
    return std::nullopt;
  }
  return VerdictOf(codes_[static_cast<std::size_t>(row)]);
}

std::array<std::uint64_t, kFileVerdictCount> RowVerdicts::Counts() const {
  std::shared_lock lock(mutex_);
  return counts_;
}

std::uint64_t RowVerdicts::Known() const {
  const auto counts = Counts();
  return std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
}

}  // namespace tallowin

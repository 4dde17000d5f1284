#include "save/file_verification.h"

#include <numeric>

#include "save/checked_rows.h"
#include "catalog/program_texts.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

// Nowhere: the bytes are read and checked, never kept.
class DiscardingSink final : public FileDataSink {
 public:
  bool Write(std::uint64_t, std::span<const std::byte>, int&) override { return true; }
};

}  // namespace

std::uint64_t VerifySummary::Files() const { return std::accumulate(counts.begin(), counts.end(), std::uint64_t{0}); }

bool VerifySummary::Sound() const {
  return fatalError.empty() && !cancelled && Count(FileVerdict::kVerified) + Count(FileVerdict::kUnchecked) == Files();
}

VerifySummary VerifyRows(const Catalogue& catalogue, const VerifyRequest& request, const RowSelection& selection,
                         VerifyObserver& observer, const std::atomic<bool>& cancel) {
  VerifySummary summary;
  const std::unique_ptr<BkfReader> bkf = request.opener(request.bkfPath);
  if (!bkf) {
    summary.fatalError = BkfOpenProblem(request.bkfPath);
    return summary;
  }
  const std::uint64_t bkfSize = bkf->GetSize();
  const CheckedTotals totals = CountSelectedRows(catalogue, selection, bkfSize);
  std::uint64_t filesDone = 0, bytesDone = 0;
  FileDataReader reader(*bkf, cancel, [&](std::uint64_t bytes) {
    bytesDone += bytes;
    observer.OnVerifyProgress(filesDone, totals.files, bytesDone, totals.bytes);
  });
  DiscardingSink nowhere;
  observer.OnVerifyProgress(0, totals.files, 0, totals.bytes);
  ForEachSelectedRow(catalogue, selection, [&](const RowData& row) {
    FileCheck check{row.row, row.path, FileVerdict::kSkipped, {}};
    if (const auto problem = RowDataProblem(row, bkfSize)) {
      check.reason = *problem;
    } else {
      FileDataResult result =
          reader.Read(static_cast<std::uint64_t>(row.offset), static_cast<std::uint64_t>(row.size), nowhere);
      if (result.cancelled) {
        summary.cancelled = true;
        return false;
      }
      check.verdict = result.verdict;
      check.reason = std::move(result.reason);
    }
    ++summary.counts[static_cast<std::size_t>(check.verdict)];
    observer.OnFileChecked(check);
    observer.OnVerifyProgress(++filesDone, totals.files, bytesDone, totals.bytes);
    return !cancel;
  });
  if (cancel) summary.cancelled = true;
  return summary;
}

std::string VerifySummaryText(const VerifySummary& summary) {
  std::string text = std::to_string(summary.Files()) + " file(s): ";
  constexpr FileVerdict kOrder[] = {FileVerdict::kVerified,        FileVerdict::kDamaged,
                                    FileVerdict::kUnchecked,       FileVerdict::kIncomplete,
                                    FileVerdict::kStoredEncrypted, FileVerdict::kStoredCompressed,
                                    FileVerdict::kSkipped};
  for (const FileVerdict verdict : kOrder) {
    if (verdict != kOrder[0]) text += ", ";
    text += std::to_string(summary.Count(verdict)) + " " + std::string(VerdictName(verdict));
  }
  if (summary.cancelled) text += texts::kVerifyCancelled;
  return text + ".";
}

}  // namespace tallowin

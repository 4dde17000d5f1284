#include "save/save_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <unordered_map>

#include "save/checked_rows.h"
#include "save/safe_names.h"
#include "catalog/number_text.h"
#include "catalog/text_convert.h"
#include "catalog/program_texts.h"

namespace tallowin {
namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

std::vector<std::u16string_view> Components(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const auto slash = path.find(u'\\', start);
    parts.push_back(path.substr(start, slash - start));
    if (slash == std::u16string_view::npos) return parts;
    start = slash + 1;
  }
}

// A folder made by this save, known by its catalogue name.
struct FolderNode {
  std::string name;  // in its parent, as the target holds it
  FolderNode* parent = nullptr;  // null for the target's root
  std::unordered_map<std::u16string, std::unique_ptr<FolderNode>> children;
  // For each name that files of this folder came to, the number that the
  // next one tries first: the n-th file of one name costs one attempt, not n.
  std::unordered_map<std::string, int> nextNumber;
};

using Job = RowData;

// Nowhere: a verification reads and checks the bytes, never keeps them.
class DiscardingSink final : public FileDataSink {
 public:
  bool Write(std::uint64_t, std::span<const std::byte>, int&) override { return true; }
};

// Errors after which no other file can be saved either.
bool RefusesEveryFile(int error) {
#ifdef EDQUOT
  if (error == EDQUOT) return true;
#endif
  return error == ENOSPC || error == EROFS;
}

class Saver {
 public:
  Saver(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection,
        SaveObserver& observer, std::stop_token stop)
      : catalogue_(catalogue), request_(request), selection_(selection), observer_(observer), stop_(std::move(stop)) {}

  SaveSummary Run();

 private:
  bool Verifying() const { return request_.mode == SaveMode::kVerifyOnly; }
  // The destination; false when it cannot be had.
  bool OpenTarget();
  void Save(const Job& job);
  void Verify(const Job& job);
  void Count(const Job& job, FileDataResult result, const std::filesystem::path& file);
  // The folder of a row's folder chain, made where needed.
  FolderNode* FolderFor(std::span<const std::u16string_view> chain, std::string& problem, int& error);
  FolderNode* Child(FolderNode& parent, std::u16string_view key, bool top, std::string& problem, int& error);
  // `verdict`: kSkipped when the row's data cannot be read at all, nothing
  // when the destination refused the file.
  void Failed(const Job& job, std::string reason, int error = 0,
              std::optional<FileVerdict> verdict = std::nullopt);
  void Progress() { observer_.OnProgress(progress_); }
  // The names of `node`'s folders from the root.
  const std::vector<std::string>& PathOf(const FolderNode* node);

  const Catalogue& catalogue_;
  const SaveRequest& request_;
  const RowSelection& selection_;
  SaveObserver& observer_;
  std::stop_token stop_;
  SaveSummary summary_;
  std::unique_ptr<BkfReader> bkf_;
  std::uint64_t bkfSize_ = 0;
  std::optional<FileDataReader> reader_;
  std::unique_ptr<SaveTarget> ownTarget_;
  SaveTarget* target_ = nullptr;
  FolderNode root_;
  const FolderNode* pathNode_ = nullptr;
  std::vector<std::string> path_;
  std::string stopReason_;  // the destination refuses every file, for this reason
  JobProgress progress_;  // bytes of file data, files
};

void Saver::Failed(const Job& job, std::string reason, int error, std::optional<FileVerdict> verdict) {
  ++summary_.failed;
  if (RefusesEveryFile(error)) stopReason_ = texts::DestinationRefuses(Reason(error));
  observer_.OnFileDone({job.row, job.path, {}, verdict, reason});
  summary_.problems.push_back({job.row, job.path, {}, std::nullopt, std::move(reason)});
}

void Saver::Count(const Job& job, FileDataResult result, const std::filesystem::path& file) {
  observer_.OnFileDone({job.row, job.path, file, result.verdict, result.reason});
  summary_.Add(result.verdict);
  if (result.verdict == FileVerdict::kVerified || result.verdict == FileVerdict::kUnchecked) return;
  summary_.problems.push_back({job.row, job.path, file, result.verdict, std::move(result.reason)});
}

const std::vector<std::string>& Saver::PathOf(const FolderNode* node) {
  if (node != pathNode_) {
    path_.clear();
    for (const FolderNode* at = node; at != &root_; at = at->parent) path_.push_back(at->name);
    std::reverse(path_.begin(), path_.end());
    pathNode_ = node;
  }
  return path_;
}

// A top folder is new, never merged into anything that is already there; a
// folder below it, or any folder of a layout without top folders, is used
// as it is when it exists.
FolderNode* Saver::Child(FolderNode& parent, std::u16string_view key, bool top, std::string& problem,
                         int& error) {
  auto& child = parent.children[std::u16string(key)];
  if (child) return child.get();
  const std::string base = SafeName(top ? request_.prefix + std::u16string(key) : std::u16string(key));
  const std::vector<std::string> parentPath = PathOf(&parent);
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? base : NumberedFolderName(base, n);
    if (target_->MakeFolder(parentPath, name, top, error)) {
      child = std::make_unique<FolderNode>(FolderNode{name, &parent, {}, {}});
      if (top) summary_.folders.push_back(target_->Where(parentPath, name));
      return child.get();
    }
    if (error != EEXIST && error != ENOTDIR && error != ELOOP) {
      problem = texts::FolderNotMade(name, Reason(error));
      // What the destination itself refuses, it refuses for every file.
      if (&parent == &root_) stopReason_ = texts::DestinationRefuses(Reason(error));
      parent.children.erase(std::u16string(key));
      return nullptr;
    }
  }
}

FolderNode* Saver::FolderFor(std::span<const std::u16string_view> chain, std::string& problem, int& error) {
  const bool tops = request_.layout.stripFolders == 0 && !request_.layout.flat;
  FolderNode* node = &root_;
  for (std::size_t level = 0; node != nullptr && level < chain.size(); ++level) {
    node = Child(*node, chain[level], tops && level == 0, problem, error);
  }
  return node;
}

// The folders a file of catalogue path `parts` lies in, by the layout.
std::span<const std::u16string_view> Chain(std::span<const std::u16string_view> parts, const SaveLayout& layout) {
  static constexpr std::u16string_view kNoName;
  if (layout.flat) return {};
  // A path of one component is a file of a top folder of no name.
  if (parts.size() == 1 && layout.stripFolders <= 0) return std::span(&kNoName, 1);
  const auto folders = parts.first(parts.size() - 1);
  return folders.subspan(std::min<std::size_t>(folders.size(), static_cast<std::size_t>(std::max(0, layout.stripFolders))));
}

void Saver::Save(const Job& job) {
  if (!stopReason_.empty()) {
    ++summary_.failed, ++summary_.notTried;
    return;
  }
  if (const auto invalid = RowDataProblem(job, bkfSize_)) {
    return Failed(job, texts::Skipped(*invalid), 0, FileVerdict::kSkipped);
  }
  const auto parts = Components(job.path);
  std::string problem;
  int error = 0;
  FolderNode* folder = FolderFor(Chain(parts, request_.layout), problem, error);
  if (folder == nullptr) return Failed(job, problem, error);
  const std::vector<std::string> folderPath = PathOf(folder);

  const std::string base = SafeName(parts.back());
  int& next = folder->nextNumber[base];
  std::string name;
  std::unique_ptr<TargetFile> file;
  for (int n = std::max(next, 1); !file; ++n) {
    name = n == 1 ? base : NumberedFileName(base, n);
    file = target_->CreateFile(folderPath, name, {job.modified, job.accessed, job.created}, error);
    if (!file && error != EEXIST) return Failed(job, texts::FileNotCreated(name, Reason(error)), error);
    next = n + 1;
  }

  FileDataResult result;
  if (target_->WantsData()) {
    result = reader_->Read(static_cast<std::uint64_t>(job.offset), static_cast<std::uint64_t>(job.size), *file);
  }
  if (result.cancelled || result.writeError != 0) {
    file->Discard();
    if (result.cancelled) {
      summary_.cancelled = true;
      return;
    }
    return Failed(job, texts::WriteFailed(name, Reason(result.writeError)), result.writeError);
  }
  if (!file->Keep(error)) {
    return Failed(job, texts::WriteFailed(name, Reason(error)), error);
  }
  Count(job, std::move(result), target_->Where(folderPath, name));
}

// The row's data read and checked, as the save reads it, into nowhere.
void Saver::Verify(const Job& job) {
  if (const auto invalid = RowDataProblem(job, bkfSize_)) {
    FileDataResult skipped;
    skipped.verdict = FileVerdict::kSkipped;
    skipped.reason = *invalid;
    return Count(job, std::move(skipped), {});
  }
  DiscardingSink nowhere;
  FileDataResult result =
      reader_->Read(static_cast<std::uint64_t>(job.offset), static_cast<std::uint64_t>(job.size), nowhere);
  if (result.cancelled) {
    summary_.cancelled = true;
    return;
  }
  Count(job, std::move(result), {});
}

bool Saver::OpenTarget() {
  target_ = request_.target;
  if (target_ != nullptr) return true;
  int error = 0;
  ownTarget_ = MakeFolderTarget(request_.destination, error);
  if (!ownTarget_) {
    summary_.fatalError = texts::DestinationNotOpened(Reason(error));
    return false;
  }
  target_ = ownTarget_.get();
  return true;
}

SaveSummary Saver::Run() {
  if (!Verifying() && !OpenTarget()) return summary_;
  bkf_ = request_.opener(request_.bkfPath);
  if (!bkf_) {
    summary_.bkfUnreadable = true;
    summary_.fatalError = BkfOpenProblem(request_.bkfPath);
    return summary_;
  }
  bkfSize_ = bkf_->GetSize();
  reader_.emplace(*bkf_, stop_, [this](std::uint64_t bytes) {
    progress_.done += bytes;
    Progress();
  });
  const CheckedTotals totals = CountSelectedRows(catalogue_, selection_, bkfSize_);
  progress_.filesTotal = totals.files;
  progress_.total = totals.bytes;
  Progress();
  ForEachSelectedRow(catalogue_, selection_, [&](const Job& job) {
    if (stop_.stop_requested()) summary_.cancelled = true;
    if (summary_.cancelled) return false;
    Verifying() ? Verify(job) : Save(job);
    if (summary_.cancelled) return false;
    ++progress_.files;
    Progress();
    return true;
  });
  // A verification stopped after its last file says so all the same.
  if (Verifying() && stop_.stop_requested()) summary_.cancelled = true;
  if (summary_.notTried > 0) {
    summary_.problems.push_back({-1, {}, {}, std::nullopt, texts::NotTried(summary_.notTried, stopReason_)});
  }
  return summary_;
}

}  // namespace

void SaveSummary::Add(FileVerdict verdict, std::uint64_t files) {
  switch (verdict) {
    case FileVerdict::kVerified: verified += files, saved += files; return;
    case FileVerdict::kUnchecked: unchecked += files, saved += files; return;
    case FileVerdict::kDamaged: damaged += files; return;
    case FileVerdict::kIncomplete: incomplete += files; return;
    case FileVerdict::kStoredEncrypted: storedEncrypted += files; return;
    case FileVerdict::kStoredCompressed: storedCompressed += files; return;
    case FileVerdict::kSkipped: failed += files; return;
  }
}

std::uint64_t SaveSummary::Count(FileVerdict verdict) const {
  switch (verdict) {
    case FileVerdict::kVerified: return verified;
    case FileVerdict::kUnchecked: return unchecked;
    case FileVerdict::kDamaged: return damaged;
    case FileVerdict::kIncomplete: return incomplete;
    case FileVerdict::kStoredEncrypted: return storedEncrypted;
    case FileVerdict::kStoredCompressed: return storedCompressed;
    case FileVerdict::kSkipped: return failed;
  }
  return 0;
}

SaveSummary SaveRows(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection,
                     SaveObserver& observer, std::stop_token stop) {
  return Saver(catalogue, request, selection, observer, std::move(stop)).Run();
}

std::u16string SaveSummaryText(const SaveSummary& summary) {
  if (!summary.fatalError.empty()) return Utf16FromBytes(summary.fatalError);
  const auto count = [](std::uint64_t n) { return std::to_string(n); };
  std::string text = count(summary.saved) + " file(s) saved (" + count(summary.verified) + " verified, " +
                     count(summary.unchecked) + " unchecked), " + count(summary.damaged) + " damaged, " +
                     count(summary.storedEncrypted) + " stored encrypted, " + count(summary.storedCompressed) +
                     " stored compressed, " + count(summary.incomplete) + " incomplete, " +
                     count(summary.failed) + " failed.";
  if (summary.cancelled) text += texts::kSaveCancelled;
  std::u16string out = Utf16FromBytes(text);
  for (const FileReport& problem : summary.problems) {
    out += u"\n";
    out += problem.row < 0 ? Utf16FromBytes(problem.reason) : FileReportLine(problem.path, problem.verdict, problem.reason);
  }
  return out;
}

std::string VerifySummaryText(const SaveSummary& summary) {
  std::string text = std::to_string(summary.Attempted()) + " file(s): ";
  constexpr std::array kOrder = {FileVerdict::kVerified,        FileVerdict::kDamaged,
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

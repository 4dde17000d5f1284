#include "browser/file_extraction.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <unordered_map>

#include "browser/safe_names.h"
#include "browser/save_folder.h"
#include "catalog/number_text.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;
// Large enough to copy at full speed, small enough to notice a cancel.
constexpr std::uint64_t kSystemCopyChunk = std::uint64_t{64} << 20;

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
  std::string name;  // on disk, in its parent
  std::unordered_map<std::u16string, std::unique_ptr<FolderNode>> children;
  // For each name that files of this folder came to, the number that the
  // next one tries first: the n-th file of one name costs one attempt, not n.
  std::unordered_map<std::string, int> nextNumber;
};

struct Job {
  RowIndex row;
  std::u16string path;
  std::int64_t size;
  std::int64_t offset;
  FileTime modified;
  FileTime accessed;
};

struct CopyOutcome {
  std::uint64_t copied = 0;
  int writeError = 0;
  bool cancelled = false;
};

class Saver {
 public:
  Saver(const Catalogue& catalogue, const SaveRequest& request, SaveObserver& observer,
        const std::atomic<bool>& cancel)
      : catalogue_(catalogue), request_(request), observer_(observer), cancel_(cancel) {}

  SaveSummary Run();

 private:
  Job JobFor(RowIndex row) const;
  // The size of a job's data that the BKF file holds, or why it cannot be saved.
  std::optional<std::string> Check(const Job& job) const;
  std::uint64_t Available(const Job& job) const;
  void Save(const Job& job);
  // The open folder for a row's folder chain, created where needed.
  SaveFolder* FolderFor(std::u16string_view top, std::span<const std::u16string_view> chain,
                        std::string& problem);
  FolderNode* TopFolder(std::u16string_view key, std::string& problem);
  CopyOutcome Copy(const Job& job, std::uint64_t count, SavedFile& file);
  void Problem(const Job& job, std::string reason, bool incomplete);
  void Progress() {
    observer_.OnSaveProgress(filesDone_, filesTotal_, bytesDone_, bytesTotal_);
  }

  const Catalogue& catalogue_;
  const SaveRequest& request_;
  SaveObserver& observer_;
  const std::atomic<bool>& cancel_;
  SaveSummary summary_;
  std::unique_ptr<BkfReader> bkf_;
  std::uint64_t bkfSize_ = 0;
  SaveFolder destination_;
  std::unordered_map<std::u16string, std::unique_ptr<FolderNode>> tops_;
  FolderNode* currentNode_ = nullptr;
  SaveFolder currentFolder_;
  std::vector<std::byte> buffer_;
  std::uint64_t filesDone_ = 0, filesTotal_ = 0, bytesDone_ = 0, bytesTotal_ = 0;
};

Job Saver::JobFor(RowIndex row) const {
  const auto cell = [&](int index) { return catalogue_.GetCatalogueCell(row, index); };
  return {row, cell(kCellPath), ParseInt64(cell(kCellSize)), ParseInt64(cell(kCellOffset)),
          JoinFileTime(cell(kCellModifiedLow), cell(kCellModifiedHigh)),
          JoinFileTime(cell(kCellAccessedLow), cell(kCellAccessedHigh))};
}

std::optional<std::string> Saver::Check(const Job& job) const {
  if (job.size < 0) return "the file size " + std::to_string(job.size) + " is not valid";
  if (job.offset < 0) return "the data offset " + std::to_string(job.offset) + " is not valid";
  if (job.size > std::numeric_limits<std::int64_t>::max() - job.offset) {
    return "the file size " + std::to_string(job.size) + " is not valid";
  }
  if (static_cast<std::uint64_t>(job.offset) > bkfSize_) {
    return "the data offset " + std::to_string(job.offset) + " lies past the end of the BKF file";
  }
  return std::nullopt;
}

std::uint64_t Saver::Available(const Job& job) const {
  return std::min(static_cast<std::uint64_t>(job.size), bkfSize_ - static_cast<std::uint64_t>(job.offset));
}

void Saver::Problem(const Job& job, std::string reason, bool incomplete) {
  ++(incomplete ? summary_.incomplete : summary_.failed);
  summary_.problems.push_back({job.row, job.path, std::move(reason)});
}

FolderNode* Saver::TopFolder(std::u16string_view key, std::string& problem) {
  auto& top = tops_[std::u16string(key)];
  if (top) return top.get();
  // Never merge into anything that is already there.
  const std::string base = SafeName(request_.prefix + std::u16string(key));
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? base : NumberedFolderName(base, n);
    int error = 0;
    if (destination_.CreateFolder(name, error).IsOpen()) {
      top = std::make_unique<FolderNode>(FolderNode{name, {}, {}});
      summary_.folders.push_back(request_.destination / name);
      return top.get();
    }
    if (error != EEXIST) {
      problem = "the folder " + name + " could not be made: " + Reason(error);
      tops_.erase(std::u16string(key));
      return nullptr;
    }
  }
}

SaveFolder* Saver::FolderFor(std::u16string_view top, std::span<const std::u16string_view> chain,
                             std::string& problem) {
  FolderNode* node = TopFolder(top, problem);
  if (node == nullptr) return nullptr;
  // Most rows share the folder of the row before.
  FolderNode* target = node;
  for (const auto component : chain) {
    const auto found = target->children.find(std::u16string(component));
    if (found == target->children.end()) {
      target = nullptr;
      break;
    }
    target = found->second.get();
  }
  if (target != nullptr && target == currentNode_) return &currentFolder_;

  currentNode_ = nullptr;
  int error = 0;
  SaveFolder folder = destination_.OpenFolder(node->name, error);
  for (std::size_t level = 0; folder.IsOpen() && level < chain.size(); ++level) {
    auto& child = node->children[std::u16string(chain[level])];
    if (!child) {
      const std::string base = SafeName(chain[level]);
      for (int n = 1; !child; ++n) {
        const std::string name = n == 1 ? base : NumberedFolderName(base, n);
        if (folder.CreateFolder(name, error).IsOpen() ||
            (error == EEXIST && folder.OpenFolder(name, error).IsOpen())) {
          child = std::make_unique<FolderNode>(FolderNode{name, {}, {}});
        } else if (error != EEXIST && error != ENOTDIR && error != ELOOP) {
          problem = "the folder " + name + " could not be made: " + Reason(error);
          node->children.erase(std::u16string(chain[level]));
          return nullptr;
        }
      }
    }
    node = child.get();
    folder = folder.OpenFolder(node->name, error);
  }
  if (!folder.IsOpen()) {
    problem = "a folder of this file could not be opened: " + Reason(error);
    return nullptr;
  }
  currentNode_ = node;
  currentFolder_ = std::move(folder);
  return &currentFolder_;
}

CopyOutcome Saver::Copy(const Job& job, std::uint64_t count, SavedFile& file) {
  CopyOutcome outcome;
  const auto offset = static_cast<std::uint64_t>(job.offset);
  while (outcome.copied < count) {
    if (cancel_) return {outcome.copied, 0, true};
    const std::uint64_t step =
        bkf_->CopyToFile(offset + outcome.copied, std::min(kSystemCopyChunk, count - outcome.copied),
                         file.Descriptor());
    outcome.copied += step;
    bytesDone_ += step;
    Progress();
    if (step == 0) break;
  }
  // Whatever the system could not copy is read and written here, which also
  // tells a read failure from a write failure.
  while (outcome.copied < count) {
    if (cancel_) return {outcome.copied, 0, true};
    if (buffer_.empty()) buffer_.resize(kCopyChunk);
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, count - outcome.copied));
    const std::size_t got = std::min(want, bkf_->ReadAt(offset + outcome.copied, std::span(buffer_).first(want)));
    if (got > 0 && !file.Write(std::span(buffer_).first(got), outcome.writeError)) return outcome;
    outcome.copied += got;
    bytesDone_ += got;
    Progress();
    if (got < want) break;
  }
  return outcome;
}

void Saver::Save(const Job& job) {
  if (const auto invalid = Check(job)) return Problem(job, *invalid + "; the file was skipped", false);
  const auto parts = Components(job.path);
  const bool hasFolders = parts.size() > 1;
  std::string problem;
  SaveFolder* folder = FolderFor(hasFolders ? parts.front() : std::u16string_view{},
                                 std::span(parts).subspan(hasFolders ? 1 : 0, parts.size() - (hasFolders ? 2 : 1)),
                                 problem);
  if (folder == nullptr) return Problem(job, problem, false);

  const std::string base = SafeName(parts.back());
  int& next = currentNode_->nextNumber[base];
  std::string name;
  SavedFile file;
  int error = 0;
  for (int n = std::max(next, 1); !file.IsOpen(); ++n) {
    name = n == 1 ? base : NumberedFileName(base, n);
    file = folder->CreateFile(name, error);
    if (!file.IsOpen() && error != EEXIST) {
      return Problem(job, "the file " + name + " could not be created: " + Reason(error), false);
    }
    next = n + 1;
  }

  const std::uint64_t size = static_cast<std::uint64_t>(job.size);
  const std::uint64_t available = Available(job);
  const CopyOutcome copied = Copy(job, available, file);
  if (copied.cancelled || copied.writeError != 0) {
    file = SavedFile();
    folder->RemoveFile(name);
    if (copied.cancelled) {
      summary_.cancelled = true;
      return;
    }
    return Problem(job, "writing " + name + " failed: " + Reason(copied.writeError), false);
  }
  file.SetTimes(job.modified, job.accessed);
  if (!file.Close(error)) {
    folder->RemoveFile(name);
    return Problem(job, "writing " + name + " failed: " + Reason(error), false);
  }
  if (copied.copied == size) {
    ++summary_.saved;
  } else if (copied.copied == available) {
    Problem(job, "the BKF file ends before this file does: " + std::to_string(copied.copied) + " of " +
                     std::to_string(size) + " bytes saved", true);
  } else {
    Problem(job, "the BKF file could not be read past " + std::to_string(copied.copied) + " of " +
                     std::to_string(size) + " bytes; the bytes read were saved", true);
  }
}

SaveSummary Saver::Run() {
  int error = 0;
  destination_ = SaveFolder::OpenDestination(request_.destination, error);
  if (!destination_.IsOpen()) {
    summary_.fatalError = "The destination folder cannot be opened: " + Reason(error);
    return summary_;
  }
  bkf_ = request_.opener(request_.bkfPath);
  if (!bkf_) {
    summary_.bkfUnreadable = true;
    summary_.fatalError = "The BKF file " + Utf8ForDisplay(Utf16FromPath(request_.bkfPath)) +
                          " cannot be opened. Make sure that it exists and is not in use.";
    return summary_;
  }
  bkfSize_ = bkf_->GetSize();

  // Two walks over the rows rather than a list of them: a catalogue may hold
  // millions. The first only counts, for the progress.
  const RowIndex rows = catalogue_.CatalogueRowCount();
  for (RowIndex row = 0; row < rows; ++row) {
    if (!catalogue_.IsRowChecked(row)) continue;
    ++filesTotal_;
    const Job job = JobFor(row);
    if (!Check(job)) bytesTotal_ += Available(job);
  }
  Progress();
  for (RowIndex row = 0; row < rows && !summary_.cancelled; ++row) {
    if (!catalogue_.IsRowChecked(row)) continue;
    if (cancel_) {
      summary_.cancelled = true;
      break;
    }
    Save(JobFor(row));
    if (summary_.cancelled) break;
    ++filesDone_;
    Progress();
  }
  return summary_;
}

}  // namespace

SaveSummary SaveCheckedFiles(const Catalogue& catalogue, const SaveRequest& request,
                             SaveObserver& observer, const std::atomic<bool>& cancel) {
  return Saver(catalogue, request, observer, cancel).Run();
}

std::u16string SaveSummaryText(const SaveSummary& summary) {
  if (!summary.fatalError.empty()) return Utf16FromBytes(summary.fatalError);
  std::string text = std::to_string(summary.saved) + " file(s) saved, " +
                     std::to_string(summary.incomplete) + " incomplete, " +
                     std::to_string(summary.failed) + " failed.";
  if (summary.cancelled) text += " The save was cancelled.";
  std::u16string out = Utf16FromBytes(text);
  for (const SaveProblem& problem : summary.problems) {
    out += u"\n";
    out += problem.path;
    out += u": ";
    out += Utf16FromBytes(problem.reason);
  }
  return out;
}

}  // namespace tallowin

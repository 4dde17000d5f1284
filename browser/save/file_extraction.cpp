#include "browser/save/file_extraction.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <unordered_map>

#include "browser/save/checked_rows.h"
#include "browser/save/safe_names.h"
#include "browser/save/save_folder.h"
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
  std::string name;  // on disk, in its parent
  std::filesystem::path where;  // the whole path on disk
  std::unordered_map<std::u16string, std::unique_ptr<FolderNode>> children;
  // For each name that files of this folder came to, the number that the
  // next one tries first: the n-th file of one name costs one attempt, not n.
  std::unordered_map<std::string, int> nextNumber;
};

using Job = RowData;

// The file being saved, as the place where a row's data goes.
class SavedFileSink final : public FileDataSink {
 public:
  explicit SavedFileSink(SavedFile& file) : file_(file) {}
  bool Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) override {
    return file_.WriteAt(at, bytes, error);
  }
  std::uint64_t CopyFrom(BkfReader& bkf, std::uint64_t from, std::uint64_t count) override {
    return bkf.CopyToFile(from, count, file_.Descriptor());
  }
  bool SetSize(std::uint64_t size, int& error) override { return file_.Extend(size, error); }

 private:
  SavedFile& file_;
};

class Saver {
 public:
  Saver(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection, SaveLayout layout,
        SaveObserver& observer, const std::atomic<bool>& cancel)
      : catalogue_(catalogue),
        request_(request),
        selection_(selection),
        layout_(layout),
        observer_(observer),
        cancel_(cancel) {}

  SaveSummary Run();

 private:
  void Save(const Job& job);
  void Count(const Job& job, FileDataResult result, const std::filesystem::path& file);
  // The open folder that a row's file goes into, as the layout says.
  SaveFolder* FolderOf(std::span<const std::u16string_view> parts, std::string& problem);
  // The open folder for a row's folder chain, created where needed.
  SaveFolder* FolderFor(std::u16string_view top, std::span<const std::u16string_view> chain,
                        std::string& problem);
  FolderNode* TopFolder(std::u16string_view key, std::string& problem);
  // `verdict`: kSkipped when the row's data cannot be read at all, nothing
  // when the destination refused the file.
  void Failed(const Job& job, std::string reason, std::optional<FileVerdict> verdict = std::nullopt);
  void Progress() {
    observer_.OnSaveProgress(filesDone_, filesTotal_, bytesDone_, bytesTotal_);
  }

  const Catalogue& catalogue_;
  const SaveRequest& request_;
  const RowSelection& selection_;
  SaveLayout layout_;
  SaveObserver& observer_;
  const std::atomic<bool>& cancel_;
  SaveSummary summary_;
  std::unique_ptr<BkfReader> bkf_;
  std::uint64_t bkfSize_ = 0;
  std::optional<FileDataReader> reader_;
  SaveFolder destination_;
  std::unordered_map<std::u16string, std::unique_ptr<FolderNode>> tops_;
  FolderNode flat_;  // the destination itself, in the flat layout
  FolderNode* currentNode_ = nullptr;
  SaveFolder currentFolder_;
  std::uint64_t filesDone_ = 0, filesTotal_ = 0, bytesDone_ = 0, bytesTotal_ = 0;
};

void Saver::Failed(const Job& job, std::string reason, std::optional<FileVerdict> verdict) {
  ++summary_.failed;
  observer_.OnFileSaved({job.row, {}, verdict, reason});
  summary_.problems.push_back({job.row, job.path, std::move(reason), std::nullopt});
}

void Saver::Count(const Job& job, FileDataResult result, const std::filesystem::path& file) {
  observer_.OnFileSaved({job.row, file, result.verdict, result.reason});
  switch (result.verdict) {
    case FileVerdict::kVerified: ++summary_.verified, ++summary_.saved; return;
    case FileVerdict::kUnchecked: ++summary_.unchecked, ++summary_.saved; return;
    case FileVerdict::kDamaged: ++summary_.damaged; break;
    case FileVerdict::kIncomplete: ++summary_.incomplete; break;
    case FileVerdict::kStoredEncrypted: ++summary_.storedEncrypted; break;
    case FileVerdict::kStoredCompressed: ++summary_.storedCompressed; break;
    case FileVerdict::kSkipped: ++summary_.failed; break;
  }
  summary_.problems.push_back({job.row, job.path, std::move(result.reason), result.verdict});
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
      top = std::make_unique<FolderNode>(FolderNode{name, request_.destination / name, {}, {}});
      summary_.folders.push_back(top->where);
      return top.get();
    }
    if (error != EEXIST) {
      problem = texts::FolderNotMade(name, Reason(error));
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
          child = std::make_unique<FolderNode>(FolderNode{name, node->where / name, {}, {}});
        } else if (error != EEXIST && error != ENOTDIR && error != ELOOP) {
          problem = texts::FolderNotMade(name, Reason(error));
          node->children.erase(std::u16string(chain[level]));
          return nullptr;
        }
      }
    }
    node = child.get();
    folder = folder.OpenFolder(node->name, error);
  }
  if (!folder.IsOpen()) {
    problem = texts::FolderNotOpened(Reason(error));
    return nullptr;
  }
  currentNode_ = node;
  currentFolder_ = std::move(folder);
  return &currentFolder_;
}

void Saver::Save(const Job& job) {
  if (const auto invalid = RowDataProblem(job, bkfSize_)) {
    return Failed(job, texts::Skipped(*invalid), FileVerdict::kSkipped);
  }
  const auto parts = Components(job.path);
  std::string problem;
  SaveFolder* folder = FolderOf(parts, problem);
  if (folder == nullptr) return Failed(job, problem);

  // Written under a hidden name and given its own only when complete, with
  // its times: a save killed midway never leaves a short file that looks saved.
  const std::string base = SafeName(parts.back());
  std::string part;
  SavedFile file;
  int error = 0;
  for (int n = 1; !file.IsOpen(); ++n) {
    part = PartName(base, n);
    file = folder->CreateFile(part, error);
    if (!file.IsOpen() && error != EEXIST) return Failed(job, texts::FileNotCreated(base, Reason(error)));
  }
  const auto discard = [&](std::string reason) {
    file = SavedFile();
    folder->RemoveFile(part);
    Failed(job, std::move(reason));
  };

  SavedFileSink sink(file);
  FileDataResult result =
      reader_->Read(static_cast<std::uint64_t>(job.offset), static_cast<std::uint64_t>(job.size), sink);
  if (result.cancelled) {
    file = SavedFile();
    folder->RemoveFile(part);
    summary_.cancelled = true;
    return;
  }
  if (result.writeError != 0) return discard(texts::WriteFailed(base, Reason(result.writeError)));
  file.SetTimes(job.modified, job.accessed);
  if (!file.Close(error)) return discard(texts::WriteFailed(base, Reason(error)));

  // The n-th file of one name costs one attempt, not n.
  int& next = currentNode_->nextNumber[base];
  for (int n = std::max(next, 1);; ++n) {
    const std::string name = n == 1 ? base : NumberedFileName(base, n);
    if (folder->RenameFile(part, name, error)) {
      next = n + 1;
      Count(job, std::move(result), currentNode_->where / name);
      return;
    }
    if (error != EEXIST) return discard(texts::FileNotCreated(name, Reason(error)));
  }
}

SaveFolder* Saver::FolderOf(std::span<const std::u16string_view> parts, std::string& problem) {
  if (layout_ == SaveLayout::kFlat) {
    currentNode_ = &flat_;
    return &destination_;
  }
  const bool hasFolders = parts.size() > 1;
  return FolderFor(hasFolders ? parts.front() : std::u16string_view{},
                   parts.subspan(hasFolders ? 1 : 0, parts.size() - (hasFolders ? 2 : 1)), problem);
}

SaveSummary Saver::Run() {
  int error = 0;
  destination_ = SaveFolder::OpenDestination(request_.destination, error);
  if (!destination_.IsOpen()) {
    summary_.fatalError = texts::DestinationNotOpened(Reason(error));
    return summary_;
  }
  bkf_ = request_.opener(request_.bkfPath);
  if (!bkf_) {
    summary_.bkfUnreadable = true;
    summary_.fatalError = BkfOpenProblem(request_.bkfPath);
    return summary_;
  }
  bkfSize_ = bkf_->GetSize();
  reader_.emplace(*bkf_, cancel_, [this](std::uint64_t bytes) {
    bytesDone_ += bytes;
    Progress();
  });
  flat_.where = request_.destination;
  const CheckedTotals totals = CountSelectedRows(catalogue_, selection_, bkfSize_);
  filesTotal_ = totals.files;
  bytesTotal_ = totals.bytes;
  Progress();
  ForEachSelectedRow(catalogue_, selection_, [&](const Job& job) {
    if (cancel_) summary_.cancelled = true;
    if (summary_.cancelled) return false;
    Save(job);
    if (summary_.cancelled) return false;
    ++filesDone_;
    Progress();
    return true;
  });
  return summary_;
}

}  // namespace

SaveSummary SaveRows(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection,
                     SaveLayout layout, SaveObserver& observer, const std::atomic<bool>& cancel) {
  return Saver(catalogue, request, selection, layout, observer, cancel).Run();
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
  for (const SaveProblem& problem : summary.problems) {
    out += u"\n";
    out += FileReportLine(problem.path, problem.verdict, problem.reason);
  }
  return out;
}

}  // namespace tallowin

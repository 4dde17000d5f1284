#include "cli/commands.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "save/save_rows.h"
#include "engine/snapshot_bkf_check.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "cli/archive_target.h"
#include "cli/cli_texts.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/stoppable_job.h"
#include "cli/row_output.h"
#include "cli/set_summary.h"
#include "cli/source.h"
#include "cli/stream_targets.h"
#include "cli/terminal_progress.h"
#include "common/desktop_file_types.h"

namespace tallowin::cli {
namespace {

namespace fs = std::filesystem;

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The exit code of work that did what it could but left something out:
// the worse of the two, 130 and 2 above 4, and 4 above 3.
int Worse(int code, int other) {
  const auto rank = [](int c) {
    switch (c) {
      case kExitSuccess: return 0;
      case kExitNoData: return 1;
      case kExitIncomplete: return 2;
      case kExitUsage: return 3;
      case kExitSourceUnreadable: return 4;
      default: return 5;
    }
  };
  return rank(other) > rank(code) ? other : code;
}

// The chosen rows checked, the others not. Every path or pattern that
// chose nothing is named; the exit code says whether that leaves anything.
struct Chosen {
  int exitCode = kExitSuccess;  // kExitNoData when a path or pattern found nothing
  bool any = false;
};

Chosen ChooseRows(Catalogue& catalogue, const Options& options) {
  Selection selection = options.selection;
  if (options.filesFrom) {
    std::string reason;
    if (!ReadPathList(*options.filesFrom, selection.paths, reason)) {
      ReportProblem(PathFromUtf8(*options.filesFrom), std::string(texts::kCannotRead) + reason);
      return {kExitSourceUnreadable, false};
    }
  }
  Chosen chosen;
  const Unchosen unused = CheckChosenRows(catalogue, selection);
  for (const std::string& path : unused.paths) ReportProblem(PathFromUtf8(path), texts::kNotFoundInBackup);
  for (const std::string& pattern : unused.patterns) ReportProblem(PathFromUtf8(pattern), texts::kMatchesNothing);
  if (!unused.paths.empty() || !unused.patterns.empty()) chosen.exitCode = kExitNoData;
  const RowIndex rows = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < rows && !chosen.any; ++row) chosen.any = catalogue.IsRowChecked(row);
  if (!chosen.any) {
    if (chosen.exitCode == kExitSuccess) Report(texts::kNothingChosen);
    chosen.exitCode = kExitNoData;
  }
  return chosen;
}

// The progress of a save or a verification, a few times a second.
class FileProgress : public SaveObserver {
 public:
  FileProgress(bool quiet, std::string verb) : progress_(quiet), verb_(std::move(verb)) {}
  void OnProgress(const JobProgress& progress) override {
    filesDone_ = progress.files;
    filesTotal_ = progress.filesTotal;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    progress_.Show(progress.done, progress.total,
                   std::to_string(progress.files) + " of " + std::to_string(progress.filesTotal) + " file(s) " +
                       verb_);
  }
  void Finish() { progress_.Finish(); }
  std::uint64_t FilesDone() const { return filesDone_; }
  std::uint64_t FilesTotal() const { return filesTotal_; }

 private:
  TerminalProgress progress_;
  std::string verb_;
  std::chrono::steady_clock::time_point lastShown_{};
  std::uint64_t filesDone_ = 0, filesTotal_ = 0;
};

// extract's progress, with a line for each file written: on standard
// error with -v, on standard output for a dry run (that is its result).
class SaveProgress final : public FileProgress {
 public:
  SaveProgress(bool quiet, std::FILE* lines) : FileProgress(quiet, "saved"), lines_(lines) {}
  void OnFileDone(const FileReport& report) override {
    if (lines_ == nullptr || report.file.empty()) return;
    Finish();
    std::fprintf(lines_, "%s\n", Utf8ForDisplay(Utf16FromPath(report.file)).c_str());
  }

 private:
  std::FILE* lines_;
};

// Prints each file's verdict as it comes: every one with --json, otherwise
// those not verified.
class VerifyPrinter final : public SaveObserver {
 public:
  VerifyPrinter(bool json, FileProgress& progress) : json_(json), progress_(progress) {}
  void OnFileDone(const FileReport& check) override {
    if (!json_ && check.verdict == FileVerdict::kVerified) return;
    progress_.Finish();
    Print((json_ ? JsonCheckLine(check) : PlainCheckLine(check)) + '\n');
  }
  void OnProgress(const JobProgress& progress) override { progress_.OnProgress(progress); }

 private:
  bool json_;
  FileProgress& progress_;
};

SourceOptions SourceOptionsOf(const Options& options) {
  return {.quiet = options.quiet, .log = false, .bkfOverride = {}, .meanwhile = {}};
}

// The catalogue that extract and verify read the files of: SOURCE scanned
// or loaded, with --bkf for a moved BKF file. A BKF file named for a moved
// one must hold the snapshot's data, unless the user says otherwise.
LoadedSource LoadForFiles(Catalogue& catalogue, const Options& options) {
  SourceOptions sourceOptions = SourceOptionsOf(options);
  if (options.bkf) {
    if (options.bkf->empty()) return {ReportEmptyPath(), {}, false};
    sourceOptions.bkfOverride = PathFromUtf8(*options.bkf);
  }
  LoadedSource loaded = LoadSource(PathFromUtf8(options.source), catalogue, sourceOptions);
  if (loaded.exitCode != kExitSuccess) return loaded;
  // A partial catalogue is no ground to save or verify from.
  if (loaded.interrupted) return {kExitInterrupted, loaded.bkfPath, loaded.bkfReplaced};
  if (loaded.bkfReplaced && !options.force) {
    const std::unique_ptr<BkfReader> file = OpenBkfFile(PathFromUtf16(loaded.bkfPath));
    if (file && !HoldsCatalogueData(catalogue, *file)) {
      ReportProblem(PathFromUtf16(loaded.bkfPath),
                    std::u16string(tallowin::texts::kWrongBkf) + u" (--force uses it all the same)");
      return {kExitSourceUnreadable, loaded.bkfPath, true};
    }
  }
  return loaded;
}

// Why the BKF file cannot be read, as a message about it.
int BkfUnreadable(const std::u16string& bkfPath) {
  const fs::path path = PathFromUtf16(bkfPath);
  const std::error_code why = WhyBkfNotOpened(path);
  ReportProblem(path, std::string(texts::kCannotRead) +
                          (why ? why.message() : std::string(tallowin::texts::kInUseElsewhere)));
  return kExitSourceUnreadable;
}

// Whether an archive may be written at `out`: never over the BKF file, a
// folder or a device, and over another file only with --force.
bool ArchivePlaceAllowed(const std::string& out, const std::u16string& bkfPath, bool force) {
  if (out == "-") return true;
  const fs::path place = PathFromUtf8(out);
  std::error_code error;
  const fs::file_status there = fs::status(place, error);
  if (!fs::exists(there)) return true;
  std::string_view problem;
  if (fs::equivalent(place, PathFromUtf16(bkfPath), error)) {
    problem = texts::kArchiveIsBkf;
  } else if (!fs::is_regular_file(there)) {
    problem = texts::kArchiveNotRegular;
  } else if (!force) {
    problem = texts::kArchiveExists;
  } else {
    return true;
  }
  ReportProblem(place, std::string(texts::kCannotWrite) + std::string(problem));
  return false;
}

// Says where the activity log went, or that it could not be written there.
void ReportLog(const ActivityLog& log) {
  const std::string path = Utf8ForDisplay(Utf16FromPath(log.Path()));
  std::error_code error;
  if (std::filesystem::is_regular_file(log.Path(), error)) {
    Print(std::string(texts::kLogWrittenTo) + path + '\n');
  } else {
    Report(std::string(texts::kLogNotWritten) + path);
  }
}

// Lists every file that was not saved complete, each once: a reason that
// repeats for a run of files is said for the first and counted.
std::string ProblemLines(const SaveSummary& summary) {
  std::string out;
  std::size_t i = 0;
  while (i < summary.problems.size()) {
    const FileReport& first = summary.problems[i];
    std::size_t same = i + 1;
    while (same < summary.problems.size() && !first.verdict && !summary.problems[same].verdict &&
           summary.problems[same].reason == first.reason && summary.problems[same].row >= 0) {
      ++same;
    }
    out += Utf8ForDisplay(first.row < 0 ? Utf16FromBytes(first.reason)
                                        : FileReportLine(first.path, first.verdict, first.reason)) + '\n';
    if (same - i > 1) out += "  and " + std::to_string(same - i - 1) + " more file(s) for the same reason\n";
    i = same;
  }
  return out;
}

}  // namespace

int RunScan(const Options& options) {
  Catalogue catalogue(DesktopFileType);
  ActivityLog log;
  const LoadedSource loaded =
      ScanBkf(PathFromUtf8(options.source), catalogue, log,
              {.quiet = options.quiet, .log = options.log, .bkfOverride = {}, .meanwhile = {}});
  if (options.log) ReportLog(log);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  const ScanTotals& totals = *loaded.scanned;
  const std::vector<SetSummary> sets = SummariseSets(catalogue, totals.sets);
  if (options.json) {
    Print(ScanJson({.bkfPath = Utf8ForDisplay(loaded.bkfPath),
                    .bkfSize = loaded.bkfSize,
                    .files = static_cast<std::uint64_t>(catalogue.CatalogueRowCount()),
                    .stopped = loaded.interrupted,
                    .stoppedAt = loaded.stoppedAt,
                    .rowsFromSetCatalogue = totals.rowsFromSetCatalogue,
                    .setCatalogueFilesNotFound = totals.setCatalogueFilesNotFound},
                   sets) +
          '\n');
  } else {
    Print(Utf8ForDisplay(tallowin::texts::FilesFoundLabel(static_cast<std::uint64_t>(catalogue.CatalogueRowCount()))) +
          '\n');
    const std::u16string note =
        tallowin::texts::SetCatalogueNote(totals.rowsFromSetCatalogue, totals.setCatalogueFilesNotFound);
    if (!note.empty()) Print(Utf8ForDisplay(note) + '\n');
    Print(SetSummaryText(sets));
  }
  int code = loaded.interrupted ? kExitInterrupted : kExitSuccess;
  if (!options.snapshot) return code;
  // What was found is kept where the user asked, partial or not.
  const SnapshotWriteResult written = WriteSnapshot(PathFromUtf8(*options.snapshot), loaded.bkfPath, catalogue, options.force);
  if (written.ok()) return code;
  const bool forcible = written.target == SnapshotTargetKind::kOtherFile;
  Report(std::string(texts::kSnapshotNotWritten) + written.error +
         (forcible ? std::string(texts::kForceReplaces) : ""));
  return Worse(code, written.status == SnapshotWriteStatus::kRefused ? kExitSourceUnreadable : kExitIncomplete);
}

// Every row, each printed as soon as the scan or the load has made it: the
// rows are made on one core and printed on the other.
int ListAllAsTheyCome(const Options& options) {
  Catalogue catalogue(DesktopFileType);
  const fs::path source = PathFromUtf8(options.source);
  // A source that is no snapshot is scanned, and its rows say where the
  // scan learnt of each file.
  const bool scanned = !LooksLikeSnapshot(source);
  // Rows on the terminal would break into a progress line there.
  SourceOptions sourceOptions = SourceOptionsOf(options);
  sourceOptions.quiet = sourceOptions.quiet || StandardOutputIsTerminal();
  std::string out;
  RowIndex printed = 0;
  const auto printNewRows = [&] {
    for (const RowIndex count = catalogue.CatalogueRowCount(); printed < count; ++printed) {
      out += options.json ? JsonRowLine(catalogue, printed, scanned) : PlainRowLine(catalogue, printed);
      out += '\n';
      if (out.size() >= (1u << 16)) {
        Print(out);
        out.clear();
      }
    }
  };
  sourceOptions.meanwhile = printNewRows;
  const LoadedSource loaded = LoadSource(source, catalogue, sourceOptions);
  printNewRows();
  Print(out);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  return loaded.interrupted ? kExitInterrupted : kExitSuccess;
}

int RunList(const Options& options) {
  if (options.selection.ChoosesAll() && !options.filesFrom) return ListAllAsTheyCome(options);
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadSource(PathFromUtf8(options.source), catalogue, SourceOptionsOf(options));
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  const Chosen chosen = ChooseRows(catalogue, options);
  if (chosen.exitCode == kExitSourceUnreadable) return chosen.exitCode;
  std::string out;
  const RowIndex count = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < count; ++row) {
    if (!catalogue.IsRowChecked(row)) continue;
    out += options.json ? JsonRowLine(catalogue, row, loaded.scanned.has_value()) : PlainRowLine(catalogue, row);
    out += '\n';
    if (out.size() >= (1u << 16)) {
      Print(out);
      out.clear();
    }
  }
  Print(out);
  return Worse(chosen.exitCode, loaded.interrupted ? kExitInterrupted : kExitSuccess);
}

int RunVerify(const Options& options) {
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadForFiles(catalogue, options);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  const Chosen chosen = ChooseRows(catalogue, options);
  if (!chosen.any) return chosen.exitCode;

  FileProgress progress(options.quiet, "checked");
  VerifyPrinter printer(options.json, progress);
  SaveSummary summary;
  RunStoppableJob([&](std::stop_token stop) {
    summary = SaveCheckedFiles(catalogue, VerifyOnlyRequest(PathFromUtf16(loaded.bkfPath)), printer, stop);
  });
  progress.Finish();
  if (!summary.fatalError.empty()) return BkfUnreadable(loaded.bkfPath);
  if (!options.json) Print(VerifySummaryText(summary) + '\n');
  if (summary.cancelled) {
    Report(texts::InterruptedAfter(summary.Attempted(), progress.FilesTotal()));
    return kExitInterrupted;
  }
  return Worse(chosen.exitCode, summary.Complete() ? kExitSuccess : kExitIncomplete);
}

int RunExtract(const Options& options) {
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadForFiles(catalogue, options);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  const Chosen chosen = ChooseRows(catalogue, options);
  if (!chosen.any) return chosen.exitCode;

  std::unique_ptr<SaveTarget> target;
  std::unique_ptr<ArchiveTarget> archive;
  if (options.dryRun) {
    // A dry run fails where the save would.
    std::error_code error;
    if (options.to && !fs::is_directory(PathFromUtf8(*options.to), error)) {
      ReportProblem(PathFromUtf8(*options.to), std::string(texts::kCannotWrite) +
                                     (error ? error.message() : std::generic_category().message(ENOTDIR)));
      return kExitIncomplete;
    }
    target = MakeDryRunTarget(options.to ? std::optional<fs::path>(PathFromUtf8(*options.to)) : std::nullopt);
  } else if (options.toStandardOutput) {
    target = MakeStandardOutputTarget();
  } else if (options.archive) {
    if (!ArchivePlaceAllowed(*options.archive, loaded.bkfPath, options.force)) return kExitSourceUnreadable;
    std::string reason;
    archive = ArchiveTarget::Open(*options.archive, reason);
    if (!archive) {
      ReportProblem(PathFromUtf8(*options.archive), std::string(texts::kCannotWrite) + reason);
      return kExitIncomplete;
    }
  } else if (options.to) {
    int error = 0;
    target = MakeFolderTarget(PathFromUtf8(*options.to), error);
    if (!target) {
      ReportProblem(PathFromUtf8(*options.to), std::string(texts::kCannotWrite) + std::generic_category().message(error));
      return kExitIncomplete;
    }
  }
  SaveTarget& place = archive ? *archive : *target;

  // A dry run's paths are its result; -v's lines are news of the work.
  SaveProgress progress(options.quiet, options.dryRun ? stdout : options.verbose ? stderr : nullptr);
  SaveSummary summary;
  RunStoppableJob([&](std::stop_token stop) {
    summary = SaveCheckedFiles(catalogue,
                               {.bkfPath = PathFromUtf16(loaded.bkfPath),
                                .destination = PathFromUtf8(options.to.value_or(std::string())),
                                .prefix = Utf16FromBytes(options.prefix),
                                .opener = OpenBkfFile,
                                .layout = {.stripFolders = options.stripComponents, .flat = options.flat},
                                .target = &place,
                                .mode = SaveMode::kSave},
                               progress, stop);
  });
  progress.Finish();
  if (!summary.fatalError.empty()) {
    if (archive) archive->Abandon();
    return summary.bkfUnreadable ? BkfUnreadable(loaded.bkfPath) : kExitIncomplete;
  }
  if (summary.cancelled) {
    if (archive) {
      archive->Abandon();
      if (*options.archive != "-") ReportProblem(PathFromUtf8(*options.archive), texts::kArchiveRemoved);
    }
    Report(texts::InterruptedAfter(progress.FilesDone(), progress.FilesTotal()));
  } else if (archive) {
    std::string reason;
    if (!archive->Finish(reason)) {
      ReportProblem(PathFromUtf8(*options.archive), std::string(texts::kCannotWrite) + reason);
      return kExitIncomplete;
    }
  }
  // Standard output holds the files' bytes: the summary goes beside them.
  std::FILE* report = options.toStandardOutput || (options.archive && *options.archive == "-") ? stderr : stdout;
  std::string text;
  if (options.dryRun) {
    text = texts::WouldWrite(summary.Attempted()) + '\n';
  } else {
    SaveSummary counts = summary;
    counts.problems.clear();
    text = Utf8ForDisplay(SaveSummaryText(counts)) + '\n' + ProblemLines(summary);
    if (archive && !summary.cancelled && *options.archive != "-") text += texts::WrittenTo(*options.archive) + '\n';
    if (options.to) {
      for (const auto& folder : summary.folders) {
        text += texts::SavedInto(Utf8ForDisplay(Utf16FromPath(folder))) + '\n';
      }
    }
  }
  std::fwrite(text.data(), 1, text.size(), report);
  if (summary.cancelled) return kExitInterrupted;
  return Worse(chosen.exitCode, summary.Complete() ? kExitSuccess : kExitIncomplete);
}

}  // namespace tallowin::cli

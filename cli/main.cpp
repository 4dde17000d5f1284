// twbkf: the command line of Tallowin for BKF, over the same core as the
// desktop program.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "browser/save/file_extraction.h"
#include "browser/save/file_verification.h"
#include "browser/save/snapshot_bkf_check.h"
#include "catalog/catalogue_search.h"
#include "catalog/program_texts.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/row_output.h"
#include "cli/source.h"
#include "cli/terminal_progress.h"
#include "common/desktop_file_types.h"
#include "common/version_text.h"

namespace tallowin::cli {
namespace {

#ifdef _WIN32
constexpr std::string_view kLogPlace = "%LOCALAPPDATA%\\TwBkf.log";
#else
constexpr std::string_view kLogPlace = "~/TwBkf.log";
#endif

// Says where the activity log went, or that it could not be written there.
void ReportLog(const ActivityLog& log) {
  const std::string path = Utf8ForDisplay(Utf16FromPath(log.Path()));
  std::error_code error;
  if (std::filesystem::is_regular_file(log.Path(), error)) {
    std::printf("%s%s\n", texts::kLogWrittenTo.data(), path.c_str());
  } else {
    std::fprintf(stderr, "twbkf: %s%s\n", texts::kLogNotWritten.data(), path.c_str());
  }
}

int RunScan(const std::string& bkf, const std::optional<std::string>& snapshot, bool writeLog,
            bool force, bool quiet) {
  Catalogue catalogue(DesktopFileType);
  ActivityLog log;
  const LoadedSource loaded = ScanBkf(PathFromUtf8(bkf), catalogue, log, {.quiet = quiet, .log = writeLog, .bkfOverride = {}});
  if (writeLog) ReportLog(log);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  std::printf("%s\n", Utf8ForDisplay(texts::FilesFoundLabel(
                          static_cast<std::uint64_t>(catalogue.CatalogueRowCount())))
                          .c_str());
  const std::u16string note =
      texts::SetCatalogueNote(loaded.scanned->rowsFromSetCatalogue, loaded.scanned->setCatalogueFilesNotFound);
  if (!note.empty()) std::printf("%s\n", Utf8ForDisplay(note).c_str());
  if (!snapshot) return kExitSuccess;
  const SnapshotWriteResult written = WriteSnapshot(PathFromUtf8(*snapshot), loaded.bkfPath, catalogue, force);
  if (written.ok()) return kExitSuccess;
  const bool forcible = written.target == SnapshotTargetKind::kOtherFile;
  std::fprintf(stderr, "twbkf: %s%s%s\n", texts::kSnapshotNotWritten.data(), written.error.c_str(),
               forcible ? texts::kForceReplaces.data() : "");
  return written.status == SnapshotWriteStatus::kRefused ? kExitSourceUnreadable : kExitIncomplete;
}

// Keeps only the rows that match `pattern` checked.
void CheckMatches(Catalogue& catalogue, const std::optional<std::string>& pattern) {
  if (!pattern) return;
  const std::u16string wide = Utf16FromBytes(*pattern);
  const RowIndex count = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < count; ++row) {
    catalogue.SetRowChecked(row, MatchCataloguePath(catalogue.GetCatalogueCell(row, kCellPath), wide));
  }
}

int RunList(const std::string& source, const std::optional<std::string>& pattern, bool json, bool quiet) {
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadSource(PathFromUtf8(source), catalogue, {.quiet = quiet, .log = false, .bkfOverride = {}});
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  CheckMatches(catalogue, pattern);
  std::string out;
  const RowIndex count = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < count; ++row) {
    if (!catalogue.IsRowChecked(row)) continue;
    out += json ? JsonRowLine(catalogue, row, loaded.scanned.has_value()) : PlainRowLine(catalogue, row);
    out += '\n';
    if (out.size() >= (1u << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitSuccess;
}

// The progress of a save or a verification, a few times a second.
class FileProgress final : public SaveObserver, public VerifyObserver {
 public:
  FileProgress(bool quiet, std::string verb) : progress_(quiet), verb_(std::move(verb)) {}
  void OnSaveProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                      std::uint64_t bytesTotal) override {
    Show(filesDone, filesTotal, bytesDone, bytesTotal);
  }
  void OnVerifyProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                        std::uint64_t bytesTotal) override {
    Show(filesDone, filesTotal, bytesDone, bytesTotal);
  }
  void Finish() { progress_.Finish(); }

 private:
  void Show(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    progress_.Show(bytesDone, bytesTotal,
                   std::to_string(filesDone) + " of " + std::to_string(filesTotal) + " file(s) " + verb_);
  }

  TerminalProgress progress_;
  std::string verb_;
  std::chrono::steady_clock::time_point lastShown_{};
};

// Prints each file's verdict as it comes: every one with --json, otherwise
// those not verified.
class VerifyPrinter final : public VerifyObserver {
 public:
  VerifyPrinter(bool json, FileProgress& progress) : json_(json), progress_(progress) {}
  void OnFileChecked(const FileCheck& check) override {
    if (!json_ && check.verdict == FileVerdict::kVerified) return;
    progress_.Finish();
    const std::string line = (json_ ? JsonCheckLine(check) : PlainCheckLine(check)) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  void OnVerifyProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                        std::uint64_t bytesTotal) override {
    progress_.OnVerifyProgress(filesDone, filesTotal, bytesDone, bytesTotal);
  }

 private:
  bool json_;
  FileProgress& progress_;
};

// The catalogue that extract and verify read the files of: SOURCE scanned
// or loaded, with --bkf for a moved BKF file, and the rows of --match checked.
// A BKF file named for a moved one must hold the snapshot's data, unless
// the user says otherwise.
LoadedSource LoadChosenRows(Catalogue& catalogue, const std::string& source, const std::optional<std::string>& pattern,
                            const std::optional<std::string>& bkf, bool force, bool quiet) {
  SourceOptions options{.quiet = quiet, .log = false, .bkfOverride = {}};
  if (bkf) {
    if (bkf->empty()) return {ReportEmptyPath(), {}, false};
    options.bkfOverride = PathFromUtf8(*bkf);
  }
  LoadedSource loaded = LoadSource(PathFromUtf8(source), catalogue, options);
  if (loaded.exitCode != kExitSuccess) return loaded;
  if (loaded.bkfReplaced && !force) {
    const std::unique_ptr<BkfReader> file = OpenBkfFile(PathFromUtf16(loaded.bkfPath));
    if (file && !HoldsCatalogueData(catalogue, *file)) {
      ReportProblem(PathFromUtf16(loaded.bkfPath), std::u16string(texts::kWrongBkf) + u" (--force uses it all the same)");
      return {kExitSourceUnreadable, loaded.bkfPath, true};
    }
  }
  CheckMatches(catalogue, pattern);
  return loaded;
}

int RunVerify(const std::string& source, const std::optional<std::string>& pattern,
              const std::optional<std::string>& bkf, bool json, bool force, bool quiet) {
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadChosenRows(catalogue, source, pattern, bkf, force, quiet);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;

  FileProgress progress(quiet, "checked");
  VerifyPrinter printer(json, progress);
  const VerifySummary summary = VerifyCheckedFiles(
      catalogue, {.bkfPath = PathFromUtf16(loaded.bkfPath), .opener = OpenBkfFile}, printer, InterruptFlag());
  progress.Finish();
  if (!summary.fatalError.empty()) {
    std::fprintf(stderr, "twbkf: %s\n", summary.fatalError.c_str());
    return kExitSourceUnreadable;
  }
  if (!json) std::printf("%s\n", VerifySummaryText(summary).c_str());
  if (summary.cancelled && summary.Files() == 0) return kExitInterrupted;
  return summary.Sound() ? kExitSuccess : kExitIncomplete;
}

int RunExtract(const std::string& source, const std::string& destination, const std::string& prefix,
               const std::optional<std::string>& pattern, const std::optional<std::string>& bkf,
               bool force, bool quiet) {
  Catalogue catalogue(DesktopFileType);
  const LoadedSource loaded = LoadChosenRows(catalogue, source, pattern, bkf, force, quiet);
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;

  FileProgress progress(quiet, "saved");
  const SaveSummary summary = SaveCheckedFiles(
      catalogue, {.bkfPath = PathFromUtf16(loaded.bkfPath), .destination = PathFromUtf8(destination),
                  .prefix = Utf16FromBytes(prefix), .opener = OpenBkfFile},
      progress, InterruptFlag());
  progress.Finish();
  const std::string text = Utf8ForDisplay(SaveSummaryText(summary));
  if (!summary.fatalError.empty()) {
    std::fprintf(stderr, "twbkf: %s\n", text.c_str());
    return summary.bkfUnreadable ? kExitSourceUnreadable : kExitIncomplete;
  }
  std::printf("%s\n", text.c_str());
  for (const auto& folder : summary.folders) {
    std::printf("Saved into %s\n", Utf8ForDisplay(Utf16FromPath(folder)).c_str());
  }
  if (summary.cancelled && summary.saved + summary.incomplete == 0) return kExitInterrupted;
  return summary.Complete() ? kExitSuccess : kExitIncomplete;
}

// The result of a command, unless its output could not be written in full
// (a full disk, a closed pipe): then that is reported and the exit code is 4.
int WithOutputChecked(int exitCode) {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return exitCode;
  const int error = errno != 0 ? errno : EIO;
  std::fprintf(stderr, "twbkf: %s%s\n", texts::kOutputFailed.data(), std::generic_category().message(error).c_str());
  return exitCode == kExitSuccess ? kExitIncomplete : exitCode;
}

int Run(int argc, char** argv) {
  CLI::App app{"twbkf: recovers the files of damaged or truncated BKF backup files", "twbkf"};
  app.require_subcommand(1);
  // On Windows CLI11 would take "/backups/x.bkf" for an option "/backups":
  // options are written the same way everywhere, so a path stays a path.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", tallowin::VersionText("twbkf"), "Print the version and exit");
  app.footer("Home page: <" + std::string(tallowin::kHomePageUrl) + ">\nSee twbkf(1) for the patterns, the layout of saved files and the exit codes.");

  std::string bkf, source, destination, prefix = "Rec";
  std::optional<std::string> snapshot, pattern, bkfOverride;
  bool writeLog = false, quiet = false, json = false, force = false;

  auto* scan = app.add_subcommand("scan", "Scan a BKF file and report the files it still holds");
  scan->add_option("BKF", bkf, "The BKF file")->required();
  scan->add_option("--snapshot", snapshot, "Save the catalogue as a recovery snapshot in FILE")
      ->type_name("FILE");
  scan->add_flag("--force", force, "Let --snapshot replace a file that is not a snapshot");
  scan->add_flag("--log", writeLog, std::string("Write the activity log (") + kLogPlace.data() + "), started afresh");
  scan->add_flag("--quiet", quiet, "No progress on standard error");

  // The source and its rows, and the BKF file of a moved snapshot, as the reading commands take them.
  const auto addSource = [&](CLI::App* command) {
    command->add_option("SOURCE", source, "A BKF file (scanned first) or a snapshot")->required();
    command->add_option("--match", pattern, "Only the files whose catalogue path matches PATTERN")
        ->type_name("PATTERN");
  };
  const auto addMovedBkf = [&](CLI::App* command) {
    command->add_option("--bkf", bkfOverride, "The BKF file, when the snapshot's one has moved")
        ->type_name("PATH");
    command->add_flag("--force", force, "Use the --bkf file even when it does not hold the snapshot's data");
  };

  auto* list = app.add_subcommand("list", "List the files of a BKF file or of a recovery snapshot");
  addSource(list);
  list->add_flag("--json", json, "One JSON object per line");
  list->add_flag("--quiet", quiet, "No progress on standard error");

  auto* extract = app.add_subcommand("extract", "Save the files of a BKF file or of a snapshot");
  addSource(extract);
  extract->add_option("--to", destination, "The folder to save into; a new folder is made in it")
      ->required()
      ->type_name("DIR");
  extract->add_option("--prefix", prefix, "Name prefix of the new folder (default Rec)")->type_name("TEXT");
  addMovedBkf(extract);
  extract->add_flag("--quiet", quiet, "No progress on standard error");

  auto* verify = app.add_subcommand(
      "verify", "Read the files' data as a save would and check it against the checksums the backup stores; "
                "writes nothing");
  addSource(verify);
  addMovedBkf(verify);
  verify->add_flag("--json", json, "One JSON object per line for every file");
  verify->add_flag("--quiet", quiet, "No progress on standard error");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return WithOutputChecked(app.exit(e));
  } catch (const CLI::CallForVersion& e) {
    // The text already ends its last line; app.exit would add another.
    std::fputs(e.what(), stdout);
    return WithOutputChecked(kExitSuccess);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  CatchInterrupt();
  if (scan->parsed()) return WithOutputChecked(RunScan(bkf, snapshot, writeLog, force, quiet));
  if (verify->parsed()) return WithOutputChecked(RunVerify(source, pattern, bkfOverride, json, force, quiet));
  if (extract->parsed()) {
    return WithOutputChecked(RunExtract(source, destination, prefix, pattern, bkfOverride, force, quiet));
  }
  return WithOutputChecked(RunList(source, pattern, json, quiet));
}

}  // namespace
}  // namespace tallowin::cli

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A write beyond the file-size limit fails with its reason instead of
  // killing the program in the middle of a save.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  tallowin::cli::PrepareStandardStreams();
  try {
    std::vector<std::string> arguments = tallowin::cli::CommandLineArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return tallowin::cli::Run(static_cast<int>(arguments.size()), pointers.data());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "twbkf: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "twbkf: %s\n", tallowin::texts::kUnexpectedError.data());
  }
  return tallowin::cli::kExitSourceUnreadable;
}

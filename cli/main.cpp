// twbkf: the command line of Tallowin for BKF, over the same core as the
// desktop program.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "catalog/program_texts.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/row_output.h"
#include "cli/source.h"
#include "shell/mime_file_types.h"

namespace tallowin::cli {
namespace {

int RunScan(const std::string& bkf, const std::optional<std::string>& snapshot, bool writeLog,
            bool quiet) {
  Catalogue catalogue(MimeFileType);
  ActivityLog log;
  const LoadedSource loaded = ScanBkf(bkf, catalogue, log, {.quiet = quiet, .log = writeLog, .bkfOverride = {}});
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  std::printf("%s\n", Utf8ForDisplay(texts::FilesFoundLabel(
                          static_cast<std::uint64_t>(catalogue.CatalogueRowCount())))
                          .c_str());
  if (snapshot) {
    const SnapshotWriteResult written = WriteSnapshot(*snapshot, loaded.bkfPath, catalogue);
    if (!written.ok) {
      std::fprintf(stderr, "twbkf: the snapshot could not be written: %s\n", written.error.c_str());
      return kExitIncomplete;
    }
  }
  return kExitSuccess;
}

int RunList(const std::string& source, bool json, bool quiet) {
  Catalogue catalogue(MimeFileType);
  const LoadedSource loaded = LoadSource(source, catalogue, {.quiet = quiet, .log = false, .bkfOverride = {}});
  if (loaded.exitCode != kExitSuccess) return loaded.exitCode;
  std::string out;
  const RowIndex count = catalogue.CatalogueRowCount();
  for (RowIndex row = 0; row < count; ++row) {
    out += json ? JsonRowLine(catalogue, row) : PlainRowLine(catalogue, row);
    out += '\n';
    if (out.size() >= (1u << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitIncomplete;
}

}  // namespace
}  // namespace tallowin::cli

int main(int argc, char** argv) {
  using namespace tallowin::cli;
  CLI::App app{"twbkf: recovers the files of damaged or truncated BKF backup files", "twbkf"};
  app.require_subcommand(1);

  std::string bkf, source;
  std::optional<std::string> snapshot;
  bool writeLog = false, quiet = false, json = false;

  auto* scan = app.add_subcommand("scan", "Scan a BKF file and report the files it still holds");
  scan->add_option("BKF", bkf, "The BKF file")->required();
  scan->add_option("--snapshot", snapshot, "Save the catalogue as a recovery snapshot in FILE")
      ->type_name("FILE");
  scan->add_flag("--log", writeLog, "Write the activity log (~/TwBkf.log), started afresh");
  scan->add_flag("--quiet", quiet, "No progress on standard error");

  auto* list = app.add_subcommand("list", "List the files of a BKF file or of a recovery snapshot");
  list->add_option("SOURCE", source, "A BKF file (scanned first) or a snapshot")->required();
  list->add_flag("--json", json, "One JSON object per line");
  list->add_flag("--quiet", quiet, "No progress on standard error");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  CatchInterrupt();
  if (scan->parsed()) return RunScan(bkf, snapshot, writeLog, quiet);
  return RunList(source, json, quiet);
}

#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "cli/archive_target.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "common/version_text.h"

namespace tallowin::cli {
namespace {

#ifdef _WIN32
constexpr std::string_view kLogPlace = "%LOCALAPPDATA%\\TwBkf.log";
#else
constexpr std::string_view kLogPlace = "~/TwBkf.log";
#endif

constexpr std::array<std::pair<std::string_view, Command>, 4> kCommands = {{
    {"scan", Command::kScan}, {"list", Command::kList}, {"extract", Command::kExtract}, {"verify", Command::kVerify},
}};

void Usage(const std::string& message) {
  std::fprintf(stderr, "%s%s%s\n", texts::kProgram.data(), message.c_str(), texts::kSeeHelp.data());
}

// The first word that is no option names the command; the program's own
// options take no values, so no value can be mistaken for it.
std::optional<std::string_view> CommandWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--") return i + 1 < argc ? std::optional<std::string_view>(argv[i + 1]) : std::nullopt;
    if (!word.starts_with('-')) return word;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> ParseOptions(int argc, char** argv, Options& o) {
  CLI::App app{"twbkf: recovers the files of damaged or truncated BKF backup files", "twbkf"};
  app.require_subcommand(1);
  // On Windows CLI11 would take "/backups/x.bkf" for an option "/backups":
  // options are written the same way everywhere, so a path stays a path.
  app.allow_windows_style_options(false);
  // Options of the program may follow the command, as options of the command may.
  app.fallthrough();
  app.set_version_flag("--version", tallowin::VersionText("twbkf"), "Print the version and exit");
  app.footer("Home page: <" + std::string(tallowin::kHomePageUrl) +
             ">\nSee twbkf(1) for the patterns, the layout of saved files and the exit codes.");
  app.add_flag("-q,--quiet", o.quiet, "No progress on standard error");
  app.add_flag("-v,--verbose", o.verbose, "extract: one line per file written, on standard error");

  auto* scan = app.add_subcommand("scan", "Scan a BKF file and tell what it holds, data set by data set");
  scan->add_option("BKF", o.source, "The BKF file")->required();
  scan->add_option("--snapshot", o.snapshot, "Save the catalogue as a recovery snapshot in FILE")->type_name("FILE");
  scan->add_flag("--force", o.force, "Let --snapshot replace a file that is not a snapshot");
  scan->add_flag("--log", o.log, std::string("Write the activity log (") + kLogPlace.data() + "), started afresh");
  scan->add_flag("--json", o.json, "The summary as one JSON document");

  // The source and the files chosen, as every reading command takes them.
  const auto addSource = [&](CLI::App* command) {
    command->add_option("SOURCE", o.source, "A BKF file (scanned first) or a recovery snapshot")->required();
    command->add_option("PATH", o.selection.paths, "Only these files, or the files in these folders");
    command->add_option("-T,--files-from", o.filesFrom, "Only the files or folders named in FILE, one a line (- reads standard input)")
        ->type_name("FILE");
    // One value each time, so that the paths after a pattern stay paths.
    command->add_option("--match", o.selection.matches, "Only the files whose catalogue path matches PATTERN (repeatable)")
        ->type_name("PATTERN")
        ->allow_extra_args(false);
    command->add_option("--exclude", o.selection.excludes, "Leave out the files whose catalogue path matches PATTERN (repeatable)")
        ->type_name("PATTERN")
        ->allow_extra_args(false);
    command->add_flag("-i,--ignore-case", o.selection.ignoreCase, "Paths and patterns match regardless of case");
  };
  const auto addMovedBkf = [&](CLI::App* command) {
    command->add_option("--bkf", o.bkf, "The BKF file, when the snapshot's one has moved")->type_name("PATH");
    command->add_flag("--force", o.force, "Use the --bkf file even when it does not hold the snapshot's data; "
                                          "let -o replace an existing file");
  };

  auto* list = app.add_subcommand("list", "List the files of a BKF file or of a recovery snapshot");
  addSource(list);
  list->add_flag("--json", o.json, "One JSON object per line");

  auto* extract = app.add_subcommand("extract", "Save the files of a BKF file or of a snapshot, into a folder or an archive");
  addSource(extract);
  extract->add_option("-C,--to", o.to, "The folder to save into; a new folder is made in it")->type_name("DIR");
  extract->add_option("-o,--archive", o.archive, "Write a tar or zip archive instead (- : a tar stream to standard output)")
      ->type_name("ARCHIVE");
  extract->add_flag("-O,--stdout", o.toStandardOutput, "Write the files' bytes to standard output, one after another");
  extract->add_flag("-n,--dry-run", o.dryRun, "Print the paths that would be written, and write nothing");
  extract->add_option("--prefix", o.prefix, "Name prefix of the new folder (default Rec)")->type_name("TEXT");
  extract->add_option("--strip-components", o.stripComponents, "Leave out N leading folders of each catalogue path")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  extract->add_flag("-j,--flat", o.flat, "No folders: every file in DIR itself, numbered on a clash");
  addMovedBkf(extract);

  auto* verify = app.add_subcommand(
      "verify", "Read the files' data as a save would and check it against the checksums the backup stores; "
                "writes nothing");
  addSource(verify);
  addMovedBkf(verify);
  verify->add_flag("--json", o.json, "One JSON object per line for every file");

  if (const auto word = CommandWord(argc, argv)) {
    const bool known = std::any_of(kCommands.begin(), kCommands.end(), [&](const auto& c) { return c.first == *word; });
    if (!known) {
      std::fprintf(stderr, "%s%s\n", texts::kProgram.data(), texts::NotACommand(*word).c_str());
      return kExitUsage;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    // The text already ends its last line; app.exit would add another.
    std::fputs(e.what(), stdout);
    return kExitSuccess;
  } catch (const CLI::ParseError& e) {
    Usage(e.what());
    return kExitUsage;
  }
  for (const auto& [name, command] : kCommands) {
    if (app.got_subcommand(std::string(name))) o.command = command;
  }
  if (o.command == Command::kExtract) {
    const int places = int{o.to.has_value()} + int{o.archive.has_value()} + int{o.toStandardOutput};
    if (places != 1 || (o.dryRun && o.toStandardOutput)) {
      Usage(std::string(o.dryRun && o.toStandardOutput ? texts::kDryRunNeedsPlace : texts::kOneDestination));
      return kExitUsage;
    }
    if (o.flat && o.stripComponents > 0) {
      Usage(std::string(texts::kFlatAndStrip));
      return kExitUsage;
    }
    if (o.archive && !KnownArchiveName(*o.archive)) {
      Usage(*o.archive + ": " + std::string(texts::kUnknownArchiveKind));
      return kExitUsage;
    }
  }
  return std::nullopt;
}

}  // namespace tallowin::cli

// Many small files: a BKF file holding a million files of 10 to 200 bytes in
// about a thousand directories. Measures the scan against a plain sequential
// read of the same file (goal: the scan takes at most twice as long) and the
// memory the catalogue needs, as the rise of the peak resident set size over
// the scan divided by the rows found (goal: at most 100 bytes per row).
//
//   many_files [--file PATH] [--files N] [--directories N] [--sets N]
//              [--rounds N] [--seed N] [--keep] [--style minimal|windows]
//
// Without --file the file is made in $TMPDIR (or /tmp) and deleted at the end
// unless --keep is given. With --file an existing file is used as it is; a
// missing one is made there and kept. The file is made by a child process, so
// that none of its memory is in this process's resident set when measuring.
#include <CLI/CLI.hpp>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_common.h"
#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "catalog/folder_tree.h"
#include "engine/bkf_file.h"
#include "engine/bkf_scanner.h"
#include "engine/scan_observer.h"

namespace tallowin::bench {
namespace {

struct Options {
  std::filesystem::path file;
  std::uint64_t files = 1'000'000;
  std::uint64_t directories = 1000;
  std::uint64_t sets = 2;
  int rounds = 3;
  std::uint64_t seed = 20070512;
  bool keep = false;
  test::WriterStyle style = test::WriterStyle::kMinimal;
};

constexpr std::u16string_view kStems[] = {u"report_", u"invoice_", u"notes_", u"config_",
                                          u"record_", u"summary_"};
constexpr std::u16string_view kExtensions[] = {u".txt", u".log", u".csv", u".xml", u".ini",
                                               u".dat", u".md"};
constexpr std::u16string_view kDepartments[] = {u"Accounts", u"Sales", u"Engineering",
                                                u"Support", u"Legal", u"Shared"};

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Numbered(std::u16string_view stem, std::uint64_t n, int width) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%0*llu", width, static_cast<unsigned long long>(n));
  return std::u16string(stem) + Ascii(digits);
}

void MakeBkf(const std::filesystem::path& path, const Options& options) {
  Random random(options.seed);
  ChunkedBkfWriter out(path, 32u << 20, options.style);
  out.Writer().Tape();
  std::string data;
  std::uint64_t file = 0;
  for (std::uint64_t set = 0; set < options.sets; ++set) {
    char setName[64];
    std::snprintf(setName, sizeof setName, "File server %llu weekly",
                  static_cast<unsigned long long>(set + 1));
    out.Writer().DataSet(Ascii(setName));
    const std::uint64_t firstDirectory = options.directories * set / options.sets;
    const std::uint64_t endDirectory = options.directories * (set + 1) / options.sets;
    for (std::uint64_t d = firstDirectory; d < endDirectory; ++d) {
      out.Writer().Directory(u"Data\\" + std::u16string(kDepartments[d % std::size(kDepartments)]) +
                             u"\\" + Numbered(u"project_", d, 4));
      const std::uint64_t endFile = options.files * (d + 1) / options.directories;
      for (; file < endFile; ++file) {
        random.Fill(data, random.Between(10, 200));
        for (char& c : data) c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
        test::FileEntry entry{};
        entry.name = Numbered(kStems[random.Between(0, std::size(kStems) - 1)], file, 6) +
                     std::u16string(kExtensions[random.Between(0, std::size(kExtensions) - 1)]);
        entry.data = std::move(data);
        entry.modified = {2007, int(random.Between(1, 12)), int(random.Between(1, 28)),
                          int(random.Between(0, 23)), int(random.Between(0, 59)),
                          int(random.Between(0, 59))};
        if (options.style == test::WriterStyle::kMinimal) {
          out.Writer().File(entry);
        } else {
          out.Writer().FileWithStreams({.name = entry.name, .data = entry.data, .modified = entry.modified,
                                        .accessed = entry.modified});
        }
        data = std::move(entry.data);
        out.MaybeFlush();
      }
    }
    out.Writer().EndOfSet();
  }
  out.Finish();
}

// Makes the file in a child process, whose memory goes with it.
void MakeBkfInChild(const std::filesystem::path& path, const Options& options) {
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int status = 0;
    try {
      MakeBkf(path, options);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "many_files: %s\n", error.what());
      status = 1;
    }
    std::fflush(stdout);
    ::_exit(status);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("making the file failed");
  }
}

struct ScanResult {
  double seconds = 0;
  std::int32_t rows = 0;
  std::int32_t folders = 0;
  long baselineKb = 0, peakBeforeKb = 0, peakAfterKb = 0, rssAfterKb = 0;
};

// One scan; with `measure`, the peak resident set size is reset just before
// it and read just after, while the catalogue still lives.
ScanResult TimedScan(const std::filesystem::path& path, const ActivityLog& log, bool measure) {
  ScanResult result;
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);
  auto file = OpenBkfFile(path);
  if (!file) throw std::runtime_error("cannot open " + path.string() + " for the scan");
  if (measure) {
    ::malloc_trim(0);
    result.baselineKb = ProcStatusKb("VmRSS");
    if (!ResetPeakRss()) throw std::runtime_error("cannot write /proc/self/clear_refs");
    result.peakBeforeKb = ProcStatusKb("VmHWM");
  }
  const auto start = std::chrono::steady_clock::now();
  const std::stop_source stop;
  const bool complete = scanner.Scan(*file, stop.get_token());
  result.seconds = Seconds(std::chrono::steady_clock::now() - start);
  if (measure) {
    result.peakAfterKb = ProcStatusKb("VmHWM");
    result.rssAfterKb = ProcStatusKb("VmRSS");
  }
  if (!complete) throw std::runtime_error("the scan did not reach the end");
  result.rows = catalogue.CatalogueRowCount();
  result.folders = catalogue.ReadFolderTree([](const FolderTree& tree) { return tree.NodeCount(); });
  return result;
}

Options Parse(int argc, char** argv) {
  Options options;
  std::string style = "minimal";
  CLI::App app{"A million small files: the scan against a plain read, and the catalogue's memory"};
  app.add_option("--file", options.file, "The BKF file; made there when missing");
  app.add_option("--files", options.files, "Files of a file made here")->check(CLI::PositiveNumber);
  app.add_option("--directories", options.directories, "Directories of a file made here")->check(CLI::PositiveNumber);
  app.add_option("--sets", options.sets, "Data sets of a file made here")->check(CLI::PositiveNumber);
  app.add_option("--rounds", options.rounds, "Rounds of read and scan")->check(CLI::PositiveNumber);
  app.add_option("--seed", options.seed, "Seed of the made file's contents");
  app.add_flag("--keep", options.keep, "Keep a file made here");
  app.add_option("--style", style, "Layout of a file made here: minimal, or windows (1 KiB blocks, "
                 "security data, checksums)")->check(CLI::IsMember({"minimal", "windows"}));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    std::exit(app.exit(error));
  }
  if (options.sets > options.directories) {
    std::fprintf(stderr, "many_files: --sets may not exceed --directories\n");
    std::exit(2);
  }
  if (style == "windows") options.style = test::WriterStyle::kWindowsUtility;
  return options;
}

int Run(int argc, char** argv) {
  Options options = Parse(argc, argv);
  TempFileGuard guard;
  std::printf("load average at start: %s\n", LoadAverage().c_str());
  std::int64_t expectedRows = -1;
  if (options.file.empty()) {
    options.file = TempDirectory() / ("tallowin_many_files_" + std::to_string(::getpid()) + ".bkf");
    if (!options.keep) guard.Own(options.file);
  }
  if (!std::filesystem::exists(options.file)) {
    std::printf("making %s (%llu files in %llu directories, %llu data sets)...\n",
                options.file.c_str(), static_cast<unsigned long long>(options.files),
                static_cast<unsigned long long>(options.directories),
                static_cast<unsigned long long>(options.sets));
    const auto start = std::chrono::steady_clock::now();
    MakeBkfInChild(options.file, options);
    std::printf("made in %.1f s\n", Seconds(std::chrono::steady_clock::now() - start));
    expectedRows = static_cast<std::int64_t>(options.files);
  } else {
    std::printf("using %s as it is\n", options.file.c_str());
  }

  const std::uint64_t size = std::filesystem::file_size(options.file);
  const ActivityLog log(TempDirectory() / ("tallowin_bench_" + std::to_string(::getpid()) + ".log"));
  unsigned sink = 0;
  WarmPageCache(options.file, sink);

  std::vector<double> reads, scans;
  ScanResult measured;
  for (int round = 1; round <= options.rounds; ++round) {
    reads.push_back(TimedRead(options.file, size, sink));
    const ScanResult scan = TimedScan(options.file, log, round == 1);
    if (round == 1) measured = scan;
    if (scan.rows != measured.rows) throw std::runtime_error("row count changed between scans");
    scans.push_back(scan.seconds);
    std::printf("round %d: read %.3f s, scan %.3f s (scan/read time %.2f)\n", round, reads.back(),
                scans.back(), scans.back() / reads.back());
    std::fflush(stdout);
  }

  const double readBest = Best(reads), readMedian = Median(reads);
  const double scanBest = Best(scans), scanMedian = Median(scans);
  const double rows = measured.rows > 0 ? double(measured.rows) : 1.0;
  const double peakRise = double(measured.peakAfterKb - measured.baselineKb) * 1024.0;
  const double rssRise = double(measured.rssAfterKb - measured.baselineKb) * 1024.0;
  std::printf("\nfile: %s\n", options.file.c_str());
  std::printf("file size: %llu bytes (%.1f MiB)\n", static_cast<unsigned long long>(size),
              double(size) / double(1 << 20));
  ReportRows(measured.rows, expectedRows);
  std::printf("folder tree nodes: %d\nrounds: %d\n", measured.folders, options.rounds);
  std::printf("plain read : best %.3f s (%.0f MB/s)   median %.3f s\n", readBest,
              double(size) / readBest / 1e6, readMedian);
  std::printf("scan       : best %.3f s (%.0f MB/s)   median %.3f s   (%.0f ns per row, median)\n",
              scanBest, double(size) / scanBest / 1e6, scanMedian, scanMedian * 1e9 / rows);
  const double ratio = scanMedian / readMedian;
  std::printf("scan/read time: best %.2f   median %.2f   (goal <= 2: %s)\n", scanBest / readBest, ratio,
              ratio <= 2.0 ? "met" : "MISSED");
  std::printf("memory (first scan): VmRSS before %ld kB, VmHWM after reset %ld kB, "
              "VmHWM after %ld kB, VmRSS after %ld kB\n",
              measured.baselineKb, measured.peakBeforeKb, measured.peakAfterKb, measured.rssAfterKb);
  std::printf("peak rise: %.1f MiB = %.1f bytes per row   (goal <= 100: %s)\n", peakRise / (1 << 20),
              peakRise / rows, peakRise / rows <= 100 ? "met" : "MISSED");
  std::printf("resident rise after the scan: %.1f MiB = %.1f bytes per row\n", rssRise / (1 << 20),
              rssRise / rows);
  (void)sink;
  return EndScanRun(options.file, options.keep || !guard.Owns(), log.Path(), measured.rows, expectedRows);
}

}  // namespace
}  // namespace tallowin::bench

int main(int argc, char** argv) {
  return tallowin::bench::Main("many_files", [&] { return tallowin::bench::Run(argc, argv); });
}

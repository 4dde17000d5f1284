// Scan throughput: how fast a full scan runs over a large BKF file that is in
// the page cache, against a plain sequential read of the same file with the
// same 64 KiB reads. The scan should reach at least 0.9 of the read's speed.
//
//   scan_throughput [--file PATH] [--size-mib N] [--rounds N] [--seed N] [--keep]
//                   [--style minimal|windows] [--read-size BYTES]
//
// With --style windows the files are laid out as the Windows backup utility
// writes them: security data, a checksummed data stream and its CSUM, 1 KiB
// blocks, and one file in twenty empty (no data stream at all).
//
// Without --file a file of at least --size-mib MiB (2048 by default) is made
// in $TMPDIR (or /tmp) and deleted at the end unless --keep is given. With
// --file an existing file is used as it is; a missing one is made there and kept.
#include <CLI/CLI.hpp>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "bench/bench_common.h"
#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/bkf_file.h"
#include "engine/bkf_scanner.h"
#include "engine/scan_observer.h"

namespace tallowin::bench {
namespace {

struct Options {
  std::filesystem::path file;
  std::uint64_t sizeMib = 2048;
  int rounds = 3;
  std::uint64_t seed = 20070512;
  bool keep = false;
  test::WriterStyle style = test::WriterStyle::kMinimal;
  std::size_t readSize = 65536;  // of the plain read
};

struct Kind {
  std::u16string_view stem;
  std::u16string_view extension;
  bool text;
  bool large;  // drawn from the large sizes
};

constexpr Kind kKinds[] = {
    {u"report_", u".txt", true, false},  {u"notes_", u".log", true, false},
    {u"ledger_", u".csv", true, false},  {u"letter_", u".docx", false, false},
    {u"sheet_", u".xlsx", false, false}, {u"photo_", u".jpg", false, true},
    {u"scan_", u".pdf", false, true},    {u"archive_", u".zip", false, true},
    {u"setup_", u".exe", false, true},   {u"mail_", u".pst", false, true},
};

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Numbered(std::u16string_view stem, std::uint64_t n, int width) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%0*llu", width, static_cast<unsigned long long>(n));
  return std::u16string(stem) + Ascii(digits);
}

// Log-uniform between `low` and `high`.
std::size_t LogUniform(Random& random, std::size_t low, std::size_t high) {
  const double u = static_cast<double>(random.Next() >> 11) / 9007199254740992.0;
  return static_cast<std::size_t>(static_cast<double>(low) *
                                  std::pow(static_cast<double>(high) / static_cast<double>(low), u));
}

struct Made {
  std::uint64_t files = 0;
  std::uint64_t directories = 0;
  std::uint64_t sets = 0;
  std::uint64_t dataBytes = 0;
};

// Data sets of a few hundred directories each, holding files from 2 KiB to
// 4 MiB (most of them small) with pseudo-random contents.
Made MakeBkf(const std::filesystem::path& path, std::uint64_t minBytes, std::uint64_t seed,
             test::WriterStyle style) {
  Random random(seed);
  ChunkedBkfWriter out(path, 64u << 20, style);
  Made made;
  out.Writer().Tape();
  std::string data;
  static constexpr std::u16string_view kUsers[] = {u"alice", u"bob", u"carol", u"dave", u"erin"};
  static constexpr std::u16string_view kAreas[] = {u"Documents", u"Pictures", u"Projects",
                                                    u"Finance", u"Mail"};
  while (out.Size() < minBytes) {
    ++made.sets;
    char setName[64];
    std::snprintf(setName, sizeof setName, "Nightly backup 2007-05-%02u", unsigned(made.sets % 28 + 1));
    out.Writer().DataSet(Ascii(setName));
    const std::uint64_t directories = random.Between(200, 400);
    for (std::uint64_t d = 0; d < directories && out.Size() < minBytes; ++d) {
      ++made.directories;
      const std::u16string directory =
          u"Users\\" + std::u16string(kUsers[random.Between(0, 4)]) + u"\\" +
          std::u16string(kAreas[random.Between(0, 4)]) + u"\\" + Numbered(u"folder_", made.directories, 5);
      out.Writer().Directory(directory);
      const std::uint64_t files = random.Between(2, 20);
      for (std::uint64_t f = 0; f < files; ++f) {
        const Kind& kind = kKinds[random.Between(0, std::size(kKinds) - 1)];
        const bool real = style != test::WriterStyle::kMinimal;
        const bool empty = real && random.Between(0, 19) == 0;
        const std::size_t size = empty ? 0
                                 : kind.large ? LogUniform(random, 64 << 10, 4 << 20)
                                              : LogUniform(random, 2 << 10, 64 << 10);
        random.Fill(data, size);
        if (kind.text) {
          for (char& c : data) c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
        }
        const std::u16string name = Numbered(kind.stem, ++made.files, 6) + std::u16string(kind.extension);
        const test::PackedDate modified{2007, int(random.Between(1, 12)), int(random.Between(1, 28)),
                                        int(random.Between(0, 23)), int(random.Between(0, 59)),
                                        int(random.Between(0, 59))};
        if (real) {
          test::RealFile file{.name = name, .data = std::move(data), .modified = modified, .accessed = modified};
          out.Writer().FileWithStreams(file);
          data = std::move(file.data);
        } else {
          test::FileEntry entry{.name = name, .data = std::move(data), .modified = modified};
          out.Writer().File(entry);
          data = std::move(entry.data);
        }
        made.dataBytes += size;
        out.MaybeFlush();
      }
    }
    out.Writer().EndOfSet();
  }
  out.Finish();
  return made;
}

struct ScanResult {
  double seconds;
  std::int32_t rows;
  bool complete;
};

ScanResult TimedScan(const std::filesystem::path& path, const ActivityLog& log) {
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);
  const auto start = std::chrono::steady_clock::now();
  auto file = OpenBkfFile(path);
  if (!file) throw std::runtime_error("cannot open " + path.string() + " for the scan");
  // A stop that can be asked for, as the front ends give it.
  const std::stop_source stop;
  const bool complete = scanner.Scan(*file, stop.get_token());
  file.reset();
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  return {seconds, catalogue.CatalogueRowCount(), complete};
}

Options Parse(int argc, char** argv) {
  Options options;
  std::string style = "minimal";
  CLI::App app{"Scan throughput against a plain read of the same file"};
  app.add_option("--file", options.file, "The BKF file; made there when missing");
  app.add_option("--size-mib", options.sizeMib, "Size of a file made here")->check(CLI::PositiveNumber);
  app.add_option("--rounds", options.rounds, "Rounds of read and scan")->check(CLI::PositiveNumber);
  app.add_option("--seed", options.seed, "Seed of the made file's contents");
  app.add_flag("--keep", options.keep, "Keep a file made here");
  app.add_option("--read-size", options.readSize, "Bytes per call of the plain read")->check(CLI::PositiveNumber);
  app.add_option("--style", style, "Layout of a file made here")->check(CLI::IsMember({"minimal", "windows"}));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    std::exit(app.exit(error));
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
    options.file = TempDirectory() / ("tallowin_scan_throughput_" + std::to_string(::getpid()) + ".bkf");
    if (!options.keep) guard.Own(options.file);
  }
  if (!std::filesystem::exists(options.file)) {
    std::printf("making %s (at least %llu MiB)...\n", options.file.c_str(),
                static_cast<unsigned long long>(options.sizeMib));
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const Made made = MakeBkf(options.file, options.sizeMib << 20, options.seed, options.style);
    std::printf("made in %.1f s: %llu data sets, %llu directories, %llu files, %.1f MiB of file data\n",
                Seconds(std::chrono::steady_clock::now() - start),
                static_cast<unsigned long long>(made.sets),
                static_cast<unsigned long long>(made.directories),
                static_cast<unsigned long long>(made.files), double(made.dataBytes) / (1 << 20));
    expectedRows = static_cast<std::int64_t>(made.files);
  } else {
    std::printf("using %s as it is\n", options.file.c_str());
  }

  const std::uint64_t size = std::filesystem::file_size(options.file);
  const ActivityLog log(TempDirectory() / ("tallowin_bench_" + std::to_string(::getpid()) + ".log"));
  unsigned sink = 0;

  WarmPageCache(options.file, sink);

  std::vector<double> reads, scans;
  std::int32_t rows = -1;
  for (int round = 1; round <= options.rounds; ++round) {
    reads.push_back(TimedRead(options.file, size, sink, options.readSize));
    const ScanResult scan = TimedScan(options.file, log);
    if (!scan.complete) throw std::runtime_error("the scan did not reach the end");
    if (rows >= 0 && scan.rows != rows) throw std::runtime_error("row count changed between scans");
    rows = scan.rows;
    scans.push_back(scan.seconds);
    std::printf("round %d: read %.3f s (%.0f MB/s), scan %.3f s (%.0f MB/s)\n", round, reads.back(),
                double(size) / reads.back() / 1e6, scans.back(), double(size) / scans.back() / 1e6);
    std::fflush(stdout);
  }

  const double mb = double(size) / 1e6;
  const double readBest = mb / Best(reads), readMedian = mb / Median(reads);
  const double scanBest = mb / Best(scans), scanMedian = mb / Median(scans);
  std::printf("\nfile: %s\n", options.file.c_str());
  std::printf("file size: %llu bytes (%.2f GiB)\n", static_cast<unsigned long long>(size),
              double(size) / double(1ull << 30));
  ReportRows(rows, expectedRows);
  std::printf("rounds: %d\n", options.rounds);
  std::printf("plain read : best %8.0f MB/s   median %8.0f MB/s\n", readBest, readMedian);
  std::printf("scan       : best %8.0f MB/s   median %8.0f MB/s\n", scanBest, scanMedian);
  const double ratioBest = scanBest / readBest, ratioMedian = scanMedian / readMedian;
  std::printf("scan/read  : best %.3f   median %.3f   (goal >= 0.9: %s)\n", ratioBest, ratioMedian,
              ratioMedian >= 0.9 ? "met" : "MISSED");
  (void)sink;
  return EndScanRun(options.file, options.keep || !guard.Owns(), log.Path(), rows, expectedRows);
}

}  // namespace
}  // namespace tallowin::bench

int main(int argc, char** argv) {
  return tallowin::bench::Main("scan_throughput", [&] { return tallowin::bench::Run(argc, argv); });
}

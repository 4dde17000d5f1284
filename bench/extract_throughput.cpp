// Saving 2 GiB of file data held in the page cache, against `cp` of the same
// bytes in the same run. Goal: the save at least 0.8 times as fast as cp.
//
//   extract_throughput [--size-mib N] [--file PATH] [--keep]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "browser/file_extraction.h"
#include "tests/support/scan_helpers.h"

namespace fs = std::filesystem;
using namespace tallowin;

int main(int argc, char** argv) {
  std::uint64_t sizeMib = 2048;
  fs::path file;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--size-mib" && i + 1 < argc) sizeMib = std::stoull(argv[++i]);
    else if (arg == "--file" && i + 1 < argc) file = argv[++i];
    else if (arg == "--keep") keep = true;
  }
  const fs::path work = bench::TempDirectory() / ("tallowin-extract-" + std::to_string(::getpid()));
  fs::create_directories(work);
  if (file.empty()) file = work / "data.bkf";

  // Files of 8 to 64 MiB of random bytes until the size is reached.
  constexpr std::size_t kFileMib = 32;
  if (!fs::exists(file)) {
    bench::ChunkedBkfWriter out(file, std::size_t{64} << 20);
    bench::Random random(42);
    out.Writer().Tape().DataSet(u"Big").Directory(u"Data");
    std::string data;
    for (int n = 0; out.Size() < (sizeMib << 20); ++n) {
      random.Fill(data, static_cast<std::size_t>(random.Between(8, 2 * kFileMib)) << 20);
      out.Writer().File({.name = u"part" + std::u16string(1, static_cast<char16_t>(u'a' + n % 26)) +
                                 std::u16string(1, static_cast<char16_t>(u'a' + n / 26)) + u".bin",
                         .data = data});
      out.Flush();
    }
    out.Finish();
  }

  Catalogue catalogue;
  {
    ScanObserver quiet;
    CBkfScanner scanner(catalogue, test::SilentLog(), quiet);
    auto reader = OpenBkfFile(file);
    scanner.Scan(*reader);
  }
  catalogue.SetAllRowsChecked(true);
  std::uint64_t dataBytes = 0;
  for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
    dataBytes += static_cast<std::uint64_t>(ParseInt64(catalogue.GetCatalogueCell(row, kCellSize)));
  }
  unsigned sink = 0;
  bench::PlainRead(file, sink);  // into the page cache

  std::printf("BKF file: %s, %.1f MiB, %d files, %.1f MiB of file data\n", file.c_str(),
              static_cast<double>(fs::file_size(file)) / (1 << 20), catalogue.CatalogueRowCount(),
              static_cast<double>(dataBytes) / (1 << 20));
  std::vector<double> cpSeconds, saveSeconds;
  for (int round = 0; round < 5; ++round) {
    const fs::path copy = work / "copy.bkf";
    auto start = std::chrono::steady_clock::now();
    const std::string command = "cp '" + file.string() + "' '" + copy.string() + "'";
    if (std::system(command.c_str()) != 0) return 1;
    cpSeconds.push_back(bench::Seconds(std::chrono::steady_clock::now() - start));
    fs::remove(copy);
    ::sync();  // no writeback of this round's output during the next one

    const fs::path destination = work / "out";
    fs::create_directories(destination);
    SaveObserver quiet;
    std::atomic<bool> cancel{false};
    start = std::chrono::steady_clock::now();
    const SaveSummary summary =
        SaveCheckedFiles(catalogue, {.bkfPath = file, .destination = destination, .prefix = u"Rec", .opener = OpenBkfFile},
                         quiet, cancel);
    saveSeconds.push_back(bench::Seconds(std::chrono::steady_clock::now() - start));
    if (!summary.Complete()) {
      std::fprintf(stderr, "save incomplete\n");
      return 1;
    }
    fs::remove_all(destination);
    ::sync();
  }
  const double mib = static_cast<double>(dataBytes) / (1 << 20);
  std::printf("cp of the BKF file: best %.3f s, median %.3f s (%.0f MiB/s of its %.0f MiB)\n",
              bench::Best(cpSeconds), bench::Median(cpSeconds),
              static_cast<double>(fs::file_size(file)) / (1 << 20) / bench::Best(cpSeconds),
              static_cast<double>(fs::file_size(file)) / (1 << 20));
  std::printf("save of every file: best %.3f s, median %.3f s (%.0f MiB/s)\n", bench::Best(saveSeconds),
              bench::Median(saveSeconds), mib / bench::Best(saveSeconds));
  // Compared per byte, since cp copies the BKF file's blocks as well.
  const double cpRate = static_cast<double>(fs::file_size(file)) / bench::Median(cpSeconds);
  const double saveRate = static_cast<double>(dataBytes) / bench::Median(saveSeconds);
  std::printf("ratio save/cp throughput: medians %.2f, bests %.2f (goal at least 0.8)\n", saveRate / cpRate,
              (static_cast<double>(dataBytes) / bench::Best(saveSeconds)) /
                  (static_cast<double>(fs::file_size(file)) / bench::Best(cpSeconds)));
  if (!keep) fs::remove_all(work);
  return 0;
}

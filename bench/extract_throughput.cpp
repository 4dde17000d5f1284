// Saving 2 GiB of file data held in the page cache, against `cp -r` of the
// same files in the same run (goal: at least 0.8 of its throughput), and
// verifying the same files, which reads their data as the save does, against
// a plain read of the BKF file (goal: at least 0.9 of its throughput).
//
//   extract_throughput [--size-mib N] [--file PATH] [--rounds N] [--keep]
//                      [--style minimal|windows] [--file-kib N]
//
// With --style windows every file's data carries the checksum the Windows
// backup utility stores with it, so that both read it into this process and
// check it; the minimal layout has none, and the save lets the system copy.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "save/save_rows.h"
#include "tests/support/scan_helpers.h"

namespace fs = std::filesystem;
using namespace tallowin;

namespace {

// Files of `fileKib` KiB each (of 8 to 64 MiB when 0) of random bytes until
// the size is reached, a thousand to a folder.
void MakeBkf(const fs::path& file, std::uint64_t sizeMib, std::uint64_t fileKib, test::WriterStyle style) {
  constexpr std::size_t kFileMib = 32;
  constexpr int kFilesPerFolder = 1000;
  bench::ChunkedBkfWriter out(file, std::size_t{64} << 20, style);
  bench::Random random(42);
  out.Writer().Tape().DataSet(u"Big");
  std::string data;
  for (int n = 0; out.Size() < (sizeMib << 20); ++n) {
    if (n % kFilesPerFolder == 0) out.Writer().Directory(u"Data\\" + FormatInt64(n / kFilesPerFolder));
    const std::size_t size = fileKib != 0 ? static_cast<std::size_t>(fileKib << 10)
                                          : static_cast<std::size_t>(random.Between(8, 2 * kFileMib)) << 20;
    random.Fill(data, size);
    const std::u16string name = u"part" + FormatInt64(n) + u".bin";
    if (style == test::WriterStyle::kMinimal) {
      out.Writer().File({.name = name, .data = data});
    } else {
      out.Writer().FileWithStreams({.name = name, .data = data});
    }
    out.MaybeFlush();
  }
  out.Finish();
}

double Timed(const auto& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return bench::Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t sizeMib = 2048;
  fs::path file;
  int rounds = 5;
  bool keep = false;
  std::string style = "minimal";
  std::uint64_t fileKib = 0;
  CLI::App app{"Saving and verifying files against cp and a plain read"};
  app.add_option("--size-mib", sizeMib, "Size of a BKF file made here")->check(CLI::PositiveNumber);
  app.add_option("--file", file, "The BKF file; made there when missing");
  app.add_option("--rounds", rounds, "Rounds of each measurement")->check(CLI::PositiveNumber);
  app.add_flag("--keep", keep, "Keep the work folder");
  app.add_option("--file-kib", fileKib, "Size of every file of a BKF file made here (random sizes when 0)");
  app.add_option("--style", style, "Layout of a file made here")->check(CLI::IsMember({"minimal", "windows"}));
  CLI11_PARSE(app, argc, argv);

  return bench::Main("extract_throughput", [&] {
    const fs::path work = bench::TempDirectory() / ("tallowin-extract-" + std::to_string(::getpid()));
    fs::create_directories(work);
    if (file.empty()) file = work / "data.bkf";
    if (!fs::exists(file)) {
      MakeBkf(file, sizeMib, fileKib, style == "windows" ? test::WriterStyle::kWindowsUtility : test::WriterStyle::kMinimal);
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
    bench::WarmPageCache(file, sink);
    const double bkfBytes = static_cast<double>(fs::file_size(file));
    std::printf("BKF file: %s, %.1f MiB, %d files, %.1f MiB of file data\n", file.c_str(), bkfBytes / (1 << 20),
                catalogue.CatalogueRowCount(), static_cast<double>(dataBytes) / (1 << 20));

    std::vector<double> readSeconds, verifySeconds, cpSeconds, saveSeconds;
    // A stop that can be asked for, as the front ends give it.
    const std::stop_source stop;
    const auto save = [&](const fs::path& destination) {
      fs::create_directories(destination);
      SaveObserver quiet;
      const SaveSummary summary = SaveCheckedFiles(
          catalogue, {.bkfPath = file, .destination = destination, .prefix = u"Rec", .opener = OpenBkfFile}, quiet,
          stop.get_token());
      if (!summary.Complete()) throw std::runtime_error("save incomplete");
    };
    // The files as the save makes them, for cp to copy: the same bytes in
    // the same number of files.
    const fs::path files = work / "files";
    save(files);
    ::sync();
    bench::WarmPageCache(file, sink);
    for (int round = 0; round < rounds; ++round) {
      readSeconds.push_back(Timed([&] { bench::PlainRead(file, sink); }));
      verifySeconds.push_back(Timed([&] {
        SaveObserver quiet;
        const SaveSummary summary = SaveCheckedFiles(catalogue, VerifyOnlyRequest(file), quiet, stop.get_token());
        if (!summary.Complete()) throw std::runtime_error("the verification found damage");
      }));

      const fs::path copy = work / "copy";
      cpSeconds.push_back(Timed([&] {
        const std::string command = "cp -r '" + (files / "RecBKF").string() + "' '" + copy.string() + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("cp failed");
      }));
      fs::remove_all(copy);
      ::sync();  // no writeback of this round's output during the next one

      const fs::path destination = work / "out";
      saveSeconds.push_back(Timed([&] { save(destination); }));
      fs::remove_all(destination);
      ::sync();
    }
    const double data = static_cast<double>(dataBytes);
    // The read is compared per byte, since it takes the BKF file's blocks as well.
    const auto rate = [](double bytes, const std::vector<double>& seconds) { return bytes / bench::Median(seconds); };
    std::printf("plain read of the BKF file: median %.3f s (%.0f MiB/s)\n", bench::Median(readSeconds),
                rate(bkfBytes, readSeconds) / (1 << 20));
    std::printf("verify of every file:       median %.3f s (%.0f MiB/s)\n", bench::Median(verifySeconds),
                rate(data, verifySeconds) / (1 << 20));
    std::printf("cp -r of the same files:    median %.3f s (%.0f MiB/s)\n", bench::Median(cpSeconds),
                rate(data, cpSeconds) / (1 << 20));
    std::printf("save of every file:         median %.3f s (%.0f MiB/s)\n", bench::Median(saveSeconds),
                rate(data, saveSeconds) / (1 << 20));
    std::printf("ratio verify/read throughput: %.2f (goal at least 0.9)\n",
                rate(data, verifySeconds) / rate(bkfBytes, readSeconds));
    std::printf("ratio save/cp throughput:     %.2f (goal at least 0.8)\n",
                rate(data, saveSeconds) / rate(data, cpSeconds));
    if (!keep) fs::remove_all(work);
    return 0;
  });
}

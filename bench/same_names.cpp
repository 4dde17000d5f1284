// Saving many files of one name into one folder, against as many files of
// distinct names in the same run: the numbered names (" (2)", " (3)", ...)
// must cost about what distinct names cost, not a try per earlier holder.
//
//   same_names [--files N] [--rounds N]
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "save/save_rows.h"

namespace fs = std::filesystem;
using namespace tallowin;

namespace {

// A catalogue of `files` one-byte files in one folder, all read from the
// start of `bkf`.
void Fill(Catalogue& catalogue, int files, bool sameName) {
  for (int i = 0; i < files; ++i) {
    const std::u16string name = sameName ? u"report.txt" : u"report" + FormatInt64(i) + u".txt";
    const RowIndex row = catalogue.AppendCatalogueRow(u"BKF\\Set\\Docs\\" + name);
    catalogue.SetCatalogueNumber(row, kCellSize, 1);
    catalogue.SetCatalogueNumber(row, kCellOffset, 0);
  }
  catalogue.SetAllRowsChecked(true);
}

double TimeSave(const Catalogue& catalogue, const fs::path& bkf, const fs::path& destination) {
  fs::create_directories(destination);
  SaveObserver quiet;
  const auto start = std::chrono::steady_clock::now();
  const SaveSummary summary = SaveCheckedFiles(
      catalogue, {.bkfPath = bkf, .destination = destination, .prefix = u"Rec", .opener = OpenBkfFile}, quiet);
  const double seconds = bench::Seconds(std::chrono::steady_clock::now() - start);
  if (!summary.Complete()) throw std::runtime_error("the save did not complete");
  fs::remove_all(destination);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 10'000;
  int rounds = 3;
  CLI::App app{"Saving many files of one name against as many distinct names"};
  app.add_option("--files", files, "Files per save")->check(CLI::PositiveNumber);
  app.add_option("--rounds", rounds, "Saves of each kind")->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);

  return bench::Main("same_names", [&] {
    const fs::path work = bench::TempDirectory() / ("tallowin-names-" + std::to_string(::getpid()));
    fs::create_directories(work);
    std::ofstream(work / "data.bkf") << "x";
    Catalogue same, distinct;
    Fill(same, files, true);
    Fill(distinct, files, false);
    std::vector<double> sameSeconds, distinctSeconds;
    for (int round = 0; round < rounds; ++round) {
      distinctSeconds.push_back(TimeSave(distinct, work / "data.bkf", work / "out"));
      sameSeconds.push_back(TimeSave(same, work / "data.bkf", work / "out"));
    }
    fs::remove_all(work);
    std::printf("%d files of distinct names: median %.3f s\n", files, bench::Median(distinctSeconds));
    std::printf("%d files of one name:       median %.3f s\n", files, bench::Median(sameSeconds));
    std::printf("ratio one name / distinct names: %.2f\n", bench::Median(sameSeconds) / bench::Median(distinctSeconds));
    return 0;
  });
}

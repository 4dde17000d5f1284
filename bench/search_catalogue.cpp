// Searching a catalogue of 1,000,000 rows with "*.doc". Goal: the whole
// search under one second.
//
//   search_catalogue [--rows N]
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "catalog/catalogue_search.h"

using namespace tallowin;

namespace {

class Counter final : public SearchObserver {
 public:
  void OnProgress(const JobProgress& progress) override { last = progress.Percent(); }
  void OnSearchMatch(RowIndex, std::u16string_view, std::u16string_view, std::uint64_t found) override {
    matches = found;
  }
  int last = 0;
  std::uint64_t matches = 0;
};

std::u16string Wide(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

int main(int argc, char** argv) {
  int rows = 1'000'000;
  CLI::App app{"Searching a catalogue of many rows with *.doc"};
  app.add_option("--rows", rows, "Rows of the catalogue")->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);
  static const char* const kExtensions[] = {"doc", "txt", "xls", "jpg", "pdf", "docx", "log"};
  Catalogue catalogue;
  for (int i = 0; i < rows; ++i) {
    const std::string path = "BKF\\BACKUP SET " + std::to_string(1 + i / 400'000) + "(Daily backup)\\Users\\" +
                             "user" + std::to_string(i % 50) + "\\Documents\\folder" + std::to_string(i / 1000) +
                             "\\report_" + std::to_string(i) + "." + kExtensions[i % 7];
    const RowIndex row = catalogue.AppendCatalogueRow(Wide(path));
    catalogue.SetCatalogueNumber(row, kCellSize, i * 37);
  }
  std::vector<double> seconds;
  std::uint64_t matches = 0;
  for (int round = 0; round < 5; ++round) {
    const std::stop_source stop;
    Counter counter;
    const auto start = std::chrono::steady_clock::now();
    matches = SearchCatalogue(catalogue, u"*.doc", counter, stop.get_token());
    seconds.push_back(bench::Seconds(std::chrono::steady_clock::now() - start));
  }
  std::printf("%d rows, pattern *.doc, %llu matches\n", rows, static_cast<unsigned long long>(matches));
  std::printf("search: best %.3f s, median %.3f s; %.0f ns per row (median); goal under 1 s\n",
              bench::Best(seconds), bench::Median(seconds), bench::Median(seconds) * 1e9 / rows);
  return 0;
}

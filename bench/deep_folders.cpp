// One file thousands of folders deep, as a damaged or hostile snapshot may
// hold it: loading the snapshot, listing it, a check-box click at the
// bottom of the tree and saving it, each timed, with the peak memory of the
// whole, for two depths. Linear costs double with the depth; quadratic ones
// grow fourfold.
//
//   deep_folders [--depth N] [--rounds N]
#include <CLI/CLI.hpp>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "save/save_rows.h"
#include "browser/selection/folder_browser.h"
#include "catalog/snapshot.h"
#include "catalog/utf16_bytes.h"

namespace fs = std::filesystem;
using namespace tallowin;

namespace {

// std::filesystem::remove_all keeps a descriptor open per level, more than a
// process may hold for a tree this deep; rm walks it without.
void RemoveTree(const fs::path& path) {
  const std::string command = "rm -rf -- '" + path.string() + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot remove the saved tree");
}

struct Timings {
  double load = 0, list = 0, click = 0, save = 0;
  long peakKb = 0;
};

// Keeps the recorded BKF file; nothing is asked.
class KeepBkf final : public SnapshotLoadObserver {
 public:
  std::optional<std::u16string> LocateMissingBkf(std::u16string_view recorded) override {
    return std::u16string(recorded);
  }
};

Timings Measure(int depth, const fs::path& work) {
  std::u16string path = u"BKF\\Set";
  for (int level = 0; level < depth; ++level) path += u"\\folder " + FormatInt64(level);
  const fs::path bkf = work / "data.bkf";
  const std::string snapshot =
      Utf16LeBytes(u"<" + bkf.u16string() + u">\r\n<1>\r\n<" + path + u"\\deep.txt><5><0><0><0><0><0><0><0>\r\n");
  Timings timings;
  const auto time = [](auto&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return bench::Seconds(std::chrono::steady_clock::now() - start);
  };
  bench::ResetPeakRss();
  const long before = bench::ProcStatusKb("VmRSS");

  Catalogue catalogue;
  timings.load = time([&] {
    std::istringstream in(snapshot);
    KeepBkf observer;
    if (LoadSnapshot(in, catalogue, observer).status != SnapshotLoadStatus::kLoaded) {
      throw std::runtime_error("the snapshot did not load");
    }
  });
  timings.list = time([&] {
    if (catalogue.GetCatalogueCell(0, kCellPath).size() != path.size() + 9) throw std::runtime_error("wrong path");
  });
  FolderChecks checks;
  FolderBrowser browser(catalogue, checks);
  catalogue.SetAllRowsChecked(true);
  browser.ResetFolderTree();
  const FolderId deepest = catalogue.ReadFolderTree([](const FolderTree& tree) { return tree.NodeCount() - 1; });
  timings.click = time([&] { browser.ToggleNode(deepest); });
  browser.ToggleNode(deepest);
  timings.save = time([&] {
    SaveObserver quiet;
    const SaveSummary summary = SaveCheckedFiles(
        catalogue, {.bkfPath = bkf, .destination = work / "out", .prefix = u"Rec", .opener = OpenBkfFile}, quiet);
    if (!summary.Complete()) throw std::runtime_error("the save did not complete");
  });
  timings.peakKb = bench::ProcStatusKb("VmHWM") - before;
  RemoveTree(work / "out");
  fs::create_directories(work / "out");
  return timings;
}

// In a child process, so that each depth's peak memory is its own.
Timings MeasureInChild(int depth, const fs::path& work) {
  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("pipe failed");
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(channel[0]);
    int status = 0;
    try {
      const Timings timings = Measure(depth, work);
      status = ::write(channel[1], &timings, sizeof timings) == sizeof timings ? 0 : 1;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "deep_folders: %s\n", error.what());
      status = 1;
    }
    ::_exit(status);
  }
  ::close(channel[1]);
  Timings timings;
  const bool read = ::read(channel[0], &timings, sizeof timings) == sizeof timings;
  ::close(channel[0]);
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !read) {
    throw std::runtime_error("the measurement failed");
  }
  return timings;
}

}  // namespace

int main(int argc, char** argv) {
  int depth = 20'000;
  int rounds = 3;
  CLI::App app{"One file thousands of folders deep: load, list, click and save at two depths"};
  app.add_option("--depth", depth, "The greater depth; the other is half of it")->check(CLI::PositiveNumber);
  app.add_option("--rounds", rounds, "Measurements of each depth")->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);

  return bench::Main("deep_folders", [&] {
    const fs::path work = bench::TempDirectory() / ("tallowin-deep-" + std::to_string(::getpid()));
    fs::create_directories(work / "out");
    std::ofstream(work / "data.bkf") << "12345";
    std::vector<Timings> results;
    for (const int each : {depth / 2, depth}) {
      std::vector<double> load, list, click, save, peak;
      for (int round = 0; round < rounds; ++round) {
        const Timings timings = MeasureInChild(each, work);
        load.push_back(timings.load);
        list.push_back(timings.list);
        click.push_back(timings.click);
        save.push_back(timings.save);
        peak.push_back(static_cast<double>(timings.peakKb));
      }
      results.push_back({bench::Median(load), bench::Median(list), bench::Median(click), bench::Median(save),
                         static_cast<long>(bench::Median(peak))});
      std::printf("depth %6d: load %.3f s, list %.4f s, click %.4f s, save %.3f s, peak memory rise %ld KiB\n", each,
                  results.back().load, results.back().list, results.back().click, results.back().save,
                  results.back().peakKb);
    }
    RemoveTree(work);
    const Timings& half = results[0];
    const Timings& whole = results[1];
    std::printf("twice as deep: load %.1f, list %.1f, click %.1f, save %.1f, memory %.1f times (linear: about 2)\n",
                whole.load / half.load, whole.list / half.list, whole.click / half.click, whole.save / half.save,
                static_cast<double>(whole.peakKb) / static_cast<double>(std::max(half.peakKb, 1L)));
    return 0;
  });
}

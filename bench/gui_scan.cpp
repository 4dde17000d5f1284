// A scan and a search in the desktop program: the main view scans a BKF
// file, then the Search Files dialog searches its catalogue, while a timer
// on the user-interface thread notes the longest time the event loop went
// without running it (goal: no stall over 100 ms in either). The time from
// Next to the finished lists is compared with the scan that twbkf runs on
// the same file (goal: at most 1.3 times as long).
//
//   gui_scan --file PATH [--rounds N] [--pattern TEXT]
//
// Make a file of a million small files with `many_files --file PATH`, which
// keeps a file it made there. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "bench/bench_common.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/search_dialog.h"
#include "save/save_settings.h"
#include "browser/widgets/text_qt.h"
#include "engine/bkf_scanner.h"
#include "common/mime_file_types.h"

namespace tallowin::bench {
namespace {

using Clock = std::chrono::steady_clock;

// What `twbkf scan` does: the engine into a catalogue with the desktop's types.
double CommandLineScan(const std::filesystem::path& file) {
  const ActivityLog log("/nonexistent-folder/never.log");
  ScanObserver quiet;
  Catalogue catalogue(MimeFileType);
  CBkfScanner scanner(catalogue, log, quiet);
  const auto start = Clock::now();
  const std::stop_source stop;
  if (!scanner.Run(file, stop.get_token())) throw std::runtime_error("cannot open " + file.string());
  return Seconds(Clock::now() - start);
}

struct GuiRound {
  double seconds = 0;
  double longestStallMs = 0;
  std::int64_t rows = 0;
};

// Runs the event loop from `begin` until `ended` says the work is over,
// noting the longest time the loop went without running a timer's tick.
// The work at the end counts too: the loop ends at the first tick after it.
template <typename Begin, typename Ended>
GuiRound WatchEventLoop(Begin begin, Ended ended) {
  constexpr int kTickMs = 5;
  GuiRound round;
  QElapsedTimer sinceTick;
  QTimer ticker;
  ticker.setInterval(kTickMs);
  QEventLoop loop;
  std::optional<double> seconds;
  const auto start = Clock::now();
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    round.longestStallMs = std::max(round.longestStallMs, sinceTick.nsecsElapsed() / 1e6 - kTickMs);
    sinceTick.restart();
    if (seconds) {
      loop.quit();
    } else if (ended(round)) {
      seconds = Seconds(Clock::now() - start);
    }
  });
  sinceTick.start();
  ticker.start();
  begin();
  loop.exec();
  ticker.stop();
  round.seconds = *seconds;
  return round;
}

// A scan from Next to its finished lists; the catalogue stays for a search.
GuiRound GuiScan(CGUI_RezEreView& view, const QString& file) {
  bool ended = false;
  int rows = 0;
  const QMetaObject::Connection done =
      QObject::connect(&view, &CGUI_RezEreView::scanEnded, [&](int found) { ended = true, rows = found; });
  view.PathBox()->setText(file);
  GuiRound round = WatchEventLoop([&] { view.Recover(); },
                                  [&](GuiRound& now) {
                                    now.rows = rows;
                                    return ended;
                                  });
  QObject::disconnect(done);
  return round;
}

// A search of the catalogue on show, from Search to the last match in the list.
GuiRound GuiSearch(CGUI_RezEreView& view, const QString& pattern) {
  SearchFilesDialog dialog(view.GetCatalogue(), &view);
  dialog.show();
  dialog.SearchBox()->setText(pattern);
  auto* search = dialog.findChild<QPushButton*>("search");
  return WatchEventLoop([&] { search->click(); },
                        [&](GuiRound& now) {
                          now.rows = dialog.Results()->model()->rowCount();
                          return !dialog.IsSearching();
                        });
}

int Run(int argc, char** argv) {
  std::filesystem::path file;
  int rounds = 3;
  std::string pattern = "*.*";
  CLI::App app{"A scan and a search in the desktop program, with the longest event-loop stall"};
  app.add_option("--file", file, "The BKF file (make one with many_files --file PATH)")->required();
  app.add_option("--rounds", rounds, "Rounds of each scan and search")->check(CLI::PositiveNumber);
  app.add_option("--pattern", pattern, "What the search looks for (the dialog's own default: *.*)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  unsigned sink = 0;
  WarmPageCache(file, sink);

  std::vector<double> plain;
  for (int i = 0; i < rounds; ++i) plain.push_back(CommandLineScan(file));

  SharedValues values;
  CGUI_RezEreView view(values, nullptr, MimeFileType);
  view.resize(1280, 800);
  view.show();
  // A message would wait for an answer; the benchmark has none to give.
  ScopedMessageRoutine noMessages([](QWidget*, const QString& text, const QString&, unsigned) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    return mb::kIdOk;
  });
  std::vector<double> gui, scanStalls, searchStalls;
  std::int64_t rows = 0;
  for (int i = 0; i < rounds; ++i) {
    const GuiRound scan = GuiScan(view, QStringFromPath(file));
    const GuiRound search = GuiSearch(view, QString::fromStdString(pattern));
    view.Back();
    gui.push_back(scan.seconds);
    scanStalls.push_back(scan.longestStallMs);
    searchStalls.push_back(search.longestStallMs);
    rows = scan.rows;
    std::printf("round %d: scan %.3f s, longest stall %.1f ms, %lld rows; search %.3f s, longest stall %.1f ms, "
                "%lld found\n",
                i + 1, scan.seconds, scan.longestStallMs, static_cast<long long>(scan.rows), search.seconds,
                search.longestStallMs, static_cast<long long>(search.rows));
  }
  const double ratio = Median(gui) / Median(plain);
  std::printf("twbkf scan: median %.3f s\n", Median(plain));
  std::printf("gui scan:   median %.3f s, ratio %.2f (goal 1.3) %s\n", Median(gui), ratio,
              ratio <= 1.3 ? "met" : "MISSED");
  const auto stalls = [](const char* what, const std::vector<double>& longest) {
    const double worst = *std::max_element(longest.begin(), longest.end());
    std::printf("longest event-loop stall while %s: median %.1f ms, worst %.1f ms (goal 100) %s\n", what,
                Median(longest), worst, worst <= 100 ? "met" : "MISSED");
  };
  stalls("scanning", scanStalls);
  stalls("searching", searchStalls);
  std::printf("rows: %lld\n", static_cast<long long>(rows));
  (void)sink;
  Finish(file, true);
  return 0;
}

}  // namespace
}  // namespace tallowin::bench

int main(int argc, char** argv) {
  return tallowin::bench::Main("gui_scan", [&] { return tallowin::bench::Run(argc, argv); });
}

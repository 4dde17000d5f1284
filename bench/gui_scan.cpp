// A scan in the desktop program: the main view scans a BKF file while a
// timer on the user-interface thread notes the longest time the event loop
// went without running it (goal: no stall over 100 ms), and the time from
// Next to the finished lists is compared with the scan that twbkf runs on
// the same file (goal: at most 1.3 times as long).
//
//   gui_scan --file PATH [--rounds N]
//
// Make a file of a million small files with `many_files --file PATH`, which
// keeps a file it made there. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include "bench/bench_common.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/save/save_settings.h"
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
  if (!scanner.Start(file)) throw std::runtime_error("cannot open " + file.string());
  scanner.Wait();
  return Seconds(Clock::now() - start);
}

struct GuiRound {
  double seconds = 0;
  double longestStallMs = 0;
  int rows = 0;
};

GuiRound GuiScan(CGUI_RezEreView& view, const QString& file) {
  constexpr int kTickMs = 5;
  GuiRound round;
  QElapsedTimer sinceTick;
  QTimer ticker;
  ticker.setInterval(kTickMs);
  QEventLoop loop;
  bool ended = false;
  // The work at the end of the scan counts too: the loop ends at the first
  // tick after it.
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    round.longestStallMs = std::max(round.longestStallMs, sinceTick.nsecsElapsed() / 1e6 - kTickMs);
    sinceTick.restart();
    if (ended) loop.quit();
  });
  const auto start = Clock::now();
  QObject::connect(&view, &CGUI_RezEreView::scanEnded, &loop, [&](int rows) {
    round.seconds = Seconds(Clock::now() - start);
    round.rows = rows;
    ended = true;
  });
  view.PathBox()->setText(file);
  sinceTick.start();
  ticker.start();
  view.Recover();
  loop.exec();
  ticker.stop();
  view.Back();
  return round;
}

int Run(int argc, char** argv) {
  std::filesystem::path file;
  int rounds = 3;
  CLI::App app{"A scan in the desktop program against twbkf's, with the longest event-loop stall"};
  app.add_option("--file", file, "The BKF file (make one with many_files --file PATH)")->required();
  app.add_option("--rounds", rounds, "Rounds of each scan")->check(CLI::PositiveNumber);
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
  std::vector<double> gui;
  double longestStall = 0;
  int rows = 0;
  for (int i = 0; i < rounds; ++i) {
    const GuiRound round = GuiScan(view, QStringFromPath(file));
    gui.push_back(round.seconds);
    longestStall = std::max(longestStall, round.longestStallMs);
    rows = round.rows;
    std::printf("round %d: gui %.3f s, longest stall %.1f ms, %d rows\n", i + 1, round.seconds,
                round.longestStallMs, round.rows);
  }
  const double ratio = Median(gui) / Median(plain);
  std::printf("twbkf scan: median %.3f s\n", Median(plain));
  std::printf("gui scan:   median %.3f s, ratio %.2f (goal 1.3) %s\n", Median(gui), ratio,
              ratio <= 1.3 ? "met" : "MISSED");
  std::printf("longest event-loop stall: %.1f ms (goal 100) %s\n", longestStall,
              longestStall <= 100 ? "met" : "MISSED");
  std::printf("rows: %d\n", rows);
  (void)sink;
  Finish(file, true);
  return 0;
}

}  // namespace
}  // namespace tallowin::bench

int main(int argc, char** argv) {
  return tallowin::bench::Main("gui_scan", [&] { return tallowin::bench::Run(argc, argv); });
}

#include "cli/terminal_progress.h"

#include <cstdio>

#include "catalog/program_texts.h"
#include "cli/console.h"

namespace tallowin::cli {

TerminalProgress::TerminalProgress(bool quiet)
    : enabled_(!quiet && StandardErrorIsTerminal()), start_(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() { Finish(); }

void TerminalProgress::Show(std::uint64_t done, std::uint64_t total, const std::string& files) {
  if (!enabled_) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds / 1e6 : 0.0;
  std::fprintf(stderr, "\r\033[K%llu / %llu bytes  %3d%%  %s  %.1f MB/s",
               static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
               texts::ProgressPercent(done, total), files.c_str(), rate);
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalProgress::Finish() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace tallowin::cli

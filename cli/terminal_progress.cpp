#include "cli/terminal_progress.h"


#include <cstdio>
#include <cstdlib>

#include "catalog/program_texts.h"
#include "cli/console.h"
#include "cli/cli_texts.h"

namespace tallowin::cli {
namespace {

// The terminal's width, read again at every line: a window may be resized.
std::size_t TerminalWidth() {
  if (const std::size_t columns = StandardErrorColumns()) return columns;
  if (const char* columns = std::getenv("COLUMNS")) {
    const long value = std::strtol(columns, nullptr, 10);
    if (value > 0) return static_cast<std::size_t>(value);
  }
  return 80;
}

// Cuts UTF-8 text to `columns` characters, one column each.
std::string CutToWidth(const std::string& text, std::size_t columns) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == columns) return text.substr(0, i);
  }
  return text;
}

}  // namespace

std::string ProgressLine(std::uint64_t done, std::uint64_t total, const std::string& files, double seconds,
                         std::size_t width) {
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
  std::string line = texts::HumanSize(done) + " of " + texts::HumanSize(total) + "  " +
                     std::to_string(tallowin::texts::ProgressPercent(done, total)) + "%  " + files + "  " +
                     texts::HumanSize(static_cast<std::uint64_t>(rate)) + "/s";
  if (seconds >= 2 && rate > 0 && total > done) {
    line += "  " + texts::Duration(static_cast<std::uint64_t>(static_cast<double>(total - done) / rate)) + " left";
  }
  return CutToWidth(line, width > 1 ? width - 1 : width);
}

TerminalProgress::TerminalProgress(bool quiet)
    : enabled_(!quiet && StandardErrorIsTerminal()), start_(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() { Finish(); }

void TerminalProgress::Show(std::uint64_t done, std::uint64_t total, const std::string& files) {
  if (!enabled_) return;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::fprintf(stderr, "\r\033[K%s", ProgressLine(done, total, files, seconds, TerminalWidth()).c_str());
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

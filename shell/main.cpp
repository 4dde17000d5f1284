// tallowin-bkf: the desktop program.
#include <csignal>
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "shell/tallowin_app.h"
#include "common/version_text.h"

namespace {

constexpr const char* kHelp =
    "Usage: tallowin-bkf [FILE]\n"
    "Recover the files of a damaged or truncated BKF backup file.\n"
    "\n"
    "With FILE, a BKF file is scanned at once, or a recovery snapshot (.TWBKF)\n"
    "is loaded at once. Without it, the program opens on its start page.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "The command-line program twbkf scans, lists and saves without a window.\n";

// --help and --version are answered before any window system is needed.
bool AnswerInformationOption(int argc, char** argv, int& exitCode) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::printf("%sHome page: <%s>\n", kHelp, tallowin::kHomePageUrl.data());
  } else if (std::strcmp(argv[1], "--version") == 0) {
    std::fputs(tallowin::VersionText("tallowin-bkf").c_str(), stdout);
  } else {
    return false;
  }
  exitCode = std::fflush(stdout) == 0 ? 0 : 1;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  if (AnswerInformationOption(argc, argv, exitCode)) return exitCode;
  // A save beyond the file-size limit fails with its reason, file by file,
  // instead of killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // The guard comes first: a refused second instance must touch nothing.
  const tallowin::InstanceGuard guard;
  QApplication application(argc, argv);
  tallowin::TallowinApp program(guard);
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!program.InitInstance(arguments)) return program.HandedOver() ? 0 : 1;
  return QApplication::exec();
}

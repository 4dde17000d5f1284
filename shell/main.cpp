// tallowin-bkf: the desktop program.
#include <QApplication>

#include "shell/application.h"

int main(int argc, char** argv) {
  // The guard comes first: a refused second instance must touch nothing.
  const tallowin::InstanceGuard guard;
  QApplication application(argc, argv);
  tallowin::TallowinApp program(guard);
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!program.InitInstance(arguments)) return 1;
  return QApplication::exec();
}

// How a second start of the program reaches the running one. The running
// instance listens on a local socket beside its one-instance lock; a second
// start that finds the lock taken hands it the file named on its command
// line (or nothing), the running instance comes to the front and opens the
// file, and the second start ends. A user's socket, like the lock, lies in
// that user's own runtime folder.
#pragma once

#include <filesystem>

#include <QObject>
#include <QString>

class QLocalServer;

namespace tallowin {

// The socket beside `lockPath`: the same name, ending in ".socket".
std::filesystem::path ChannelPath(const std::filesystem::path& lockPath);

class InstanceServer : public QObject {
  Q_OBJECT

 public:
  // Listens beside `lockPath`; the lock must be held, so that a socket left
  // by a program that was killed can be taken over.
  explicit InstanceServer(const std::filesystem::path& lockPath, QObject* parent = nullptr);
  bool Listening() const;

 signals:
  // A second start asked for the window, with its file; empty for none.
  void fileHanded(const QString& path);

 private:
  void Serve();

  QLocalServer* server_;
};

// From a second start: hands `path` (absolute, or empty) to the running
// instance. True once it has said it took it; false when no instance
// answered within `timeoutMilliseconds`.
bool HandToRunningInstance(const std::filesystem::path& lockPath, const QString& path,
                           int timeoutMilliseconds = 5000);

}  // namespace tallowin

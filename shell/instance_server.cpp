#include "shell/instance_server.h"

#include <memory>

#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

constexpr char kTaken[] = "taken\n";
// A path is one line; nothing longer is read from whoever connects.
constexpr qint64 kLongestLine = 64 * 1024;

}  // namespace

std::filesystem::path ChannelPath(const std::filesystem::path& lockPath) {
  std::filesystem::path socket = lockPath;
  socket.replace_extension(".socket");
  return socket;
}

InstanceServer::InstanceServer(const std::filesystem::path& lockPath, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  const QString name = QStringFromPath(ChannelPath(lockPath));
  // Only this user may connect.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // The lock is ours, so a socket file there is a dead instance's.
  if (!server_->listen(name) && server_->serverError() == QAbstractSocket::AddressInUseError) {
    QLocalServer::removeServer(name);
    server_->listen(name);
  }
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Serve);
}

bool InstanceServer::Listening() const { return server_->isListening(); }

void InstanceServer::Serve() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestLine) socket->abort();
        return;
      }
      const QString path = QUrl::fromPercentEncoding(socket->readLine(kLongestLine).chopped(1));
      socket->write(kTaken);
      socket->flush();
      socket->disconnectFromServer();
      emit fileHanded(path);
    });
  }
}

bool HandToRunningInstance(const std::filesystem::path& lockPath, const QString& path, int timeoutMilliseconds) {
  QLocalSocket socket;
  socket.connectToServer(QStringFromPath(ChannelPath(lockPath)));
  if (!socket.waitForConnected(timeoutMilliseconds)) return false;
  // Encoded, so that a name that holds a line break stays one line.
  socket.write(QUrl::toPercentEncoding(path) + '\n');
  if (!socket.waitForBytesWritten(timeoutMilliseconds)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMilliseconds)) return false;
  }
  return socket.readLine() == kTaken;
}

}  // namespace tallowin

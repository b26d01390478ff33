#include "shell/ui/InstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace fc {

namespace {

// Connecting and writing to another instance on this machine takes far less; a hung one is
// not waited for longer.
constexpr int kWaitMs = 300;
// Lines are short; anything longer is no line of ours.
constexpr qint64 kLongestLine = 64 * 1024;

} // namespace

InstanceChannel::InstanceChannel(const QString& directory, QObject* parent)
    : QObject(parent), dir_(directory), server_(new QLocalServer(this)) {
    if (!QDir().mkpath(dir_)) {
        return;
    }
    QFile::setPermissions(dir_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    static int count = 0;
    const QString name = QDir(dir_).filePath(
        QStringLiteral("%1-%2.sock").arg(QCoreApplication::applicationPid()).arg(++count));
    QLocalServer::removeServer(name);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(name)) {
        connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    }
}

InstanceChannel::~InstanceChannel() {
    const QString name = server_->fullServerName();
    server_->close();
    if (!name.isEmpty()) {
        QFile::remove(name);
    }
}

QString InstanceChannel::defaultDirectory() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) {
        base = QDir::tempPath();
    }
    return QDir(base).filePath(QStringLiteral("formconstructor"));
}

void InstanceChannel::accept() {
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            while (s->canReadLine()) {
                emit received(s->readLine(kLongestLine));
            }
            if (s->bytesAvailable() > kLongestLine) {
                s->abort();
            }
        });
    }
}

int InstanceChannel::broadcast(const QByteArray& line) {
    const QString own = server_->fullServerName();
    int reached = 0;
    const QStringList sockets =
        QDir(dir_).entryList({QStringLiteral("*.sock")}, QDir::System | QDir::Files);
    for (const QString& file : sockets) {
        const QString path = QDir(dir_).filePath(file);
        if (path == own) {
            continue;
        }
        QLocalSocket s;
        s.connectToServer(path);
        if (!s.waitForConnected(kWaitMs)) {
            if (s.error() == QLocalSocket::ConnectionRefusedError ||
                s.error() == QLocalSocket::ServerNotFoundError) {
                QFile::remove(path); // left by an instance that ended without closing it
            }
            continue;
        }
        s.write(line);
        if (s.waitForBytesWritten(kWaitMs)) {
            ++reached;
        }
        s.disconnectFromServer();
    }
    return reached;
}

} // namespace fc

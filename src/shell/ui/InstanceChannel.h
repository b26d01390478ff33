#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

namespace fc {

// Lines between the running instances of the program of one user. Each instance listens on a
// local socket of its own in a directory only that user can enter; a line sent goes to every
// other socket there. Sockets that no instance answers any more are removed.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // Listens in `directory` (made when missing). Without a place to listen the channel only
    // sends.
    explicit InstanceChannel(const QString& directory, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The user's runtime directory + "/formconstructor".
    static QString defaultDirectory();

    // Sends `line` to every other instance; the number of instances that took it.
    int broadcast(const QByteArray& line);

signals:
    void received(const QByteArray& line);

private:
    void accept();

    QString dir_;
    QLocalServer* server_;
};

} // namespace fc

#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
// How long a start waits for each step of the running program's answer.
constexpr int AnswerMs = 3000;
// Each message is one line: the file's path, empty for none; the answer
// "ok" says the running program has it.
constexpr char Ok[] = "ok\n";
constexpr qint64 LongestLine = 64 * 1024;
} // namespace

// The user's id and the folder's hash name the socket, so another user or
// another program folder has a program of its own; a folder reached through
// a link is the same folder.
SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent),
      name_(QString("kuMemo-%1-%2")
                .arg(geteuid())
                .arg(QString::fromLatin1(
                    QCryptographicHash::hash(QFileInfo(programFolder).canonicalFilePath().toUtf8(),
                                             QCryptographicHash::Sha1)
                        .toHex()
                        .left(16)))) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handedOver(const QString& file) {
    if (send(file))
        return true;
    if (listen())
        return false;
    // The name is taken: by a program that has only just begun to listen,
    // or left behind by one that ended abruptly.
    if (send(file))
        return true;
    QLocalServer::removeServer(name_);
    listen();
    return false;
}

// A program that took the line but is too busy to answer has the file all
// the same: it reads the line when it is free. Only a name that nobody
// serves is free for this start.
bool SingleInstance::send(const QString& file) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(AnswerMs))
        return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(AnswerMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(AnswerMs))
            return socket.state() == QLocalSocket::ConnectedState;
    return socket.readLine() == Ok;
}

bool SingleInstance::listen() {
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
    }
    return server_->listen(name_);
}

void SingleInstance::receive() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // A line no start sends is not waited for.
                if (socket->bytesAvailable() > LongestLine)
                    socket->abort();
                return;
            }
            const QString file = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(Ok);
            socket->flush();
            socket->disconnectFromServer();
            emit fileHandedOver(file);
        });
    }
}

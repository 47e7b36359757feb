#include "platform/SingleInstance.h"

#include "platform/Dialogs.h"
#include "platform/Texts.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {
// How long a start waits for the running program to answer, in all.
constexpr int AnswerMs = 5000;
// The running program greets each start; only a start it greeted sends its
// line, the file's path (empty for none), and "ok" says it has the file.
constexpr char Greeting[] = "kuMemo\n";
constexpr char Ok[] = "ok\n";
constexpr qint64 LongestLine = 64 * 1024;

// The user's runtime folder, which only the user may enter and which ends
// with the session; without one, the user's cache folder.
QString runtimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir())
        return xdg;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir().mkpath(folder);
    }
    return folder;
}

// The user's id and the folder's hash name the lock and the socket, so
// another user or another program folder has a program of its own; a
// folder reached through a link is the same folder.
QString instanceName(const QString& programFolder) {
    const QByteArray folder = QFileInfo(programFolder).canonicalFilePath().toUtf8();
    return runtimeFolder() +
           QString("/kuMemo-%1-%2")
               .arg(geteuid())
               .arg(QString::fromLatin1(
                   QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)));
}

bool readLine(QLocalSocket& socket, const QDeadlineTimer& deadline, QByteArray& line) {
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    line = socket.readLine();
    return true;
}
} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), serverName_(instanceName(programFolder) + ".socket"),
      lock_(instanceName(programFolder) + ".lock") {
    // Held as long as the program runs: only a program that has ended
    // leaves its lock to the next start.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock, so that the next first program
    // finds no socket of this one.
    delete server_;
}

bool SingleInstance::handedOver(const QString& file) {
    const QDeadlineTimer deadline(AnswerMs);
    if (lock_.tryLock(0)) {
        serve();
        return false;
    }
    // No lock can be made (no runtime folder to write in): this program
    // goes on alone, as it cannot tell whether another runs.
    if (lock_.error() != QLockFile::LockFailedError)
        return false;
    if (send(file, deadline))
        return true;
    // A lock that names no program is one left half-made by a start that
    // ended at once; one that names a program is that program's.
    qint64 pid = 0;
    if (!lock_.getLockInfo(&pid, nullptr, nullptr) && lock_.removeStaleLockFile() &&
        lock_.tryLock(0)) {
        serve();
        return false;
    }
    tellNoAnswer();
    return false;
}

// A program that has only just taken the lock may not listen yet: the
// start tries again until its time is up. A program that greeted the start
// and took its line has the file even when it is slow to say so.
bool SingleInstance::send(const QString& file, const QDeadlineTimer& deadline) const {
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    QByteArray line;
    if (!readLine(socket, deadline, line) || line != Greeting)
        return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(AnswerMs))
        return false;
    if (!readLine(socket, QDeadlineTimer(AnswerMs), line))
        return socket.state() == QLocalSocket::ConnectedState;
    return line == Ok;
}

// Only the holder of the lock listens, so of two starts that find a socket
// left by a program that ended abruptly, one removes it and listens.
void SingleInstance::serve() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
    QLocalServer::removeServer(serverName_);
    server_->listen(serverName_);
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
        socket->write(Greeting);
        socket->flush();
    }
}

void SingleInstance::tellNoAnswer() {
    qint64 pid = 0;
    QString host;
    const QString who = lock_.getLockInfo(&pid, &host, nullptr)
                            ? u("(ﾌﾟﾛｾｽ番号 %1、ｺﾝﾋﾟｭｰﾀ名 %2)").arg(pid).arg(host)
                            : QString();
    Dialogs::message(u("すでに起動しているくう・めも%1が応答しません。\r\n"
                       "このくう・めもをそのまま起動します。")
                         .arg(who),
                     u("警告"), Dialogs::Icon::Exclamation);
}

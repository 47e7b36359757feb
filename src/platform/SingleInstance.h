#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QDeadlineTimer;
class QLocalServer;

// One program per user and program folder. The first start takes a lock
// in the user's runtime folder and serves the starts after it on a socket
// beside the lock that only the user may open; a second start hands its
// question file to it and ends, so that only one program holds a
// learner's records. A first program that does not answer within a few
// seconds is named to the learner, and the second start goes on with its
// file itself.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a program already running for this folder took `file`
    // (empty: it only comes to the front). False when this program goes
    // on: as the first, which then serves the starts after it, or beside a
    // first that did not answer.
    bool handedOver(const QString& file);

    // Where the lock and the socket are.
    QString lockFileName() const { return lock_.fileName(); }
    const QString& serverName() const { return serverName_; }

  signals:
    void fileHandedOver(const QString& file);

  private:
    bool send(const QString& file, const QDeadlineTimer& deadline) const;
    void serve();
    void receive();
    void tellNoAnswer();

    const QString serverName_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};

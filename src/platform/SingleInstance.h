#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One program per user and program folder. A second start hands its
// question file to the program already running and ends, so that only one
// program holds a learner's records; the first opens the file.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a program already running for this folder took `file`
    // (empty: it only comes to the front). False when this program is the
    // first; it then serves the starts after it.
    bool handedOver(const QString& file);

  signals:
    void fileHandedOver(const QString& file);

  private:
    bool send(const QString& file) const;
    bool listen();
    void receive();

    QString name_;
    QLocalServer* server_ = nullptr;
};

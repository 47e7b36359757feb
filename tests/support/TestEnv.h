#pragma once

#include <QString>
#include <QTemporaryDir>

// Keeps a test away from the user's real settings and folders: a fresh
// program folder and settings file per test, dialogs recorded, not shown.
class TestEnv {
  public:
    TestEnv();
    ~TestEnv();
    QString folder() const; // ends with a separator
    QString path(const QString& name) const { return folder() + name; }
    void writeFile(const QString& name, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
};

// The whole file, empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// "…" from UTF-8 source text, for readable test tables.
inline QString u8(const char* text) {
    return QString::fromUtf8(text);
}

class QWidget;
// Types text as key presses, also characters no key of the test keyboard has.
void typeText(QWidget* widget, const QString& text);

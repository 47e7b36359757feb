#include "support/TestEnv.h"

#include "data/AppGlobals.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

TestEnv::TestEnv() {
    QStandardPaths::setTestModeEnabled(true);
    ProgramFolder::overrideForTests(dir_.path());
    SettingsStore::useFileForTests(dir_.path() + "/settings.ini");
    Dialogs::clearRecords();
    Dialogs::setAnswerUnqueuedByDefault(true);
    appGlobals() = AppGlobals{};
}

TestEnv::~TestEnv() {
    ProgramFolder::overrideForTests({});
    Dialogs::clearRecords();
}

QString TestEnv::folder() const {
    return dir_.path() + QDir::separator();
}

void TestEnv::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#include <QTest>

void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        if (c == '\n')
            QTest::keyClick(widget, Qt::Key_Return);
        else if (c.unicode() < 0x80 && c.isPrint())
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overridden() {
    static QString folder;
    return folder;
}
QString withSeparator(QString folder) {
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}
} // namespace

namespace ProgramFolder {

// The folder the build installs the program into is the system's, shared by
// every user (/usr/bin for the package): even where it is writable (for
// root) the learner's files go to the user's folder, where the package
// manager never takes them away.
bool usesOwnFolder(const QString& exeFolder) {
    return !exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable() &&
           QDir(exeFolder) != QDir(KUMEMO_INSTALLED_BINDIR);
}

QString locate() {
    if (!overridden().isEmpty())
        return withSeparator(overridden());
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (usesOwnFolder(exeFolder))
        return withSeparator(exeFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return withSeparator(data);
}

void overrideForTests(const QString& folder) {
    overridden() = folder;
}

// A file already there stays: copying never overwrites.
void provideSample(const QString& folder, const QString& name) {
    QFile::copy(QCoreApplication::applicationDirPath() + "/" KUMEMO_SAMPLES_FROM_BIN "/" + name,
                withSeparator(folder) + name);
}

QString fileNamePart(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return slash < 0 ? path : path.mid(slash + 1);
}

bool isNetworkPath(const QString& path) {
    return path.startsWith("//") || path.startsWith("\\\\");
}

} // namespace ProgramFolder

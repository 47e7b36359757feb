#include "support/SaveFaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool writeProcFile(const char* path, const QByteArray& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return written;
}

// True while the process has a file in `folder` open for writing.
bool writesInto(qint64 pid, const QString& folder) {
    const QString proc = QString("/proc/%1/").arg(pid);
    const QDir fds(proc + "fd");
    for (const QString& fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char link[4096];
        const ssize_t length = ::readlink(qPrintable(fds.filePath(fd)), link, sizeof link);
        if (!QString::fromLocal8Bit(link, std::max<ssize_t>(length, 0)).startsWith(folder))
            continue;
        // "flags:" is followed by the open flags in octal.
        QFile fdinfo(proc + "fdinfo/" + fd);
        const QByteArray info = fdinfo.open(QIODevice::ReadOnly) ? fdinfo.readAll() : QByteArray();
        const qsizetype at = info.indexOf("flags:");
        const int flags =
            info.mid(at + 6, info.indexOf('\n', at) - at - 6).trimmed().toInt(nullptr, 8);
        if (at >= 0 && (flags & O_ACCMODE) != O_RDONLY)
            return true;
    }
    return false;
}

} // namespace

bool enterOwnMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        // Without root, a user namespace makes the test root of its mounts.
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray gid = QByteArray::number(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", uid + ' ' + uid + " 1") ||
            !writeProcFile("/proc/self/gid_map", gid + ' ' + gid + " 1"))
            return false;
    }
    // Mounts made here must not travel back to the machine's namespace.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

SmallFileSystem::SmallFileSystem(const QString& folder, const QByteArray& size) : folder_(folder) {
    QDir().mkpath(folder);
    mounted_ = ::mount("tmpfs", qPrintable(folder), "tmpfs", MS_NOSUID | MS_NODEV,
                       ("size=" + size).constData()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_)
        ::umount2(qPrintable(folder_), MNT_DETACH);
}

bool SmallFileSystem::makeReadOnly() {
    return ::mount(nullptr, qPrintable(folder_), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

ChildSave killWhileWriting(const QStringList& arguments, const QString& folder,
                           const QString& tempFolder) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", tempFolder);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted())
        return ChildSave::Failed;
    while (child.state() == QProcess::Running) {
        if (writesInto(child.processId(), folder)) {
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished(-1);
            return ChildSave::Killed;
        }
        QTest::qWait(1);
    }
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 ? ChildSave::Finished
                                                                               : ChildSave::Failed;
}

// Saving a question file when the disk says no: a read-only folder, a full
// file system, the program killed in the middle of writing a large file.
// Afterwards the old file or the new one is there whole, never a torn one,
// the author is told what happened, and the document keeps its unsaved
// changes.
//
// The test runs in a mount namespace of its own and mounts small file
// systems there, so that a read-only folder stops even root (CI runs as
// root) and no mount is ever seen outside the test.

#include "data/ProtectedFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextBox.h"

#include "support/EditorFixture.h"
#include "support/FileMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool ownMounts = false;

bool writeProcFile(const char* path, const QByteArray& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return written;
}

// Must run while the process has a single thread.
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

// A small file system of its own at `folder`, for as long as the object lives.
class SmallFileSystem {
  public:
    SmallFileSystem(const QString& folder, const QByteArray& size) : folder_(folder) {
        QDir().mkpath(folder);
        mounted_ = ::mount("tmpfs", qPrintable(folder), "tmpfs", MS_NOSUID | MS_NODEV,
                           ("size=" + size).constData()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_)
            ::umount2(qPrintable(folder_), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount(nullptr, qPrintable(folder_), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    QString folder_;
    bool mounted_ = false;
};

// Types a question with a hint and stores it with "この問題を追加する".
void addQuestion(QWidget* editor, const QString& question, const QString& hint = {}) {
    control<QPushButton>(editor, "cmdClear")->click();
    control<RichTextBox>(editor, "txtMondai")->setText(question);
    control<RichTextBox>(editor, "txtHint")->setText(hint);
    control<QPushButton>(editor, "cmdAdd")->click();
}

// A question file of `records` questions whose explanations make it about
// `records` × 200 KB long.
QByteArray largeQuestionFile(int records) {
    const QByteArray explanation = "{\\rtf1 " + QByteArray(200 * 1024, 'x') + "\\par}";
    QByteArray file;
    for (int i = 0; i < records; ++i)
        file += "<Mondai key='q" + QByteArray::number(10000 + i) +
                "'><mondaibun>{\\rtf1 Q\\par}</mondaibun><kaitou count=0 type=1></kaitou>"
                "<hint></hint><kaisetsu>" +
                (i + 1 < records ? explanation : QByteArray()) + "</kaisetsu></Mondai>\r\n";
    return plainQuestionFile(file);
}

// The child process: the program opens the large file, gets one more
// question and saves it under the same name, until it is killed.
int saveLargeFile(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    EditorFixture f;
    openQuestionFile(f.editor, path);
    addQuestion(f.editor, "added");
    saveQuestionFileAs(f.editor, path);
    return Dialogs::shownMessages().last().title == u8("保存完了") ? 0 : 1;
}

// True while the process has a file in `folder` open for writing: the file
// the save writes, whatever its name.
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
        const QByteArray info = fileBytes(proc + "fdinfo/" + fd);
        const qsizetype at = info.indexOf("flags:");
        const int flags =
            info.mid(at + 6, info.indexOf('\n', at) - at - 6).trimmed().toInt(nullptr, 8);
        if (at >= 0 && (flags & O_ACCMODE) != O_RDONLY)
            return true;
    }
    return false;
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
  private slots:
    void refusedSave_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("reason"); // %1 is the path
        const QString notWritable = "Existing file %1 is not writable";
        const QString full = "No space left on device";
        QTest::newRow("read-only folder, plain") << "quiz.kmd" << QString() << true << notWritable;
        QTest::newRow("read-only folder, protected") << "quiz.kme"
                                                     << "pw" << true << notWritable;
        QTest::newRow("full disk, plain") << "quiz.kmd" << QString() << false << full;
        QTest::newRow("full disk, protected") << "quiz.kme"
                                              << "pw" << false << full;
    }
    void refusedSave() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, readOnly);
        QFETCH(QString, reason);
        if (!ownMounts)
            QSKIP("this machine lets the test mount no file system of its own");
        EditorFixture f;
        const QString folder = f.env.path("disk");
        SmallFileSystem disk(folder, "1m");
        QVERIFY(disk.mounted());
        const QString path = folder + "/" + name;
        addQuestion(f.editor, "first");
        control<QAction>(f.editor, "mnuSetupKMEpKMD")->setChecked(false);
        saveQuestionFileAs(f.editor, path, password);
        const QByteArray old = fileBytes(path);
        QVERIFY(!old.isEmpty());
        if (readOnly)
            QVERIFY(disk.makeReadOnly());

        // Each "あ" takes 8 bytes of RTF: far more than the disk holds.
        addQuestion(f.editor, "second", QString(200 * 1024, QChar(0x3042)));
        if (!password.isEmpty())
            whenModal([](QWidget* form) {
                QTest::mouseClick(form->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            });
        choose(f.editor, "mnuFileSave");
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QCOMPARE(told.text, u8("ﾌｧｲﾙに書き込めなかったため保存しませんでした。") + "\r\n" + path +
                                "\r\n" + reason.arg(path));
        QCOMPARE(told.title, u8("保存中止"));
        QCOMPARE(told.icon, Dialogs::Icon::Exclamation);
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QVERIFY(control<QAction>(f.editor, "mnuFileSave")->isEnabled());
        QCOMPARE(questionList(f.editor)->count(), 2);
    }

    void killedWhileSavingALargeFile() {
        TestEnv env;
        const QString folder = env.path("large");
        QDir().mkpath(folder);
        const QString path = folder + "/quiz.kmd";
        const QByteArray old = largeQuestionFile(150);

        // The save is over in a moment; a few tries catch it in the middle.
        bool caught = false;
        for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
            env.writeFile("large/quiz.kmd", old);
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("TMPDIR", env.folder());
            child.setProcessEnvironment(environment);
            child.start(QCoreApplication::applicationFilePath(), {"--save-large-file", path});
            QVERIFY(child.waitForStarted());
            while (child.state() == QProcess::Running && !caught) {
                caught = writesInto(child.processId(), folder);
                if (caught)
                    ::kill(pid_t(child.processId()), SIGKILL);
                else
                    QTest::qWait(1);
            }
            child.waitForFinished(-1);
            QVERIFY(caught || child.exitCode() == 0);

            // Old or new, the file is whole and opens with all its questions.
            const QByteArray now = fileBytes(path);
            QVERIFY(now == old || now.endsWith("</kuMemo-data>\r\n\r\n"));
            EditorFixture f;
            openQuestionFile(f.editor, path);
            QCOMPARE(questionList(f.editor)->count(), now == old ? 150 : 151);
        }
        QVERIFY2(caught, "the save was never caught in the middle");
    }
};

int main(int argc, char** argv) {
    ownMounts = enterOwnMountNamespace();
    if (argc == 3 && qstrcmp(argv[1], "--save-large-file") == 0)
        return saveLargeFile(argc, argv);
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TestSaveFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"

// Saving a question file when the disk says no: a read-only folder, a full
// file system, the program killed in the middle of writing a large file.
// Afterwards the old file or the new one is there whole, never a torn one,
// the author is told what happened, and the document keeps its unsaved
// changes.

#include "formats/ProtectedFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextBox.h"

#include "support/EditorFixture.h"
#include "support/FileMenu.h"
#include "support/SaveFaults.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

bool ownMounts = false;

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
            const ChildSave end =
                killWhileWriting({"--save-large-file", path}, folder, env.folder());
            QVERIFY(end != ChildSave::Failed);
            caught = end == ChildSave::Killed;

            // Old or new, the file is whole and opens with all its questions.
            const QByteArray now = fileBytes(path);
            QVERIFY(now == old || now.endsWith("</kuMemo-data>\r\n\r\n"));
            EditorFixture f;
            openQuestionFile(f.editor, path);
            QCOMPARE(questionList(f.editor)->count(), now == old ? 150 : 151);
        }
        QVERIFY2(caught, "the save was never caught in the middle");
    }

    // A save chosen at shutdown that did not happen keeps the program open
    // with the work unsaved, and says so; one that happened lets it end.
    void shutdownSave_data() {
        QTest::addColumn<QString>("name"); // "" cancels the file dialog
        QTest::addColumn<bool>("ends");
        QTest::newRow("dialog cancelled") << QString() << false;
        QTest::newRow("password left empty") << "quiz.kme" << false;
        QTest::newRow("write error") << "missing/quiz.kmd" << false;
        QTest::newRow("protected write error") << "missing/quiz.kme" << false;
        QTest::newRow("saved") << "quiz.kmd" << true;
    }
    void shutdownSave() {
        QFETCH(QString, name);
        QFETCH(bool, ends);
        EditorFixture f;
        addQuestion(f.editor, "first");
        // A password for the file that cannot be written, none for the other.
        if (name.endsWith(".kme"))
            whenModal([name](QWidget* form) {
                if (name.startsWith("missing/"))
                    for (const char* box : {"txtP1", "txtP2"})
                        form->findChild<QLineEdit*>(box)->setText("secret");
                QTest::mouseClick(form->findChild<QPushButton*>(
                                      name.startsWith("missing/") ? "cmdOK" : "cmdCancel"),
                                  Qt::LeftButton);
            });
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        Dialogs::setNextFileName(name.isEmpty() ? name : f.env.path(name));
        f.editor->close();
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QCOMPARE(told.title == u8("終了中止"), !ends);
        QCOMPARE(f.editor->isVisible(), !ends);
        QCOMPARE(f.main->document().needsSaving(), !ends);
        if (ends)
            return;
        QCOMPARE(told.text, u8("問題ﾌｧｲﾙが保存されていないため、終了を取り消しました。"));
        QCOMPARE(questionList(f.editor)->count(), 1);
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

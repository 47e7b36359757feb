#include "ExampleFiles.h"

#include "data/QuestionRecord.h"
#include "formats/ProtectedFile.h"
#include "learner/QuestionFilter.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/RtfReader.h"
#include "learner/MarkDefinitions.h"
#include "learner/QuestionFilter.h"

#include "support/EditorFixture.h"
#include "support/Modal.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {
QString committed(const char* name) {
    return QString(KUMEMO_EXAMPLES "/") + name;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList recordsOf(ListView* list) {
    QStringList records;
    for (int row = 1; row <= list->count(); ++row)
        records << list->subItem(row, 1);
    return records;
}

// The records of the committed plain file as the editor loads them.
QStringList plainRecords() {
    EditorFixture f;
    Dialogs::setNextFileName(committed(ExampleFiles::QuestionFileName));
    f.editor->mnuFileOpen_Click();
    return recordsOf(f.editor->lstMondai);
}
} // namespace

class TestExamples : public QObject {
    Q_OBJECT
  private slots:
    void generatorGivesTheCommittedBytes_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QString(ExampleFiles::QuestionFileName);
        QTest::newRow("protected") << QString(ExampleFiles::ProtectedFileName);
        QTest::newRow("marks") << QString(ExampleFiles::MarkFileName);
    }

    void generatorGivesTheCommittedBytes() {
        QFETCH(QString, name);
        QTemporaryDir first;
        QTemporaryDir second;
        QString error;
        QVERIFY2(ExampleFiles::write(first.path(), &error), qPrintable(error));
        QVERIFY2(ExampleFiles::write(second.path(), &error), qPrintable(error));
        const QByteArray bytes = readAll(first.filePath(name));
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(readAll(second.filePath(name)), bytes);
        QVERIFY2(readAll(committed(qPrintable(name))) == bytes,
                 "examples/ is out of date: run make_examples (see README.md)");
    }

    void markFileIsCodePage932WithCrLf() {
        QCOMPARE(readAll(committed(ExampleFiles::MarkFileName)),
                 QByteArray("Level=1:\x81\x9d\r\nLevel=2:\x81\x9b\r\nLevel=3:\x81\xa2\r\n"
                            "Level=4:\x81\x7e\r\nCorrect=1\r\nWrong=4\r\nHint=3\r\n"));
        MarkDefinitions marks;
        readMarkDefinitionFile(QString(KUMEMO_EXAMPLES "/"), marks);
        QCOMPARE(marks.marks, QStringList({u8("◎"), u8("○"), u8("△"), u8("×")}));
        QCOMPARE(marks.table.text(marks.table.find("keyCorrect")), u8("◎"));
        QCOMPARE(marks.table.text(marks.table.find("keyWrong")), u8("×"));
        QCOMPARE(marks.table.text(marks.table.find("keyHint")), u8("△"));
        const QStringList filters = filterItems(marks.marks);
        QVERIFY(filters.contains(u8("ﾏｰｸが\"◎\"を選ぶ")));
        QVERIFY(filters.contains(u8("ﾏｰｸが\"○\"以下を選ぶ")));
        QVERIFY(filters.contains(u8("ﾏｰｸが\"×\"を選ぶ")));
    }

    void sampleOpensInTheEditor() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        Dialogs::setNextFileName(committed(ExampleFiles::QuestionFileName));
        e->findChild<QAction*>("mnuFileOpen")->trigger();
        QVERIFY(Dialogs::shownMessages().isEmpty());

        QCOMPARE(e->lstMondai->count(), 8);
        QCOMPARE(f.main->lstMondai->count(), 8);
        QSet<QChar> types;
        for (const QString& record : recordsOf(e->lstMondai)) {
            const QChar type = recordAnswerType(record);
            types.insert(type);
            const QList<RecordChoice> choices = recordChoices(record);
            int correct = 0;
            for (const RecordChoice& choice : choices)
                correct += choice.correct ? 1 : 0;
            if (type == '1') {
                QVERIFY(choices.size() >= 3 && choices.size() <= 4);
                QCOMPARE(correct, 1);
            } else if (type == '2') {
                QVERIFY(correct >= 2 && correct < choices.size());
            } else {
                // A typed answer: one answer on one line.
                QCOMPARE(choices.size(), 1);
                QVERIFY(!Rtf::toPlainText(choices.first().rtf).contains('\n'));
            }
        }
        QCOMPARE(types, QSet<QChar>({'1', '2', '3'}));
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(e->lstMondai->key(row), QString("kmQ0%1").arg(row));
        QCOMPARE(f.main->lstMondai->text(1), u8("日本で一番高い山はどれですか。"));

        const DocumentProperties& g = f.main->document().properties();
        QCOMPARE(g.title, u8("くう・めも サンプル問題集"));
        QCOMPARE(g.subject, u8("日本の地理・歴史と漢字の読み"));
        QCOMPARE(g.version, QString("1.0"));
        QCOMPARE(g.namae, u8("くう・めも"));
        QCOMPARE(g.comment, u8("はじめての方のためのサンプルです。\r\n"
                               "問題ﾌｧｲﾙ作成ﾓｰﾄﾞで自由に書き換えてみて下さい。"));
        QCOMPARE(g.cdate, u8("2025/04/01(火) 09:00:00"));
        QCOMPARE(g.mdate, u8("2025/04/14(月) 18:30:15"));
        QCOMPARE(e->statusPanel1->text(),
                 u8("『くう・めも サンプル問題集 <日本の地理・歴史と漢字の読み>』(by くう・めも)"));

        // The styled words come back in the boxes.
        e->lstMondai->setSelectedRow(1);
        e->lstMondai_Click();
        e->txtMondai->setSelStart(3);
        e->txtMondai->setSelLength(4);
        QVERIFY(e->txtMondai->selBold());
        QCOMPARE(e->txtMondai->selFontName(), u8("ＭＳ ゴシック"));
        QCOMPARE(e->txtMondai->selFontSize(), 9.0);
        e->txtKaisetsu->setSelStart(e->txtKaisetsu->text().indexOf("3776"));
        e->txtKaisetsu->setSelLength(4);
        QCOMPARE(e->txtKaisetsu->selColor(), QColor(255, 0, 0));
    }

    // Run mode opens the protected twin without asking; the editor then asks
    // for the password the README gives.
    void protectedTwinOpensWithTheReadmePassword() {
        const QStringList records = plainRecords();
        QCOMPARE(records.size(), 8);

        TestEnv env;
        frmMain main;
        main.show();
        Dialogs::setNextFileName(committed(ExampleFiles::ProtectedFileName));
        main.findChild<QAction*>("mnuFileOpen")->trigger();
        QVERIFY(Dialogs::shownMessages().isEmpty());
        QCOMPARE(main.lstMondai->count(), 8);
        QCOMPARE(recordsOf(main.sakusei()->lstMondai), records);
        QVERIFY(main.document().isLocked());

        const ProtectedFile::Content content =
            ProtectedFile::parse(readAll(committed(ExampleFiles::ProtectedFileName)));
        QCOMPARE(content.status, ProtectedFile::Status::Ok);
        QCOMPARE(content.password, QString(ExampleFiles::Password));
        QCOMPARE(content.text + "\r\n",
                 Codepage::decode(readAll(committed(ExampleFiles::QuestionFileName))));

        int asked = 0;
        whenModal([&asked](QWidget* form) {
            ++asked;
            QCOMPARE(form->objectName(), QString("frmProtect"));
            typeAndPress(form, {"txtPassword", "kumemo"}, "cmdOK");
        });
        main.findChild<QAction*>("mnuToolSakusei")->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(!main.document().isLocked());
        QVERIFY(main.sakusei()->isVisible());
    }
};

QTEST_MAIN(TestExamples)
#include "tst_examples.moc"

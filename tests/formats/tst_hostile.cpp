// Files made to hurt the reader: huge, many, deep, cut or strange. Each
// opens in the editor with a clear message or with what it holds, in
// reasonable time, and what was read saves back unchanged.

#include "formats/ProtectedFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"

#include "support/EditorFixture.h"
#include "support/FileMenu.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray record(const QByteArray& key, const QByteArray& question,
                  const QByteArray& choices = {}) {
    return "<Mondai key='" + key + "'><mondaibun>{\\rtf1 " + question +
           "\\par}</mondaibun><kaitou count=0 type=2>" + choices +
           "</kaitou><hint></hint><kaisetsu></kaisetsu></Mondai>\r\n";
}

QStringList keysOf(QWidget* editor) {
    const auto* list = control<ListView>(editor, "lstMondai");
    QStringList keys;
    for (int row = 1; row <= list->count(); ++row)
        keys << list->key(row);
    return keys;
}

QString lastText() {
    return Dialogs::shownMessages().isEmpty() ? QString() : Dialogs::shownMessages().last().text;
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
  private slots:
    void randomBytes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << "random.kmd" << u8("このﾌｧｲﾙはkuMemoのﾃﾞｰﾀﾌｧｲﾙではありません");
        QTest::newRow("protected")
            << "random.kme" << u8("このﾌｧｲﾙはkuMemoの保護付ﾃﾞｰﾀﾌｧｲﾙではありません");
    }
    void randomBytes() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        EditorFixture f;
        QByteArray bytes(200 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(12).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        f.env.writeFile(name, bytes);
        bytes.clear();
        openQuestionFile(f.editor, f.env.path(name));
        QCOMPARE(lastText(), message);
        QCOMPARE(questionList(f.editor)->count(), 0);
    }

    void hundredThousandRecords() {
        EditorFixture f;
        QByteArray records;
        for (int i = 0; i < 100000; ++i)
            records += record("k" + QByteArray::number(i), "q" + QByteArray::number(i));
        f.env.writeFile("many.kmd", plainQuestionFile(records));
        openQuestionFile(f.editor, f.env.path("many.kmd"));
        QCOMPARE(Dialogs::shownMessages().size(), 0);
        ListView* list = questionList(f.editor);
        QCOMPARE(list->count(), 100000);
        QCOMPARE(f.main->lstMondai->count(), 100000);
        QCOMPARE(list->text(100000), QString("q99999"));
        QVERIFY(list->isRowSelected(100000));
        QVERIFY(list->viewport()->rect().contains(
            list->visualRect(list->model()->index(99999, 0)).center()));

        // Saved again, the records are there unchanged and in order.
        saveQuestionFileAs(f.editor, f.env.path("again.kmd"));
        QCOMPARE(lastText(), u8("保存(標準ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        QVERIFY(fileBytes(f.env.path("again.kmd")).contains("</dataprop>\r\n" + records));
    }

    void tenThousandChoices() {
        EditorFixture f;
        QByteArray choices;
        for (int i = 0; i < 10000; ++i)
            choices += QByteArray("<sentakushi isSeikai=") + (i % 2 ? "False" : "True") +
                       ">{\\rtf1 c" + QByteArray::number(i) + "\\par}</sentakushi>";
        f.env.writeFile("choices.kmd", plainQuestionFile(record("many", "q", choices)));
        openQuestionFile(f.editor, f.env.path("choices.kmd"));
        const auto* answers = control<ListView>(f.editor, "lstKaitou");
        QCOMPARE(answers->count(), 10000);
        QCOMPARE(answers->text(1), u8("○"));
        QCOMPARE(answers->text(10000), u8("×"));
        QCOMPARE(answers->subItem(10000, 1), QString("c9999"));
    }

    void strangeKeysStayAsTheyAre() {
        EditorFixture f;
        const QStringList keys{"a/b",      "..\\..\\x", "/etc/passwd", "c:\\con",
                               "\x01\x7f", "a\tb",      "a\r\nb",      u8("問題／１")};
        QByteArray records;
        for (const QString& key : keys)
            records += record(Codepage::encode(key), "q");
        f.env.writeFile("keys.kmd", plainQuestionFile(records));
        openQuestionFile(f.editor, f.env.path("keys.kmd"));
        QCOMPARE(keysOf(f.editor), keys);

        saveQuestionFileAs(f.editor, f.env.path("again.kmd"));
        QVERIFY(fileBytes(f.env.path("again.kmd")).contains("</dataprop>\r\n" + records));
        QCOMPARE(QDir(f.env.folder()).entryList(QDir::Files),
                 (QStringList{"again.kmd", "keys.kmd", "settings.ini"}));
    }

    void cutFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray records = record("one", "\\'82\\'a0") + record("two", "\\'82\\'a2");
        const QByteArray plain =
            plainQuestionFile(records + record(Codepage::encode(u8("三問")), "c"));
        QTest::newRow("plain, in a double-byte character")
            << "cut.kmd" << plain.left(plain.indexOf(Codepage::encode(u8("三"))) + 1);
        const QByteArray whole = ProtectedFile::compose(
            "", Codepage::decode(plainQuestionFile(records + record("three", "c"))));
        QTest::newRow("protected, in a character")
            << "cut.kme" << whole.left(whole.size() - 2 * 30 - 1);
    }
    void cutFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        EditorFixture f;
        f.env.writeFile(name, bytes);
        openQuestionFile(f.editor, f.env.path(name));
        QCOMPARE(keysOf(f.editor), (QStringList{"one", "two"}));
        QCOMPARE(questionList(f.editor)->text(2), u8("い"));
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"

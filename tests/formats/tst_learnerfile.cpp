#include "formats/LearnerFile.h"
#include "learner/Learners.h"
#include "learner/ListRows.h"
#include "learner/Statistics.h"
#include "platform/Codepage.h"
#include "platform/KeyedTable.h"
#include "platform/ListView.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// "key=correct|answered|level" per record, in table order.
QStringList listed(const LearnerRecords& records) {
    QStringList rows;
    for (int row = 1; row <= records.count(); ++row) {
        const LearnerRecord r = records.record(row);
        rows << records.key(row) + "=" + r.correct + "|" + r.answered + "|" + r.level;
    }
    return rows;
}

LearnerRecords read(const QByteArray& bytes) {
    LearnerRecords records;
    readLearnerRecords(bytes, records);
    return records;
}

// Marks A, B, C at levels 1, 2, 3, as a mark definition file gives them.
KeyedTable threeMarks() {
    KeyedTable table(Qt::CaseInsensitive);
    for (const auto& [level, mark] : {std::pair{"1", "A"}, {"2", "B"}, {"3", "C"}}) {
        table.add(QString("key") + level, mark);
        table.add(QString("str") + mark, level);
    }
    return table;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QString Id = "616262631263"; // "abc"

} // namespace

class TestLearnerFile : public QObject {
    Q_OBJECT
  private slots:
    void readsLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("records");

        QTest::newRow("three fields") << QByteArray("<u-616262631263:k7Pq2 value='3:4:2'/>\r\n")
                                      << QStringList{"616262631263:k7Pq2=3|4|2"};
        QTest::newRow("one field")
            << QByteArray("<u-x:k value='3'/>\r\n") << QStringList{"x:k=3||"};
        QTest::newRow("further fields ignored")
            << QByteArray("<u-x:k value='3:4:2:x'/>\r\n") << QStringList{"x:k=3|4|2"};
        QTest::newRow("empty fields")
            << QByteArray("<u-x:k value='::'/>\r\n") << QStringList{"x:k=||"};
        QTest::newRow("no value part")
            << QByteArray("<u-x:k vale='1:1:'/>\r\n<u-x:m/>\r\n") << QStringList{};
        QTest::newRow("key without a blank") << QByteArray("<u-x:k\r\n<u-\r\n") << QStringList{};
        QTest::newRow("empty value") << QByteArray("<u-x:k value=''/>\r\n") << QStringList{};
        QTest::newRow("value not closed") << QByteArray("<u-x:k value='1:2:3\r\n") << QStringList{};
        QTest::newRow("empty key") << QByteArray("<u- value='1:1:'/>\r\n") << QStringList{};
        QTest::newRow("not at the line's start")
            << QByteArray(" <u-x:k value='1:1:'/>\r\n<U-x:m value='1:1:'/>\r\n") << QStringList{};
        QTest::newRow("quote inside the value")
            << QByteArray("<u-x:k value='1'x:2:'/>\r\n<u-x:m value='' '/>\r\n")
            << QStringList{"x:k=1'x|2|", "x:m=' ||"};
        QTest::newRow("value after other text")
            << QByteArray("<u-x:k junk value='5:6:'/>\r\n") << QStringList{"x:k=5|6|"};
        QTest::newRow("lone LF and CR end lines")
            << QByteArray("<u-x:a value='1:1:'/>\n<u-x:b value='2:2:'/>\r<u-x:c value='3:3:'/>")
            << QStringList{"x:a=1|1|", "x:b=2|2|", "x:c=3|3|"};
        QTest::newRow("a repeated key keeps the first")
            << QByteArray("<u-x:k value='1:1:'/>\r\n<u-x:k value='2:2:'/>\r\n")
            << QStringList{"x:k=1|1|"};
        QTest::newRow("code page 932 level") << QByteArray("<u-x:k value='1:1:\x82\x51'/>\r\n")
                                             << QStringList{"x:k=1|1|" + u8("２")};
    }
    void readsLines() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, records);
        QCOMPARE(listed(read(file)), records);
    }

    // The file after loading, changing one question's row as judging
    // leaves it and saving.
    void savesAfterUpdate_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("row"); // question key, columns 2 to 6
        QTest::addColumn<QByteArray>("after");

        const QByteArray two = "<u-616262631263:aaaaa value='3:4:2'/>\r\n"
                               "<u-9999:bbbbb value='1:1:'/>\r\n";
        QTest::newRow("new record appended, trimmed")
            << two << QStringList{"ccccc", "     1", "     1", "100.0%", "", u8("○")}
            << two + "<u-616262631263:ccccc value='1:1:'/>\r\n";
        QTest::newRow("new record with a mark")
            << QByteArray() << QStringList{"ccccc", "     0", "     1", "  0.0%", "C", u8("×")}
            << QByteArray("<u-616262631263:ccccc value='0:1:3'/>\r\n");
        QTest::newRow("counts replaced, mark changes the level")
            << two << QStringList{"aaaaa", "     4", "     5", " 80.0%", "A", u8("○")}
            << QByteArray("<u-616262631263:aaaaa value='4:5:1'/>\r\n"
                          "<u-9999:bbbbb value='1:1:'/>\r\n");
        QTest::newRow("no mark keeps the level")
            << two << QStringList{"aaaaa", "     3", "     5", " 60.0%", "", u8("×")}
            << QByteArray("<u-616262631263:aaaaa value='3:5:2'/>\r\n"
                          "<u-9999:bbbbb value='1:1:'/>\r\n");
        QTest::newRow("level without a mark kept, further fields dropped")
            << QByteArray("<u-616262631263:aaaaa value='3:4:7:x'/>\r\n")
            << QStringList{"aaaaa", "     4", "     5", " 80.0%", "Z", u8("○")}
            << QByteArray("<u-616262631263:aaaaa value='4:5:7'/>\r\n");
        QTest::newRow("key and level in code page 932")
            << QByteArray("<u-616262631263:\x96\xe2 value='1:1:\x82\x51'/>\r\n")
            << QStringList{u8("問"), "     1", "     2", " 50.0%", "", u8("×")}
            << QByteArray("<u-616262631263:\x96\xe2 value='1:2:\x82\x51'/>\r\n");
        QTest::newRow("long counts unpadded")
            << QByteArray("<u-616262631263:aaaaa value='999999:1234567:'/>\r\n")
            << QStringList{"aaaaa", "1000000", "1234568", " 81.0%", "", u8("○")}
            << QByteArray("<u-616262631263:aaaaa value='1000000:1234568:'/>\r\n");
    }
    void savesAfterUpdate() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, row);
        QFETCH(QByteArray, after);
        TestEnv env;
        const QString path = learnerFilePath(env.folder(), u8("ごんべえ"));
        env.writeFile(u8("ごんべえ.kmu"), before);
        LearnerRecords records;
        QVERIFY(loadLearnerFile(path, records).ok);
        updateRecord(records, makeFileId("/q/abc.kmd"), row.at(0),
                     RowStatistics::fromColumns(row.mid(1)), threeMarks());
        const LearnerFileOutcome saved = saveLearnerFile(path, records);
        QVERIFY(saved.ok);
        QCOMPARE(readAll(path), after);
    }

    // A record is written only under a key that reads back as itself; any
    // other could hand its results to the question the written key names.
    void keysTheFileCannotCarry_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("file");
        const QByteArray others = "<u-x:a value='2:2:'/>\r\n<u-x:a? value='3:3:'/>\r\n";
        QTest::newRow("Japanese") << u8("x:漢字")
                                  << "<u-x:\x8A\xBF\x8E\x9A value='1:1:'/>\r\n" + others;
        QTest::newRow("blank") << "x:a b" << others;
        QTest::newRow("line feed") << "x:q\n<u-x:a" << others;
        QTest::newRow("carriage return") << "x:q\r<u-x:a" << others;
        QTest::newRow("outside the code page") << u8("x:aé") << others;
        QTest::newRow("first character past ASCII") << QString("x:a") + QChar(0x80) << others;
        QTest::newRow("invalid byte read")
            << QString("x:a") + QChar::ReplacementCharacter << others;
    }
    void keysTheFileCannotCarry() {
        QFETCH(QString, key);
        QFETCH(QByteArray, file);
        LearnerRecords records;
        records.add(key, {"1", "1", ""});
        records.add("x:a", {"2", "2", ""});
        records.add("x:a?", {"3", "3", ""});
        QCOMPARE(composeLearnerFile(records), file);
    }

    // Another program wrote the file since this one read it: what this one
    // added to a record's counts is added to theirs, its mark replaces
    // theirs where it changed the mark, and the rest is theirs.
    void anotherProgramWroteTheFile_data() {
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("fields"); // what this program gives the record
        QTest::addColumn<QByteArray>("written");
        const QByteArray a = "<u-x:a value='1:1:'/>\r\n", b = "<u-x:b value='1:1:'/>\r\n";
        QTest::newRow("both changed one record")
            << "<u-x:a value='5:5:'/>\r\n" + b << "x:a" << QStringList{"     2", "     2", "1"}
            << "<u-x:a value='6:6:1'/>\r\n" + b;
        QTest::newRow("both answered, they marked")
            << "<u-x:a value='4:5:2'/>\r\n" + b << "x:a" << QStringList{"     1", "     3", ""}
            << "<u-x:a value='4:7:2'/>\r\n" + b;
        QTest::newRow("both marked")
            << "<u-x:a value='1:1:2'/>\r\n" + b << "x:a" << QStringList{"1", "1", "3"}
            << "<u-x:a value='1:1:3'/>\r\n" + b;
        QTest::newRow("a count of theirs that is no number")
            << "<u-x:a value='x:5:'/>\r\n" + b << "x:a" << QStringList{"2", "2", ""}
            << "<u-x:a value='2:6:'/>\r\n" + b;
        QTest::newRow("they added the record this one adds")
            << a + b + "<u-x:d value='3:4:1'/>\r\n"
            << "x:d" << QStringList{"0", "1", ""} << a + b + "<u-x:d value='3:5:1'/>\r\n";
        QTest::newRow("their records this one left keep their bytes, odd ones too")
            << "<u-x:a value='3'/>\r\n<u-x:c value='1:3:9:x'/>\r\n" + b << "x:b"
            << QStringList{"2", "2", ""}
            << QByteArray("<u-x:a value='3'/>\r\n<u-x:c value='1:3:9:x'/>\r\n"
                          "<u-x:b value='2:2:'/>\r\n");
        QTest::newRow("they changed one, this one another")
            << "<u-x:a value='5:5:'/>\r\n" + b << "x:b" << QStringList{"2", "2", ""}
            << QByteArray("<u-x:a value='5:5:'/>\r\n<u-x:b value='2:2:'/>\r\n");
        QTest::newRow("the same fields again are no change")
            << "<u-x:a value='5:5:'/>\r\n" + b << "x:a" << QStringList{"     1", "     1", ""}
            << "<u-x:a value='5:5:'/>\r\n" + b;
        QTest::newRow("both added records")
            << a + b + "<u-y:c value='3:3:'/>\r\n"
            << "x:d" << QStringList{"1", "1", ""}
            << a + b + "<u-y:c value='3:3:'/>\r\n<u-x:d value='1:1:'/>\r\n";
        QTest::newRow("the file emptied: nothing of this one is lost")
            << QByteArray() << "x:b" << QStringList{"1", "1", ""} << a + b;
    }
    void anotherProgramWroteTheFile() {
        QFETCH(QByteArray, theirs);
        QFETCH(QString, key);
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, written);
        TestEnv env;
        env.writeFile("a.kmu", "<u-x:a value='1:1:'/>\r\n<u-x:b value='1:1:'/>\r\n");
        LearnerRecords records;
        QVERIFY(loadLearnerFile(env.path("a.kmu"), records).ok);
        env.writeFile("a.kmu", theirs);
        const LearnerRecord record{fields.at(0), fields.at(1), fields.at(2)};
        if (const int row = records.find(key))
            records.setRecord(row, record);
        else
            records.add(key, record);
        QVERIFY(saveLearnerFile(env.path("a.kmu"), records).ok);
        QCOMPARE(readAll(env.path("a.kmu")), written);
        // What was written is what the program now holds.
        QCOMPARE(composeLearnerFile(records), written);
    }

    void missingFileIsNoRecords() {
        TestEnv env;
        LearnerRecords records = read("<u-x:k value='1:1:'/>\r\n");
        const LearnerFileOutcome loaded = loadLearnerFile(env.path("new.kmu"), records);
        QVERIFY(loaded.ok);
        QCOMPARE(records.count(), 0);
        QVERIFY(saveLearnerFile(env.path("new.kmu"), records).ok);
        QCOMPARE(readAll(env.path("new.kmu")), QByteArray());
    }

    void failuresAreReported() {
        TestEnv env;
        env.writeFile("blocker", "x");
        const QString path = env.path("blocker/a.kmu");
        LearnerRecords unsaved = read("<u-x:k value='1:1:'/>");
        const LearnerFileOutcome saved = saveLearnerFile(path, unsaved);
        QVERIFY(!saved.ok);
        QCOMPARE(saved.path, path);
        QVERIFY(!saved.reason.isEmpty());

        QDir(env.folder()).mkdir("folder.kmu");
        LearnerRecords records;
        const LearnerFileOutcome loaded = loadLearnerFile(env.path("folder.kmu"), records);
        QVERIFY(!loaded.ok);
        QVERIFY(!loaded.reason.isEmpty());
    }

    void fileId_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("id");
        QTest::newRow("abc") << "/home/k/abc.kmd"
                             << "616262631263";
        QTest::newRow("empty path") << ""
                                    << "00";
        QTest::newRow("extension only") << "/q/.kme"
                                        << "00";
        QTest::newRow("Windows folder") << "c:\\a\\test.kme"
                                        << "746573741C04";
        QTest::newRow("Linux folder") << "/d/b/test.kmd"
                                      << "746573741C04";
        QTest::newRow("last dot cuts") << "/x.y/a.b.c"
                                       << "612E2E62F13";
        QTest::newRow("Japanese in code page 932") << u8("/q/漢字.kmd") << "8ABF8E9A2714";
        QTest::newRow("short: whole hex twice") << u8("ｱ.kmd") << "B1B1B11";
        QTest::newRow("bytes below 16 without zero") << "\t"
                                                     << "9991";
        QTest::newRow("count in hex") << "abcdefghijklmnop"
                                      << "61626F7068810";
    }
    void fileId() {
        QFETCH(QString, path);
        QFETCH(QString, id);
        QCOMPARE(makeFileId(path), id);
    }

    void joinedColumns_data() {
        QTest::addColumn<QString>("value"); // the record's value, none when null
        QTest::addColumn<QStringList>("columns");
        const QString none;
        QTest::newRow("no record") << none << QStringList{"", "", "", "", ""};
        QTest::newRow("right once") << "1:1:" << QStringList{"     1", "     1", "100.0%", "", ""};
        QTest::newRow("one of three")
            << "1:3:2" << QStringList{"     1", "     3", " 33.3%", "B", ""};
        QTest::newRow("two of three")
            << "2:3:1" << QStringList{"     2", "     3", " 66.7%", "A", ""};
        QTest::newRow("none of two") << "0:2:" << QStringList{"     0", "     2", "  0.0%", "", ""};
        QTest::newRow("a hand-made negative count")
            << "-1:3:" << QStringList{"    -1", "     3", "-33.3%", "", ""};
        QTest::newRow("more right than answered")
            << "25:2:" << QStringList{"    25", "     2", "1250.0%", "", ""};
        QTest::newRow("half rounds up")
            << "1:16:" << QStringList{"     1", "    16", "  6.3%", "", ""};
        QTest::newRow("level without mark")
            << "1:2:7" << QStringList{"     1", "     2", " 50.0%", "", ""};
        QTest::newRow("correct only") << "3" << QStringList{"     3", "", "", "", ""};
        QTest::newRow("never answered, marked")
            << "0:0:1" << QStringList{"     0", "     0", "", "", ""};
        QTest::newRow("seven digits")
            << "1234567:1234567:" << QStringList{"1234567", "1234567", "100.0%", "", ""};
    }
    void joinedColumns() {
        QFETCH(QString, value);
        QFETCH(QStringList, columns);
        LearnerRecords records;
        if (!value.isNull())
            records = read(("<u-" + Id + ":k7Pq2 value='" + value + "'/>\r\n").toLatin1());
        records.add(recordKey("9999", "q"), {"1", "1", "1"}); // another file's question
        const KeyedTable marks = threeMarks();
        QCOMPARE(joinedStatistics(records, Id, "k7Pq2", marks).columns(), columns);
        QCOMPARE(joinedStatistics(records, Id, "q", marks).columns(),
                 QStringList({"", "", "", "", ""}));
    }

    void sameBaseNameSharesResults() {
        LearnerRecords records;
        const KeyedTable marks = threeMarks();
        updateRecord(records, makeFileId("c:\\a\\test.kme"), "k7Pq2",
                     {"     1", "     1", "100.0%", "B", u8("○")}, marks);
        const RowStatistics shown =
            joinedStatistics(records, makeFileId("/d/b/test.kmd"), "k7Pq2", marks);
        QCOMPARE(shown.columns(), QStringList({"     1", "     1", "100.0%", "B", ""}));
    }

    void swapKeepsRowsWhole() {
        ListView list;
        for (int i = 0; i < 6; ++i)
            list.addColumn(QString::number(i), 500);
        for (const QString key : {"first", "middle", "last"}) {
            const int row = list.add(key + " text");
            list.setKey(row, key);
            for (int column = 1; column <= 5; ++column)
                list.setSubItem(row, column, key + QString::number(column));
        }
        swapRows(list, 1, 3, 5);
        const QStringList order{"last", "middle", "first"};
        for (int row = 1; row <= 3; ++row) {
            const QString key = order.at(row - 1);
            QCOMPARE(list.key(row), key);
            QCOMPARE(list.find(key), row);
            QCOMPARE(list.text(row), key + " text");
            for (int column = 1; column <= 5; ++column)
                QCOMPARE(list.subItem(row, column), key + QString::number(column));
        }
    }

    void learnerNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString forbidden =
            u8("回答者名には次の文字は使えません\r\n　　\\ / : , ; * ? \" < > |");
        QTest::newRow("empty") << "" << u8("回答者名を入力して下さい");
        QTest::newRow("plain") << u8("ごんべえ") << "";
        QTest::newRow("dot and blanks") << " a.b "
                                        << "";
        QTest::newRow("ideographic space") << u8("山田　花子") << "";
        const QString eleven = "\\/:,;*?\"<>|";
        for (const QChar c : eleven)
            QTest::newRow(qPrintable("with " + QString(c))) << "a" + QString(c) + "b" << forbidden;
    }
    void learnerNames() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QCOMPARE(learnerNameError(name), message);
    }

    void learnersListedFromTheirFiles() {
        TestEnv env;
        for (const char* name : {"b.kmu", "a.kmu", "c.KMU", "d.kmu.bak", "e.kmd"})
            env.writeFile(name, "");
        env.writeFile(u8("ごんべえ.kmu"), "");
        QDir(env.folder()).mkdir("f.kmu");
        QCOMPARE(existingLearners(env.folder()), QStringList({"a", "b", u8("ごんべえ")}));
        QCOMPARE(learnerFilePath(env.folder(), "a"), env.path("a.kmu"));
        QCOMPARE(changeUserCaption("N"), u8("回答者の切り替え(現在：Nさん)(&U)"));
        QCOMPARE(currentLearnerStatus("N"), u8("現在の回答者は、Nさんです"));
    }
};

QTEST_MAIN(TestLearnerFile)
#include "tst_learnerfile.moc"

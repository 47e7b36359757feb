#include "data/QuestionDocument.h"

#include "support/DocumentRecords.h"
#include "support/TestEnv.h"

#include <QSignalSpy>
#include <QTest>

class TestQuestionDocument : public QObject {
    Q_OBJECT
  private slots:
    void recordsByKeyAfterChanges() {
        QuestionDocument d;
        for (const char* key : {"a", "b", "c", "d"})
            d.setRecord(key, key, record(key, key));
        d.setRecord("b", "B", "changed");
        d.remove("a");
        d.remove("missing");
        QCOMPARE(keysOf(d), (QStringList{"b", "c", "d"}));
        QCOMPARE(d.at(d.indexOf("b")).record, QString("changed"));
        d.moveRecord("d", 0);
        QCOMPARE(keysOf(d), (QStringList{"d", "b", "c"}));
        QCOMPARE(d.indexOf("c"), 2);
        QCOMPARE(d.indexOf("a"), -1);
        QVERIFY(!d.contains(d.makeUniqueKey()));
    }

    // What changes the file raises the flag; a new order of its records is
    // said but is no edit.
    void editsOfTheFile_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("raises");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("store") << "store" << true << QStringList{"k1", "k2", "k3"};
        QTest::newRow("store again") << "store again" << true << QStringList{"k1", "k2"};
        QTest::newRow("add") << "add" << true << QStringList{"k1", "k2", "k3", "k4"};
        QTest::newRow("remove") << "remove" << true << QStringList{"k2"};
        QTest::newRow("remove none") << "remove none" << false << QStringList{"k1", "k2"};
        QTest::newRow("properties") << "properties" << true << QStringList{"k1", "k2"};
        QTest::newRow("sort") << "sort" << false << QStringList{"k2", "k1"};
        QTest::newRow("move") << "move" << false << QStringList{"k2", "k1"};
        QTest::newRow("move none") << "move none" << false << QStringList{"k1", "k2"};
    }
    void editsOfTheFile() {
        QFETCH(QString, edit);
        QFETCH(bool, raises);
        QFETCH(QStringList, keys);
        QuestionDocument d;
        d.beginLoad("/tmp/q.kmd");
        d.appendLoadedRecord("k1", "B", record("k1", "B"));
        d.appendLoadedRecord("k2", "a", record("k2", "a"));
        d.endLoad();
        QSignalSpy reordered(&d, &QuestionDocument::recordsReordered);
        QSignalSpy stored(&d, &QuestionDocument::recordStored);
        if (edit == "store")
            d.setRecord("k3", "c", record("k3", "c"));
        else if (edit == "store again")
            d.setRecord("k1", "b", d.record("k1"));
        else if (edit == "add")
            d.addRecords({{"k3", "c", {}}, {"k4", "d", {}}});
        else if (edit == "remove")
            d.remove("k1");
        else if (edit == "remove none")
            d.remove("k9");
        else if (edit == "properties")
            d.setProperties(d.properties());
        else if (edit == "sort")
            d.sortByText();
        else if (edit == "move")
            d.moveRecord("k2", 0);
        else if (edit == "move none")
            d.moveRecord("k9", 0);
        QCOMPARE(d.hasUnsavedChanges(), raises);
        QCOMPARE(keysOf(d), keys);
        QCOMPARE(reordered.size(), int(edit == "sort" || edit == "move"));
        // Stored again, the first question is no new one.
        QCOMPARE(stored.size(), int(edit.startsWith("store")));
        if (!stored.isEmpty())
            QCOMPARE(stored.first().at(1).toBool(), edit == "store");
        for (const QString& key : keys)
            QCOMPARE(d.indexOf(key), keys.indexOf(key));
    }

    void unsavedFlagAndItsSignal() {
        QuestionDocument d;
        QSignalSpy changed(&d, &QuestionDocument::unsavedChanged);
        d.markEdited(); // no path: no flag, but the edits are not forgotten
        QVERIFY(!d.hasUnsavedChanges());
        QVERIFY(d.needsSaving());
        d.setPath("/tmp/q.kmd");
        d.lowerUnsavedFlag();
        QVERIFY(!d.needsSaving());
        d.keepUnsavedAfterFailure(); // the edits come back as unsaved
        QVERIFY(d.hasUnsavedChanges());
        d.markEdited();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toBool(), true);
        d.forgetUnsavedChanges();
        d.keepUnsavedAfterFailure(); // nothing edited since: stays saved
        QVERIFY(!d.hasUnsavedChanges());
        QCOMPARE(changed.size(), 2);
        d.markEdited();
        d.beginLoad("/tmp/other.kmd");
        QVERIFY(!d.needsSaving());
        QCOMPARE(d.path(), QString("/tmp/other.kmd"));
    }

    void passwordState() {
        QuestionDocument d;
        QVERIFY(!d.isLocked());
        d.setPasswords("pw", "pw");
        QVERIFY(d.isLocked());
        QVERIFY(!d.unlock("PW"));
        QVERIFY(!d.unlock("pw "));
        QVERIFY(d.isLocked());
        QVERIFY(d.unlock("pw"));
        QVERIFY(!d.isLocked());
        QCOMPARE(d.filePassword(), QString("pw"));
        d.setPasswords("", "");
        QVERIFY(!d.isLocked());
    }
};

QTEST_MAIN(TestQuestionDocument)
#include "tst_questiondocument.moc"

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
        d.reorder({"d", "b"});
        QCOMPARE(keysOf(d), (QStringList{"d", "b", "c"}));
        QCOMPARE(d.indexOf("c"), 2);
        QCOMPARE(d.indexOf("a"), -1);
        QVERIFY(!d.contains(d.makeUniqueKey()));
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

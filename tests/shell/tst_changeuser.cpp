#include "data/AppGlobals.h"
#include "formats/LearnerFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "shell/frmChangeUser.h"
#include "shell/frmMain.h"

#include "support/Controls.h"
#include "support/Modal.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>

namespace {
// The learner ごんべえ has answered question k1 of q.kmd three times.
struct Learning {
    TestEnv env;
    QString id = makeFileId("q.kmd");
    QByteArray gonbeRecords = "<u-" + id.toLatin1() + ":k1 value='2:3:'/>\r\n";
    std::unique_ptr<frmMain> window;

    Learning() {
        env.writeFile("q.kmd", "<kuMemo-data>\r\n<Mondai key='k1'><mondaibun>{\\rtf1 Q\\par}"
                               "</mondaibun></Mondai>\r\n</kuMemo-data>\r\n");
        env.writeFile(u8("ごんべえ.kmu"), gonbeRecords);
        window = std::make_unique<frmMain>();
        window->show();
        Dialogs::setNextFileName(env.path("q.kmd"));
        window->mnuFileOpen_Click();
    }
    QStringList columns() const { return statisticsColumns(window->lstMondai, 1); }
    // Opens the dialog from the File menu and answers it.
    void switchLearner(std::function<void(frmChangeUser*)> answer) {
        whenModal([answer](QWidget* modal) { answer(qobject_cast<frmChangeUser*>(modal)); });
        window->findChild<QAction*>("mnuChangeUser")->trigger();
    }
    QString menuCaption() {
        emit window->mnuFile->aboutToShow();
        return window->mnuChangeUser->text();
    }
};

void typeName(frmChangeUser* dialog, const QString& name) {
    dialog->Text1->clear();
    typeText(dialog->Text1, name);
}
} // namespace

class TestChangeUser : public QObject {
    Q_OBJECT
  private slots:
    // A new learner starts without results; the old one's are written to
    // the old file first. Menu and status bar name the new learner.
    void newLearner() {
        Learning l;
        l.window->lstMondai->setSubItem(1, 5, u8("○"));
        QCOMPARE(l.columns(), (QStringList{"     2", "     3", " 66.7%", "", u8("○")}));
        QPoint shownAt;
        QString typedAtFirst;
        l.switchLearner([&](frmChangeUser* dialog) {
            shownAt = dialog->pos();
            typedAtFirst = dialog->Text1->text();
            typeName(dialog, u8("花子"));
            QTest::keyClick(dialog->Text1, Qt::Key_Return);
        });
        QCOMPARE(shownAt, l.window->pos() + QPoint(Twips::toPixels(500), Twips::toPixels(500)));
        QCOMPARE(typedAtFirst, u8("ごんべえ"));
        QCOMPARE(appGlobals().learnerName, u8("花子"));
        QCOMPARE(SettingsStore::get("UserName", {}), u8("花子"));
        QCOMPARE(l.columns(), (QStringList{"", "", "", "", ""}));
        QCOMPARE(l.window->statusPanel1->text(), u8("現在の回答者は、花子さんです"));
        QCOMPARE(l.menuCaption(), u8("回答者の切り替え(現在：花子さん)(&U)"));
        QCOMPARE(fileBytes(l.env.path(u8("ごんべえ.kmu"))), l.gonbeRecords);
        QVERIFY(!QFile::exists(l.env.path(u8("花子.kmu"))));
    }

    // Each learner's results stay in the learner's own file: switching away
    // writes them, switching back reads the other file.
    void resultsStayWithTheirLearner() {
        Learning l;
        l.switchLearner([](frmChangeUser* dialog) {
            typeName(dialog, u8("花子"));
            QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        });
        l.window->session().learner().store("k1", {"     1", "     1", "", "", ""});
        QStringList listed;
        bool chosen = false;
        l.switchLearner([&](frmChangeUser* dialog) {
            for (int i = 0; i < dialog->Combo1->count(); ++i)
                listed << dialog->Combo1->itemText(i);
            dialog->Combo1->setCurrentIndex(0);
            emit dialog->Combo1->activated(0);
            chosen = dialog->Option1[1]->isChecked();
            QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        });
        QCOMPARE(listed, QStringList{u8("ごんべえ")});
        QVERIFY(chosen);
        QCOMPARE(appGlobals().learnerName, u8("ごんべえ"));
        QCOMPARE(l.columns(), (QStringList{"     2", "     3", " 66.7%", "", ""}));
        QCOMPARE(fileBytes(l.env.path(u8("花子.kmu"))),
                 "<u-" + l.id.toLatin1() + ":k1 value='1:1:'/>\r\n");
        QCOMPARE(fileBytes(l.env.path(u8("ごんべえ.kmu"))), l.gonbeRecords);
    }

    // A name that cannot be a learner's is refused with its message; the
    // dialog stays open with the name selected in the box it came from.
    void refusedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("message");
        const QString forbidden =
            u8("回答者名には次の文字は使えません\r\n　　\\ / : , ; * ? \" < > |");
        QTest::newRow("empty") << QString() << false << u8("回答者名を入力して下さい");
        QTest::newRow("typed a:b") << "a:b" << false << forbidden;
        QTest::newRow("existing x;y") << "x;y" << true << forbidden;
    }
    void refusedNames() {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        QFETCH(QString, message);
        Learning l;
        l.env.writeFile("x;y.kmu", "");
        QString selected;
        bool stayedOpen = false;
        bool focused = false;
        l.switchLearner([&](frmChangeUser* dialog) {
            // Choosing in the list, then typing, makes the typed name count.
            dialog->Combo1->setCurrentIndex(dialog->Combo1->findText(u8("x;y")));
            emit dialog->Combo1->activated(dialog->Combo1->currentIndex());
            if (!existing)
                typeName(dialog, name);
            QTest::mouseClick(dialog->Command1, Qt::LeftButton);
            stayedOpen = dialog->isVisible();
            QLineEdit* source = existing ? dialog->Combo1->lineEdit() : dialog->Text1;
            selected = source->selectedText();
            focused = dialog->focusWidget() ==
                      (existing ? static_cast<QWidget*>(dialog->Combo1) : source);
            QTest::mouseClick(dialog->Command2, Qt::LeftButton);
        });
        QVERIFY(stayedOpen);
        QCOMPARE(selected, name);
        QVERIFY(focused);
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QCOMPARE(told.text, message);
        QCOMPARE(told.title, u8("入力ｴﾗｰ"));
        QCOMPARE(told.icon, Dialogs::Icon::Exclamation);
        QCOMPARE(appGlobals().learnerName, u8("ごんべえ"));
        QCOMPARE(SettingsStore::get("UserName", {}), QString());
    }

    // Cancel changes nothing, but the status bar names the learner.
    void cancel() {
        Learning l;
        l.window->lstMondai->setSubItem(1, 5, u8("×"));
        l.switchLearner([](frmChangeUser* dialog) {
            typeName(dialog, u8("花子"));
            QTest::keyClick(dialog->Text1, Qt::Key_Escape);
        });
        QCOMPARE(appGlobals().learnerName, u8("ごんべえ"));
        QCOMPARE(SettingsStore::get("UserName", {}), QString());
        QCOMPARE(l.columns().last(), u8("×"));
        QCOMPARE(l.window->statusPanel1->text(), u8("現在の回答者は、ごんべえさんです"));
    }

    // Without any learner file only a new name can be given.
    void noExistingLearner() {
        TestEnv env;
        frmMain window;
        frmChangeUser dialog(window);
        QVERIFY(!dialog.Option1[1]->isEnabled());
        QVERIFY(!dialog.Combo1->isEnabled());
        QCOMPARE(dialog.Combo1->currentText(), u8("既存回答者が存在しません"));
        QVERIFY(dialog.Option1[0]->isChecked());
    }

    // Results that cannot be written are not given up for a switch: the
    // learner stays and the dialog stays open.
    void unwritableRecordsKeepTheLearner() {
        Learning l;
        QFile::remove(l.env.path(u8("ごんべえ.kmu")));
        QDir(l.env.folder()).mkdir(u8("ごんべえ.kmu"));
        bool stayedOpen = false;
        l.switchLearner([&](frmChangeUser* dialog) {
            typeName(dialog, u8("花子"));
            QTest::mouseClick(dialog->Command1, Qt::LeftButton);
            stayedOpen = dialog->isVisible();
            dialog->Command2_Click();
        });
        QVERIFY(stayedOpen);
        QCOMPARE(Dialogs::shownMessages().last().title, u8("保存中止"));
        QCOMPARE(appGlobals().learnerName, u8("ごんべえ"));
        QCOMPARE(l.columns().at(1), QString("     3"));
    }
};

QTEST_MAIN(TestChangeUser)
#include "tst_changeuser.moc"

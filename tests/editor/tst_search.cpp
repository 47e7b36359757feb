#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"

#include "support/EditorFixture.h"
#include "support/Modal.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {
const QStringList threeRows{"apple", "banana", "apple pie"};

// Rows as a loaded file shows them.
void addRows(frmSakusei* editor, const QStringList& texts) {
    for (const QString& text : texts)
        editor->document().setRecord(QString("k%1").arg(editor->document().count() + 1), text, {});
}

void select(ListView* list, int row) {
    list->clearSelection();
    list->setCurrentIndex({});
    if (row > 0)
        list->setSelectedRow(row);
}

// The editor in front, with the focus where a person put it.
void activate(frmSakusei* editor, QWidget* focus) {
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    focus->setFocus();
}

const QString notFound = QString::fromUtf8("<見つかりませんでした：");
} // namespace

class TestSearch : public QObject {
    Q_OBJECT
  private slots:
    // F3 or Shift+F3 before any search asks for the text, then searches from
    // the selected row.
    void searchDirections_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("found"); // the selected row afterwards
        QTest::addColumn<bool>("told"); // the not-found text shown
        const auto row = [](const char* name, const QStringList& rows, int selected,
                            const char* command, const char* text, int found, bool told) {
            QTest::newRow(name) << rows << selected << QString(command) << u8(text) << found
                                << told;
        };
        row("forward from the second", threeRows, 2, "mnuSearchNext", "apple", 3, false);
        row("forward from the last", threeRows, 3, "mnuSearchNext", "apple", 3, true);
        row("forward from none", threeRows, 0, "mnuSearchNext", "pie", 3, false);
        row("capital letter", threeRows, 0, "mnuSearchNext", "Apple", 0, true);
        row("full-width letters", threeRows, 0, "mnuSearchNext", "ａｐｐｌｅ", 0, true);
        row("asked from the list", threeRows, 1, "mnuSearchList", "apple", 3, false);
        row("backward from the last", threeRows, 3, "mnuSearchBefore", "apple", 1, false);
        row("backward skips a row", threeRows, 3, "mnuSearchBefore", "an", 2, false);
        row("backward from none", threeRows, 0, "mnuSearchBefore", "apple", 1, false);
        row("backward from none, only the first", threeRows, 0, "mnuSearchBefore", "pie", 0, true);
        row("backward from the first", threeRows, 1, "mnuSearchBefore", "apple", 1, false);
        row("backward from the first, only the first", threeRows, 1, "mnuSearchBefore", "banana", 1,
            true);
        row("forward in an empty list", {}, 0, "mnuSearchNext", "apple", 0, true);
        row("backward in an empty list", {}, 0, "mnuSearchBefore", "apple", 0, true);
    }
    void searchDirections() {
        QFETCH(QStringList, rows);
        QFETCH(int, selected);
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(int, found);
        QFETCH(bool, told);
        EditorFixture f;
        addRows(f.editor, rows);
        select(f.editor->lstMondai, selected);
        Dialogs::setNextInput(text);
        f.editor->findChild<QAction*>(command)->trigger();
        QCOMPARE(Dialogs::shownMessages().size(), 1);
        QCOMPARE(Dialogs::shownMessages().first().text, u8("検索する文字列を入力して下さい"));
        QCOMPARE(Dialogs::shownMessages().first().title, u8("何を検索？"));
        QCOMPARE(f.editor->lstMondai->selectedRow(), found);
        QCOMPARE(f.editor->statusPanel1->text(), told ? notFound + text + ">" : QString());
        // Finding only selects: the fields still show nothing.
        QCOMPARE(f.editor->txtKey->text(), QString());
    }

    void searchTextStaysForTheRun() {
        EditorFixture f;
        addRows(f.editor, {"apple", "apple", "apple", "apple"});
        select(f.editor->lstMondai, 1);
        Dialogs::setNextInput("apple");
        f.editor->mnuSearchList->trigger();
        QCOMPARE(f.editor->lstMondai->selectedRow(), 2);
        // F3 and Shift+F3 go on without asking.
        f.editor->mnuSearchNext->trigger();
        QCOMPARE(f.editor->lstMondai->selectedRow(), 3);
        f.editor->mnuSearchBefore->trigger();
        QCOMPARE(f.editor->lstMondai->selectedRow(), 2);
        QCOMPARE(Dialogs::shownMessages().size(), 1);

        // Asking again offers the last text; cancelling keeps it.
        QString offered;
        whenModal([&offered](QWidget* box) {
            offered = box->findChild<QLineEdit*>()->text();
            static_cast<QInputDialog*>(box)->reject();
        });
        f.editor->mnuSearchList->trigger();
        QCOMPARE(offered, QString("apple"));
        QCOMPARE(f.editor->lstMondai->selectedRow(), 2);
        f.editor->mnuSearchNext->trigger();
        QCOMPARE(f.editor->lstMondai->selectedRow(), 3);
        QCOMPARE(Dialogs::shownMessages().size(), 2);

        // A later find leaves the not-found text in place.
        select(f.editor->lstMondai, 4);
        f.editor->mnuSearchNext->trigger();
        f.editor->mnuSearchBefore->trigger();
        QCOMPARE(f.editor->lstMondai->selectedRow(), 3);
        QCOMPARE(f.editor->statusPanel1->text(), notFound + "apple>");
    }

    // One key press searches once, whichever control has the focus.
    void functionKeysSearchOnce_data() {
        QTest::addColumn<QString>("focus");
        for (const char* name : {"lstMondai", "txtMondai", "txtHint", "cmbKaitouType", "txtKey"})
            QTest::newRow(name) << QString(name);
    }
    void functionKeysSearchOnce() {
        QFETCH(QString, focus);
        EditorFixture f;
        addRows(f.editor, {"apple", "apple", "apple", "apple", "apple"});
        select(f.editor->lstMondai, 2);
        Dialogs::setNextInput("apple");
        f.editor->mnuSearchList->trigger();
        QWidget* target = f.editor->findChild<QWidget*>(focus);
        activate(f.editor, target);
        QTest::keyClick(target, Qt::Key_F3);
        QCOMPARE(f.editor->lstMondai->selectedRow(), 4);
        QTest::keyClick(target, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(f.editor->lstMondai->selectedRow(), 3);
    }

    void listKeysAndMouseReachTheSearch() {
        EditorFixture f;
        addRows(f.editor, threeRows);
        select(f.editor->lstMondai, 1);
        activate(f.editor, f.editor->lstMondai);
        Dialogs::setNextInput("pie");
        QTest::keyClick(f.editor->lstMondai, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(f.editor->lstMondai->selectedRow(), 3);
        QCOMPARE(Dialogs::shownMessages().size(), 1);

        QWidget* viewport = f.editor->lstMondai->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(f.editor->mnuSearch->isVisible());
        f.editor->mnuSearch->close();
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"

#include "editor/frmPasswd.h"
#include "editor/frmProp.h"
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "platform/AppSetup.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "shell/frmMain.h"
#include "shell/frmResults.h"

#include "support/TestEnv.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QMetaEnum>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {
// Controls a person operates: a screen reader must be able to say each one.
bool isInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::MenuItem:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// Walks a window's accessibility tree as a screen reader does and returns
// what a listener would miss: a control without a name, a combo box named by
// its current item, a column without a header name, rich text read out raw.
void collectFaults(QAccessibleInterface* node, const QString& path, QStringList& faults) {
    const QAccessible::Role role = node->role();
    const QString name = node->text(QAccessible::Name);
    const QString here = path + "/" + (node->object() ? node->object()->objectName() : QString()) +
                         "[" + QMetaEnum::fromType<QAccessible::Role>().valueToKey(role) + "]";
    if ((isInteractive(role) || role == QAccessible::ColumnHeader) && name.trimmed().isEmpty())
        faults << here + ": no name";
    if (role == QAccessible::ComboBox && name == node->text(QAccessible::Value))
        faults << here + ": named by its value " + name;
    if (name.contains(QStringLiteral("{\\rtf")))
        faults << here + ": reads out RTF";
    // The pop-up list of a combo box is announced with the box's name.
    for (int i = role == QAccessible::ComboBox ? 1 : 0; i < node->childCount(); ++i)
        collectFaults(node->child(i), here, faults);
}

QString nameOf(QWidget* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

// The program as a person meets it, with a question file of three choices,
// a hint and an explanation at hand.
struct Program {
    TestEnv env;
    std::unique_ptr<frmMain> main = std::make_unique<frmMain>();
    std::unique_ptr<QWidget> dialog;

    Program() {
        QFile::copy(KUMEMO_TEST_DATA "/lz-plain.kmd", env.path("q.kmd"));
        main->show();
    }
    void openFile() {
        Dialogs::setNextFileName(env.path("q.kmd"));
        main->mnuFileOpen_Click();
    }
    // The window named, in the state the name tells, shown.
    QWidget* window(const QString& which) {
        QWidget* shown = main.get();
        if (which.endsWith("file open") || which.endsWith("question loaded") ||
            which.endsWith("answering page"))
            openFile();
        // As when a question is shown: the page opens with one choice row.
        if (which.endsWith("answering page")) {
            main->SSTab1->setTabEnabled(1, true);
            main->SSTab1->setCurrentIndex(1);
        }
        if (which.startsWith("frmSakusei") || which == "frmProp") {
            main->mnuToolSakusei_Click();
            shown = main->sakusei();
        }
        if (which.endsWith("question loaded")) {
            main->sakusei()->lstMondai->setSelectedRow(1);
            main->sakusei()->lstMondai_Click();
        }
        if (which == "frmProp")
            dialog = std::make_unique<frmProp>(main->document(), main->sakusei());
        if (which == "frmProtect")
            dialog = std::make_unique<frmProtect>(main->document());
        if (which == "frmPasswd")
            dialog = std::make_unique<frmPasswd>(main->document());
        if (which == "frmResults")
            dialog = std::make_unique<frmResults>(main->resultsData());
        if (dialog) {
            dialog->show();
            shown = dialog.get();
        }
        shown->activateWindow();
        return shown;
    }
};

void addWindowRows() {
    QTest::addColumn<QString>("window");
    for (const char* window : {"frmMain, no file", "frmMain, file open", "frmMain, answering page",
                               "frmSakusei, new question", "frmSakusei, question loaded", "frmProp",
                               "frmProtect", "frmPasswd", "frmResults"})
        QTest::newRow(window) << QString(window);
}

// As a keyboard types: the key goes up where the focus went on its way down.
void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyPress(QApplication::focusWidget(), key, modifiers);
    QTest::keyRelease(QApplication::focusWidget(), key, modifiers);
}

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void everyControlCanBeSaid_data() { addWindowRows(); }
    void everyControlCanBeSaid() {
        QFETCH(QString, window);
        Program program;
        QWidget* shown = program.window(window);
        // Lists lay out their new rows once events run.
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QCoreApplication::processEvents();
        QStringList faults;
        collectFaults(QAccessible::queryAccessibleInterface(shown), window, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void controlNames_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* window, const char* control, const char* name) {
            QTest::addRow("%s %s", window, control)
                << QString(window) << QString(control) << u8(name);
        };
        row("frmSakusei, new question", "txtMondai", "問題文");
        row("frmSakusei, new question", "txtKaitou", "回　答");
        row("frmSakusei, new question", "txtHint", "ヒント");
        row("frmSakusei, new question", "txtKaisetsu", "解　説");
        row("frmSakusei, new question", "txtKey", "問題ｷｰ");
        row("frmSakusei, new question", "lstMondai", "問題一覧");
        row("frmSakusei, new question", "cmbKaitouType", "回答の種類");
        row("frmMain, no file", "lstMondai", "問題一覧");
        row("frmMain, no file", "cmbFilter", "ﾌｨﾙﾀ");
        row("frmProp", "Text4", "名前");
        row("frmProp", "Text5", "Mail");
        row("frmProp", "Text6", "ﾎｰﾑﾍﾟｰｼﾞ");
    }
    void controlNames() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        Program program;
        QCOMPARE(nameOf(program.window(window)->findChild<QWidget*>(control)), name);
    }

    // Tab and Shift+Tab visit the controls in the order they are seen; Tab
    // also leaves the rich text boxes.
    void tabOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("frmSakusei, new question")
            << "frmSakusei, new question" << QStringList{"lstMondai",
                                                         "txtMondai",
                                                         "cmbKaitouType",
                                                         "txtKaitou",
                                                         "chkKaitouIsSeikai",
                                                         "cmdKaitouAdd",
                                                         "cmdKaitouDel",
                                                         "lstKaitou",
                                                         "txtHint",
                                                         "txtKaisetsu",
                                                         "txtKey",
                                                         "chkIfRich",
                                                         "cmdAdd",
                                                         "cmdClear",
                                                         "cmdDel"};
        QTest::newRow("frmMain, file open")
            << "frmMain, file open"
            << QStringList{"qt_tabwidget_tabbar", "cmdStart",  "cmdFilterOff", "cmbFilter",
                           "cmdDoFilter",         "cmdRandom", "lstMondai"};
        QTest::newRow("frmMain, answering page")
            << "frmMain, answering page"
            << QStringList{"qt_tabwidget_tabbar", "txtMondai", "txtKey(1)",
                           "txtKaitou(1)",        "cmdHint",   "txtInput",
                           "cmdKaitou",           "cmdMae",    "cmdTsugi"};
        QTest::newRow("frmProp") << "frmProp"
                                 << QStringList{"Text1", "Text2", "Text3", "Text4", "Text5",
                                                "Text6", "Text7", "Text8", "Text9", "cmdOK"};
        QTest::newRow("frmPasswd")
            << "frmPasswd" << QStringList{"txtP1", "txtP2", "cmdOK", "cmdCancel"};
    }
    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        Program program;
        QWidget* shown = program.window(window);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        shown->findChild<QWidget*>(order.first())->setFocus();
        QStringList forward{focusName()};
        for (int i = 0; i < order.size(); ++i) {
            typeKey(Qt::Key_Tab);
            forward << focusName();
        }
        QCOMPARE(forward, order + QStringList{order.first()});
        QStringList backward{focusName()};
        for (int i = 0; i < order.size(); ++i) {
            typeKey(Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(focusName());
        }
        QCOMPARE(backward, order + QStringList{order.first()});
    }

    // The answering page and the third page stay closed until the program
    // opens them, to a screen reader as on the screen.
    void closedPagesCannotBeOpened() {
        Program program;
        QTabWidget* tabs = program.main->SSTab1;
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs->tabBar());
        for (const int page : {1, 2}) {
            QAccessibleInterface* tab = strip->child(page);
            QVERIFY(tab->state().disabled);
            QVERIFY(!tab->state().focusable);
            tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(tabs->currentIndex(), 0);
            tabs->setTabEnabled(page, true);
            QVERIFY(!tab->state().disabled);
            tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(tabs->currentIndex(), page);
            tabs->setCurrentIndex(0);
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

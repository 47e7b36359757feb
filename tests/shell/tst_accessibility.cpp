#include "editor/frmPasswd.h"
#include "editor/frmProp.h"
#include "editor/frmProtect.h"
#include "editor/frmRichStyle.h"
#include "editor/frmSakusei.h"
#include "platform/Accessibility.h"
#include "platform/AppSetup.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "shell/frmChangeUser.h"
#include "shell/frmMain.h"
#include "shell/frmMessage.h"
#include "shell/frmResults.h"

#include "support/Modal.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
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
// its current item, a column without a header name, a cell without it, rich
// text read out raw.
void collectFaults(QAccessibleInterface* node, const QString& path, QStringList& faults) {
    const QAccessible::Role role = node->role();
    const QString name = node->text(QAccessible::Name);
    const QString here = path + "/" + (node->object() ? node->object()->objectName() : QString()) +
                         "[" + QMetaEnum::fromType<QAccessible::Role>().valueToKey(role) + "]";
    if ((isInteractive(role) || role == QAccessible::ColumnHeader) && name.trimmed().isEmpty())
        faults << here + ": no name";
    if (role == QAccessible::ComboBox && name == node->text(QAccessible::Value))
        faults << here + ": named by its value " + name;
    // A screen reader reads a combo box's value as its text.
    if (auto* box = qobject_cast<QComboBox*>(node->object())) {
        QAccessibleTextInterface* text = node->textInterface();
        const QString value = box->isEditable() ? box->lineEdit()->text()
                              : text            ? text->text(0, text->characterCount())
                                                : QString();
        if (node->text(QAccessible::Value) != box->currentText() || value != box->currentText())
            faults << here + ": hides its value " + box->currentText();
    }
    if (name.contains(QStringLiteral("{\\rtf")))
        faults << here + ": reads out RTF";
    // A row is read cell by cell, without the headers.
    if (QAccessibleTableCellInterface* cell = node->tableCellInterface()) {
        QAccessibleInterface* header = node->parent()->child(cell->columnIndex());
        if (header->role() == QAccessible::ColumnHeader && !name.trimmed().isEmpty() &&
            !name.startsWith(header->text(QAccessible::Name)))
            faults << here + ": " + name + " without its column's name";
        // An empty cell says nothing, not its column's name alone.
        const auto* view = static_cast<QAbstractItemView*>(cell->table()->object());
        const QModelIndex shown = view->model()->index(cell->rowIndex(), cell->columnIndex());
        if (shown.data().toString().trimmed().isEmpty() && !name.trimmed().isEmpty())
            faults << here + ": an empty cell says " + name;
    }
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
        if (which == "frmChangeUser")
            dialog = std::make_unique<frmChangeUser>(*main);
        if (which == "frmMessage")
            dialog = std::make_unique<frmMessage>(main.get());
        if (which == "frmRichStyle") {
            shown = main->sakusei()->richStyle();
            shown->show();
        }
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
    for (const char* window :
         {"frmMain, no file", "frmMain, file open", "frmMain, answering page",
          "frmSakusei, new question", "frmSakusei, question loaded", "frmProp", "frmProtect",
          "frmPasswd", "frmChangeUser", "frmMessage", "frmRichStyle", "frmResults"})
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
        row("frmChangeUser", "Text1", "新しい回答者名");
        row("frmChangeUser", "Combo1", "既存の回答者名");
        row("frmRichStyle", "cmbFont", "ﾌｫﾝﾄ");
        row("frmRichStyle", "cmbSize", "ｻｲｽﾞ");
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

    // A listener hears each question with how to answer it and the verdict
    // with the right answer where the focus goes, what a key picked, and the
    // round's result at once; the choices are choices, checked as picked.
    void answeringPageSays() {
        Program program;
        frmMain& main = *program.main;
        main.mnuSetupRandom->setChecked(false);
        main.mnuSetup1Click->setChecked(false);
        program.openFile();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::mouseClick(main.cmdStart, Qt::LeftButton);
        QCOMPARE(focusName(), QString("txtInput"));
        QCOMPARE(nameOf(main.txtInput), u8("日本で一番高い山は？　回答を１つ選んで下さい。"));
        QStringList choices;
        for (int i = 1; i <= 3; ++i) {
            QAccessibleInterface* choice = QAccessible::queryAccessibleInterface(main.txtKaitou[i]);
            QCOMPARE(choice->role(), QAccessible::RadioButton);
            QVERIFY(choice->state().checkable);
            QVERIFY(!choice->state().checked);
            choices << choice->text(QAccessible::Name);
        }
        QCOMPARE(main.txtInput->accessibleDescription(),
                 choices.join(u8("　")) + u8("　数字ｷｰで回答を選び、Enterで回答します。"));
        // Made a choice again, a choice stays the object a screen reader holds.
        const QAccessible::Id held =
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(main.txtKaitou[1]));
        makeAccessibleChoice(main.txtKaitou[1], choices[0], true);
        QCOMPARE(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(main.txtKaitou[1])),
                 held);
        int right = 0;
        for (int i = 1; i <= 3; ++i) {
            if (choices[i - 1] == QString("(%1) ").arg(i) + u8("富士山"))
                right = i;
        }
        QVERIFY(right);
        const int wrong = right == 1 ? 2 : 1;

        QWidget* announcer = main.findChild<QWidget*>("lblAnnounce");
        typeKey(Qt::Key(Qt::Key_0 + wrong));
        QCOMPARE(nameOf(announcer), choices[wrong - 1] + u8(" を選びました。"));
        // Space on a choice picks it as a click does.
        main.txtKaitou[right]->setFocus();
        typeKey(Qt::Key_Space);
        QCOMPARE(focusName(), QString("txtInput"));
        QCOMPARE(nameOf(announcer), choices[right - 1] + u8(" を選びました。"));
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(QAccessible::queryAccessibleInterface(main.txtKaitou[i])->state().checked,
                     i == right);
        }
        // Ctrl+H from a choice shows the hint, said as the hint.
        QString heardTitle;
        const auto hearModal = [&heardTitle] {
            heardTitle.clear();
            whenModal([&heardTitle](QWidget* modal) {
                heardTitle = nameOf(modal);
                static_cast<QDialog*>(modal)->accept();
            });
        };
        hearModal();
        main.txtKaitou[1]->setFocus();
        QTest::keyClick(main.txtKaitou[1], Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(heardTitle, u8("くう・めも - ヒント表示"));
        // The test platform leaves the window inactive after a modal one.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        QTest::mouseClick(main.cmdKaitou, Qt::LeftButton);
        QCOMPARE(focusName(), QString("cmbMark"));
        QCOMPARE(nameOf(main.cmbMark), u8("【正解しました】　正解：") + choices[right - 1] +
                                           u8("　この問題に対するあなたの評価は？ ⇒"));
        // A label would be said in place of the name.
        QVERIFY(QAccessible::queryAccessibleInterface(main.cmbMark)
                    ->relations(QAccessible::Label)
                    .isEmpty());
        QCOMPARE(main.txtKaitou[right]->accessibleDescription(), u8("正解"));
        QCOMPARE(main.txtKaitou[wrong]->accessibleDescription(), u8("不正解"));
        // Covered by the explanation button and the mark selector.
        QCOMPARE(main.cmdHint->focusPolicy(), Qt::NoFocus);
        QCOMPARE(main.txtInput->focusPolicy(), Qt::NoFocus);
        typeKey(Qt::Key_Return);
        QCOMPARE(main.txtInput->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(QAccessible::queryAccessibleInterface(main.txtKaitou[1])->role(),
                 QAccessible::CheckBox);

        // A typed answer: Ctrl+K in the entry box (which would delete to
        // the line's end) shows the explanation; the right answer is named.
        QTest::mouseClick(main.cmdTsugi, Qt::LeftButton);
        QCOMPARE(focusName(), QString("txtKaitou(1)"));
        QVERIFY(nameOf(main.txtKaitou[1]).endsWith(u8("　答えを入力して下さい。")));
        // The first Enter leaves the entry, and says what the second does.
        QTest::keyClick(main.txtKaitou[1], Qt::Key_X);
        typeKey(Qt::Key_Return);
        QCOMPARE(focusName(), QString("txtInput"));
        QCOMPARE(nameOf(main.txtInput), u8("入力：x　Enterで回答します。"));
        QTest::mouseClick(main.cmdKaitou, Qt::LeftButton);
        QCOMPARE(nameOf(main.txtKaitou[2]), u8("正解："));
        hearModal();
        main.txtKaitou[1]->setFocus();
        QTest::keyClick(main.txtKaitou[1], Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(heardTitle, u8("くう・めも - 解説表示"));

        // Judged and moved on to the round's end, where its result is told.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        for (int press = 0; press < 6 && main.SSTab1->currentIndex() == 1; ++press)
            QTest::mouseClick(main.cmdKaitou, Qt::LeftButton);
        QCOMPARE(focusName(), QString("cmdDoFilter"));
        QCOMPARE(nameOf(announcer), u8("今回 3問中 1問正解 (33.3%)"));
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

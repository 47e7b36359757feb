#include "data/QuestionDocument.h"
#include "editor/frmPasswd.h"
#include "editor/frmProtect.h"
#include "formats/ProtectedFile.h"
#include "platform/Dialogs.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {
template <typename W> W* child(QWidget* form, const QString& name) {
    return form->findChild<W*>(name);
}

void click(QWidget* form, const QString& button) {
    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
}

// Keys for ASCII; other characters come committed, as from an input method.
void type(QWidget* form, const QString& box, const QString& text) {
    QLineEdit* edit = child<QLineEdit>(form, box);
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(edit, ch.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(ch);
            QApplication::sendEvent(edit, &commit);
        }
    }
}

// Sets the lock state and answers the next message boxes without showing
// them; the test then reads what was shown.
QuestionDocument& doc() {
    static QuestionDocument document;
    return document;
}

void setLock(const QString& filePassword, const QString& pendingPassword) {
    doc().setPasswords(filePassword, pendingPassword);
    for (int i = 0; i < 5; ++i)
        Dialogs::setNextAnswer(Dialogs::Answer::Ok);
}

// Every message shown, as "title: text", exclamation boxes marked "!".
QStringList shown() {
    QStringList messages;
    for (const Dialogs::Message& m : Dialogs::shownMessages())
        messages << (m.icon == Dialogs::Icon::Exclamation ? "!" : "") + m.title + ": " + m.text;
    return messages;
}

// Runs `drive` on the modal form of type F once it is up, as a user would.
template <typename F> void whenShown(std::function<void(F*)> drive) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, drive] {
        if (auto* form = qobject_cast<F*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            drive(form);
        }
    });
    poll->start(10);
}

const QString kWrongPassword = u8("!ｴﾗｰ: ﾊﾟｽﾜｰﾄﾞが違います。");
const QString kMismatch = u8("!入力ｴﾗｰ: ﾊﾟｽﾜｰﾄﾞ(1度目)とﾊﾟｽﾜｰﾄﾞ(確認)が一致していません。");
const QString kEmpty = u8("!入力ｴﾗｰ: ﾊﾟｽﾜｰﾄﾞが入力されていません。");
} // namespace

class tst_PasswordForms : public QObject {
    Q_OBJECT
  private slots:
    void formsShowTheirTexts_data();
    void formsShowTheirTexts();
    void protectWrongPassword_data();
    void protectWrongPassword();
    void protectCancelKeepsTheLock();
    void protectClosesByItselfWhenNothingIsLocked_data();
    void protectClosesByItselfWhenNothingIsLocked();
    void unlockOrWarn_data();
    void unlockOrWarn();
    void passwdRules_data();
    void passwdRules();
    void passwdCancelLeavesNoPassword();
    void passwdRefusesLineBreaks();
};

void tst_PasswordForms::formsShowTheirTexts_data() {
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("frmProtect")
        << QStringList{u8("このﾌｧｲﾙはﾊﾟｽﾜｰﾄﾞにより保護されています。"),
                       u8("編集・保存をするためにはﾊﾟｽﾜｰﾄﾞの入力が必要です。")}
        << QStringList{"txtPassword"};
    QTest::newRow("frmPasswd") << QStringList{u8("ﾃﾞｰﾀﾌｧｲﾙ保護用ﾊﾟｽﾜｰﾄﾞを入力して下さい。"),
                                              u8("確認のためもう一度入力して下さい。")}
                               << QStringList{"txtP1", "txtP2"};
}

void tst_PasswordForms::formsShowTheirTexts() {
    QFETCH(QStringList, labels);
    QFETCH(QStringList, boxes);
    TestEnv env;
    setLock("secret", "secret");
    const QString formName = QTest::currentDataTag();
    std::unique_ptr<QDialog> form;
    if (formName == "frmProtect")
        form = std::make_unique<frmProtect>(doc());
    else
        form = std::make_unique<frmPasswd>(doc());
    form->show();
    QCOMPARE(form->objectName(), formName);
    QCOMPARE(form->windowTitle(), u8("くう・めも - 保護用ﾊﾟｽﾜｰﾄﾞ入力"));
    QStringList shownLabels;
    for (const QLabel* label : form->findChildren<QLabel*>())
        shownLabels << label->text();
    QCOMPARE(shownLabels, labels);
    QCOMPARE(child<QPushButton>(form.get(), "cmdOK")->text(), QString("O K"));
    QCOMPARE(child<QPushButton>(form.get(), "cmdCancel")->text(), u8("ｷｬﾝｾﾙ"));
    for (const QString& box : boxes) {
        type(form.get(), box, u8("aぱ"));
        QCOMPARE(child<QLineEdit>(form.get(), box)->displayText(), QString("**"));
    }
}

void tst_PasswordForms::protectWrongPassword_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("other case") << "Secret";
    QTest::newRow("trailing blank") << "secret ";
    QTest::newRow("nothing") << "";
    QTest::newRow("120 characters") << QString(120, 'x');
}

void tst_PasswordForms::protectWrongPassword() {
    QFETCH(QString, typed);
    const QString selected = typed.left(100);
    TestEnv env;
    setLock("secret", "secret");
    frmProtect form(doc());
    form.show();
    auto* box = child<QLineEdit>(&form, "txtPassword");
    type(&form, "txtPassword", typed);
    click(&form, "cmdOK");
    QCOMPARE(shown(), QStringList{kWrongPassword});
    QVERIFY(form.isVisible());
    QVERIFY(doc().isLocked());
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->selectionStart(), selected.isEmpty() ? -1 : 0);
    QCOMPARE(form.focusWidget(), box);

    box->clear();
    type(&form, "txtPassword", "secret");
    click(&form, "cmdOK");
    QCOMPARE(shown().size(), 1);
    QVERIFY(!form.isVisible());
    QCOMPARE(doc().pendingPassword(), QString());
    QCOMPARE(doc().filePassword(), QString("secret"));
}

void tst_PasswordForms::protectCancelKeepsTheLock() {
    TestEnv env;
    setLock("secret", "secret");
    frmProtect form(doc());
    form.show();
    QVERIFY(!child<QTimer>(&form, "Timer1")->isActive());
    type(&form, "txtPassword", "secret");
    click(&form, "cmdCancel");
    QVERIFY(!form.isVisible());
    QCOMPARE(doc().pendingPassword(), QString("secret"));
    QVERIFY(shown().isEmpty());
}

void tst_PasswordForms::protectClosesByItselfWhenNothingIsLocked_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::newRow("plain file") << "";
    QTest::newRow("unlocked") << "secret";
}

void tst_PasswordForms::protectClosesByItselfWhenNothingIsLocked() {
    QFETCH(QString, filePassword);
    TestEnv env;
    setLock(filePassword, "");
    frmProtect form(doc());
    QTimer::singleShot(5000, &form, [&] { form.done(QDialog::Accepted); });
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QCOMPARE(doc().filePassword(), filePassword);
    QVERIFY(shown().isEmpty());
}

void tst_PasswordForms::unlockOrWarn_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("right password") << "secret"
                                    << "cmdOK" << QStringList();
    QTest::newRow("cancel") << "secret"
                            << "cmdCancel"
                            << QStringList{u8("!警告: 正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、"
                                              "別形式での保存はできません。")};
    QTest::newRow("nothing locked") << ""
                                    << "" << QStringList();
}

void tst_PasswordForms::unlockOrWarn() {
    QFETCH(QString, filePassword);
    QFETCH(QString, button);
    QFETCH(QStringList, messages);
    TestEnv env;
    setLock(filePassword, filePassword);
    if (!button.isEmpty()) {
        whenShown<frmProtect>([button](frmProtect* form) {
            type(form, "txtPassword", "secret");
            click(form, button);
        });
    }
    QCOMPARE(
        frmProtect::unlockOrWarn(nullptr, doc(), ProtectedFile::stillLockedOtherFormatNotice()),
        messages.isEmpty());
    QCOMPARE(doc().isLocked(), !messages.isEmpty());
    QCOMPARE(shown(), messages);
}

// Passwords typed into txtP1 and txtP2, over the placeholder or after
// clearing it, and what OK gives: a message ("" when the form closes) and
// newPassword.
void tst_PasswordForms::passwdRules_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("newPassword");
    struct Row {
        const char* tag;
        QString file;
        bool locked;
        QString placeholder;
        bool clearFirst;
        QString p1, p2, message, newPassword;
    };
    const QString kNew = u8("新しい");
    const Row rows[] = {
        {"new file", "", false, "", false, "abc", "abc", "", "abc"},
        {"boxes differ", "", false, "", false, "abc", "abd", kMismatch, ""},
        {"both empty", "", false, "", false, "", "", kEmpty, ""},
        {"first empty", "", false, "", false, "", "x", kMismatch, ""},
        {"placeholder kept", "pw12", false, "****", false, "", "", "", "pw12"},
        {"stars as long", "pw12", false, "****", true, "****", "****", "", "pw12"},
        {"stars, other length", "pw12", false, "****", true, "***", "***", "", "***"},
        {"placeholder replaced", "pw12", false, "****", true, kNew, kNew, "", kNew},
        {"typed over the placeholder", "pw12", false, "****", false, "ab", "ab", "", "ab"},
        {"one box changed", "pw12", false, "****", false, "x", "", kMismatch, ""},
        {"locked: no placeholder", "pw12", true, "", false, "****", "****", "", "****"},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.tag) << r.file << r.locked << r.placeholder << r.clearFirst << r.p1 << r.p2
                             << r.message << r.newPassword;
    }
}

void tst_PasswordForms::passwdRules() {
    QFETCH(QString, filePassword);
    QFETCH(bool, locked);
    QFETCH(QString, placeholder);
    QFETCH(bool, clearFirst);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    QFETCH(QString, message);
    QFETCH(QString, newPassword);
    TestEnv env;
    setLock(filePassword, locked ? filePassword : QString());
    frmPasswd form(doc());
    form.show();
    auto* note = child<QLabel>(&form, "Label3");
    QCOMPARE(note ? note->text() : QString(),
             placeholder.isEmpty()
                 ? QString()
                 : u8("今のﾊﾟｽﾜｰﾄﾞのままにするときは、このまま O K を押して下さい。"));
    for (const char* box : {"txtP1", "txtP2"}) {
        QCOMPARE(child<QLineEdit>(&form, box)->text(), placeholder);
        if (clearFirst)
            child<QLineEdit>(&form, box)->clear();
    }
    type(&form, "txtP1", p1);
    type(&form, "txtP2", p2);
    click(&form, "cmdOK");

    QCOMPARE(shown(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(form.isVisible(), !message.isEmpty());
    QCOMPARE(form.newPassword(), newPassword);
    QCOMPARE(doc().filePassword(), filePassword);
}

void tst_PasswordForms::passwdCancelLeavesNoPassword() {
    TestEnv env;
    setLock("secret", "");
    whenShown<frmPasswd>([](frmPasswd* form) {
        type(form, "txtP1", "abc");
        type(form, "txtP2", "abc");
        click(form, "cmdCancel");
    });
    QCOMPARE(frmPasswd::askNewPassword(nullptr, doc()), QString());

    whenShown<frmPasswd>([](frmPasswd* form) { click(form, "cmdOK"); });
    QCOMPARE(frmPasswd::askNewPassword(nullptr, doc()), QString("secret"));
}

void tst_PasswordForms::passwdRefusesLineBreaks() {
    TestEnv env;
    frmPasswd form(doc());
    auto* txtP1 = child<QLineEdit>(&form, "txtP1");
    txtP1->insert("ab\r\ncd");
    txtP1->insert("x\ny");
    QCOMPARE(txtP1->text(), QString());
    txtP1->insert("abcd");
    QCOMPARE(txtP1->text(), QString("abcd"));
}

QTEST_MAIN(tst_PasswordForms)
#include "tst_PasswordForms.moc"

#include "data/ProtectedFile.h"
#include "data/frmPasswd.h"
#include "data/frmProtect.h"
#include "platform/Dialogs.h"
#include "shell/modKuMemo.h"
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
template <typename W> W* child(QWidget* form, const char* name) {
    W* widget = form->findChild<W*>(name);
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

void click(QWidget* form, const char* button) {
    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
}

// Keys for ASCII; other characters come committed, as from an input method.
void type(QWidget* form, const char* box, const QString& text) {
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
void setLock(const QString& filePassword, const QString& pendingPassword) {
    appGlobals().filePassword = filePassword;
    appGlobals().pendingPassword = pendingPassword;
    for (int i = 0; i < 5; ++i)
        Dialogs::setNextAnswer(Dialogs::Answer::Ok);
}

// Runs `drive` on the modal form of type F once it is up, as a user would.
template <typename F> void whenShown(std::function<void(F*)> drive) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, drive] {
        if (auto* form = qobject_cast<F*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            drive(form);
        }
    });
    poll->start();
}

struct Shown {
    QString text;
    QString title;
    Dialogs::Icon icon;
};

QList<Shown> messages() {
    QList<Shown> shown;
    for (const Dialogs::Message& m : Dialogs::shownMessages())
        shown.append({m.text, m.title, m.icon});
    return shown;
}

bool operator==(const Shown& a, const Shown& b) {
    return a.text == b.text && a.title == b.title && a.icon == b.icon;
}

char* toString(const Shown& m) {
    return QTest::toString(m.title + " / " + m.text + " / " + QString::number(int(m.icon)));
}

const Shown kWrongPassword{u8("ﾊﾟｽﾜｰﾄﾞが違います。"), u8("ｴﾗｰ"), Dialogs::Icon::Exclamation};
const Shown kMismatch{u8("ﾊﾟｽﾜｰﾄﾞ(1度目)とﾊﾟｽﾜｰﾄﾞ(確認)が一致していません。"), u8("入力ｴﾗｰ"),
                      Dialogs::Icon::Exclamation};
const Shown kEmpty{u8("ﾊﾟｽﾜｰﾄﾞが入力されていません。"), u8("入力ｴﾗｰ"), Dialogs::Icon::Exclamation};
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
    void protectWaitsWhileLocked();
    void unlockOrWarn_data();
    void unlockOrWarn();

    void passwdRules_data();
    void passwdRules();
    void passwdCancelLeavesNoPassword();
    void passwdRefusesLineBreaks();
};

void tst_PasswordForms::formsShowTheirTexts_data() {
    QTest::addColumn<QString>("formName");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("frmProtect")
        << "frmProtect"
        << QStringList{u8("このﾌｧｲﾙはﾊﾟｽﾜｰﾄﾞにより保護されています。"),
                       u8("編集・保存をするためにはﾊﾟｽﾜｰﾄﾞの入力が必要です。")}
        << QStringList{"txtPassword"};
    QTest::newRow("frmPasswd") << "frmPasswd"
                               << QStringList{u8("ﾃﾞｰﾀﾌｧｲﾙ保護用ﾊﾟｽﾜｰﾄﾞを入力して下さい。"),
                                              u8("確認のためもう一度入力して下さい。")}
                               << QStringList{"txtP1", "txtP2"};
}

void tst_PasswordForms::formsShowTheirTexts() {
    QFETCH(QString, formName);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, boxes);
    TestEnv env;
    setLock("secret", "secret");
    std::unique_ptr<QDialog> form;
    if (formName == "frmProtect")
        form = std::make_unique<frmProtect>();
    else
        form = std::make_unique<frmPasswd>();
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
        type(form.get(), box.toLatin1().constData(), u8("aぱ"));
        QCOMPARE(child<QLineEdit>(form.get(), box.toLatin1().constData())->displayText(),
                 QString("**"));
    }
}

void tst_PasswordForms::protectWrongPassword_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");
    QTest::newRow("other") << "geheim"
                           << "geheim";
    QTest::newRow("other case") << "Secret"
                                << "Secret";
    QTest::newRow("trailing blank") << "secret "
                                    << "secret ";
    QTest::newRow("cut short") << "secre"
                               << "secre";
    QTest::newRow("nothing") << ""
                             << "";
    QTest::newRow("placeholder stars") << "******"
                                       << "******";
    QTest::newRow("120 characters") << QString(120, 'x') << QString(100, 'x');
}

void tst_PasswordForms::protectWrongPassword() {
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    TestEnv env;
    setLock("secret", "secret");
    frmProtect form;
    form.show();
    auto* box = child<QLineEdit>(&form, "txtPassword");
    type(&form, "txtPassword", typed);
    click(&form, "cmdOK");
    QCOMPARE(messages(), QList<Shown>{kWrongPassword});
    QVERIFY(form.isVisible());
    QVERIFY(appGlobals().isLocked());
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->selectionStart(), selected.isEmpty() ? -1 : 0);
    QCOMPARE(form.focusWidget(), box);

    box->clear();
    type(&form, "txtPassword", "secret");
    click(&form, "cmdOK");
    QCOMPARE(messages().size(), 1);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(appGlobals().pendingPassword, QString());
    QCOMPARE(appGlobals().filePassword, QString("secret"));
    QVERIFY(!appGlobals().isLocked());
}

void tst_PasswordForms::protectCancelKeepsTheLock() {
    TestEnv env;
    setLock("secret", "secret");
    frmProtect form;
    form.show();
    type(&form, "txtPassword", "secret");
    click(&form, "cmdCancel");
    QVERIFY(!form.isVisible());
    QCOMPARE(appGlobals().filePassword, QString("secret"));
    QCOMPARE(appGlobals().pendingPassword, QString("secret"));
    QVERIFY(messages().isEmpty());
}

void tst_PasswordForms::protectClosesByItselfWhenNothingIsLocked_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::addColumn<QString>("pendingPassword");
    QTest::newRow("plain file") << ""
                                << "";
    QTest::newRow("unlocked") << "secret"
                              << "";
}

void tst_PasswordForms::protectClosesByItselfWhenNothingIsLocked() {
    QFETCH(QString, filePassword);
    QFETCH(QString, pendingPassword);
    TestEnv env;
    setLock(filePassword, pendingPassword);
    frmProtect form;
    bool forced = false;
    QTimer::singleShot(5000, &form, [&] {
        forced = true;
        form.done(QDialog::Accepted);
    });
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QVERIFY(!forced);
    QCOMPARE(appGlobals().filePassword, filePassword);
    QCOMPARE(appGlobals().pendingPassword, pendingPassword);
    QVERIFY(messages().isEmpty());
}

void tst_PasswordForms::protectWaitsWhileLocked() {
    TestEnv env;
    setLock("secret", "secret");
    frmProtect form;
    form.show();
    QVERIFY(!child<QTimer>(&form, "Timer1")->isActive());
    QVERIFY(form.isVisible());
}

void tst_PasswordForms::unlockOrWarn_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("unlocked");
    QTest::newRow("right password") << "secret"
                                    << "secret"
                                    << "cmdOK" << true;
    QTest::newRow("cancel") << "secret"
                            << "secret"
                            << "cmdCancel" << false;
    QTest::newRow("nothing locked") << ""
                                    << ""
                                    << "" << true;
}

void tst_PasswordForms::unlockOrWarn() {
    QFETCH(QString, filePassword);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(bool, unlocked);
    TestEnv env;
    setLock(filePassword, filePassword);
    if (!button.isEmpty()) {
        whenShown<frmProtect>([typed, button](frmProtect* form) {
            type(form, "txtPassword", typed);
            click(form, button.toLatin1().constData());
        });
    }
    const ProtectedFile::Notice notice = ProtectedFile::stillLockedOtherFormatNotice();
    QCOMPARE(frmProtect::unlockOrWarn(nullptr, notice), unlocked);
    QCOMPARE(appGlobals().isLocked(), !unlocked);
    const QList<Shown> expected =
        unlocked ? QList<Shown>{}
                 : QList<Shown>{{u8("正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、別形式での保存は"
                                    "できません。"),
                                 u8("警告"), Dialogs::Icon::Exclamation}};
    QCOMPARE(messages(), expected);
}

void tst_PasswordForms::passwdRules_data() {
    QTest::addColumn<QString>("filePassword");
    QTest::addColumn<QString>("pendingPassword");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<QString>("p1");
    QTest::addColumn<QString>("p2");
    QTest::addColumn<QString>("message"); // "" when the form closes
    QTest::addColumn<QString>("newPassword");

    const QString mismatch = kMismatch.text;
    const QString empty = kEmpty.text;
    QTest::newRow("new file, new password") << ""
                                            << ""
                                            << "" << false << "abc"
                                            << "abc"
                                            << ""
                                            << "abc";
    QTest::newRow("boxes differ") << ""
                                  << ""
                                  << "" << false << "abc"
                                  << "abd" << mismatch << "";
    QTest::newRow("both empty") << ""
                                << ""
                                << "" << false << ""
                                << "" << empty << "";
    QTest::newRow("first empty, second not") << ""
                                             << ""
                                             << "" << false << ""
                                             << "x" << mismatch << "";
    QTest::newRow("placeholder kept") << "secret"
                                      << ""
                                      << "******" << false << ""
                                      << ""
                                      << ""
                                      << "secret";
    QTest::newRow("stars typed as long as the password") << "secret"
                                                         << ""
                                                         << "******" << true << "******"
                                                         << "******"
                                                         << ""
                                                         << "secret";
    QTest::newRow("stars of another length") << "secret"
                                             << ""
                                             << "******" << true << "*****"
                                             << "*****"
                                             << ""
                                             << "*****";
    QTest::newRow("placeholder replaced")
        << "secret"
        << ""
        << "******" << true << u8("新しい") << u8("新しい") << "" << u8("新しい");
    QTest::newRow("placeholder changed in one box") << "secret"
                                                    << ""
                                                    << "******" << false << "x"
                                                    << "" << mismatch << "";
    QTest::newRow("locked file: no placeholder, stars are a password") << "secret"
                                                                       << "secret"
                                                                       << "" << false << "******"
                                                                       << "******"
                                                                       << ""
                                                                       << "******";
}

void tst_PasswordForms::passwdRules() {
    QFETCH(QString, filePassword);
    QFETCH(QString, pendingPassword);
    QFETCH(QString, placeholder);
    QFETCH(bool, clearFirst);
    QFETCH(QString, p1);
    QFETCH(QString, p2);
    QFETCH(QString, message);
    QFETCH(QString, newPassword);
    TestEnv env;
    setLock(filePassword, pendingPassword);
    frmPasswd form;
    form.show();
    auto* txtP1 = child<QLineEdit>(&form, "txtP1");
    auto* txtP2 = child<QLineEdit>(&form, "txtP2");
    QCOMPARE(txtP1->text(), placeholder);
    QCOMPARE(txtP2->text(), placeholder);
    if (clearFirst) {
        txtP1->clear();
        txtP2->clear();
    }
    type(&form, "txtP1", p1);
    type(&form, "txtP2", p2);
    click(&form, "cmdOK");

    if (message.isEmpty()) {
        QVERIFY(messages().isEmpty());
        QVERIFY(!form.isVisible());
    } else {
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages().first(), (Shown{message, u8("入力ｴﾗｰ"), Dialogs::Icon::Exclamation}));
        QVERIFY(form.isVisible());
    }
    QCOMPARE(appGlobals().newPassword, newPassword);
    QCOMPARE(appGlobals().filePassword, filePassword);
}

void tst_PasswordForms::passwdCancelLeavesNoPassword() {
    TestEnv env;
    setLock("secret", "");
    appGlobals().newPassword = "stale";
    whenShown<frmPasswd>([](frmPasswd* form) {
        type(form, "txtP1", "abc");
        type(form, "txtP2", "abc");
        click(form, "cmdCancel");
    });
    QCOMPARE(frmPasswd::askNewPassword(nullptr), QString());
    QCOMPARE(appGlobals().newPassword, QString());

    whenShown<frmPasswd>([](frmPasswd* form) { click(form, "cmdOK"); });
    QCOMPARE(frmPasswd::askNewPassword(nullptr), QString("secret"));
    QVERIFY(messages().isEmpty());
}

void tst_PasswordForms::passwdRefusesLineBreaks() {
    TestEnv env;
    setLock("", "");
    frmPasswd form;
    form.show();
    auto* txtP1 = child<QLineEdit>(&form, "txtP1");
    txtP1->insert("ab\r\ncd");
    txtP1->insert("x\ny");
    QCOMPARE(txtP1->text(), QString());
    txtP1->insert("abcd");
    QCOMPARE(txtP1->text(), QString("abcd"));
}

QTEST_MAIN(tst_PasswordForms)
#include "tst_PasswordForms.moc"

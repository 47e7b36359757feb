#include "data/AppGlobals.h"
#include "data/QuestionDocument.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"

#include "support/EditorFixture.h"
#include "support/Modal.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void addQuestion(frmSakusei* e, const QString& question, const QString& answer) {
    e->cmdClear_Click();
    e->txtMondai->setText(question);
    e->txtKaitou->setText(answer);
    e->chkKaitouIsSeikai->setChecked(true);
    e->cmdAdd_Click();
}

QStringList keysOf(ListView* list) {
    QStringList keys;
    for (int row = 1; row <= list->count(); ++row)
        keys << list->key(row);
    return keys;
}

QStringList recordsOf(ListView* list) {
    QStringList records;
    for (int row = 1; row <= list->count(); ++row)
        records << list->subItem(row, 1);
    return records;
}

// Answers frmPasswd with the same password twice.
void answerPasswd(const QString& password) {
    whenModal([password](QWidget* form) {
        QCOMPARE(form->objectName(), QString("frmPasswd"));
        typeAndPress(form, {"txtP1", password, "txtP2", password}, "cmdOK");
    });
}

QString lastText() {
    return Dialogs::shownMessages().last().text;
}

QByteArray plainFileOf(const QString& body) {
    return Codepage::encode("<kuMemo-data>\r\n<dataprop>\r\n<title value='T'/>\r\n</dataprop>\r\n" +
                            body + "</kuMemo-data>\r\n\r\n");
}

void open(frmSakusei* e, const QString& path) {
    Dialogs::setNextFileName(path);
    e->mnuFileOpen_Click();
}
} // namespace

class TestFiles : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        Random::seed(7);
        Clock::fixForTests({});
    }

    void saveThenOpenGivesTheSameData() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        addQuestion(e, u8("一問目"), "A");
        addQuestion(e, "second <&>", "B");
        addQuestion(e, u8("三問目～①"), "C");
        DocumentProperties& g = f.main->document().properties();
        g.title = "A&B <x> 'q'";
        g.subject = u8("地理");
        g.namae = u8("山田");
        g.comment = "line 1\r\nline 2 & <3>";
        const QString cdate = g.cdate;
        const QStringList keys = keysOf(e->lstMondai);
        const QStringList records = recordsOf(e->lstMondai);

        Clock::fixForTests(QDateTime(QDate(2027, 3, 3), QTime(10, 0, 0)));
        const QString path = f.env.path("quiz.kmd");
        Dialogs::setNextFileName(path);
        e->mnuFileSaveAs_Click();
        QCOMPARE(lastText(), u8("保存(標準ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        QCOMPARE(Dialogs::shownMessages().last().title, u8("保存完了"));
        QCOMPARE(Dialogs::shownMessages().last().icon, Dialogs::Icon::Information);
        QCOMPARE(SettingsStore::get("KMDFile", {}), path);
        QVERIFY(!e->mnuFileSave->isEnabled());
        const Dialogs::FileRequest asked = Dialogs::fileRequests().last();
        QCOMPARE(asked.title, u8("作成したデータの保存先ファイル名を指定して下さい"));
        QCOMPARE(asked.filterIndex, 2);
        QCOMPARE(asked.fileName, QString("*"));

        // The file holds exactly the text and one more CR LF, in code page 932.
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes, QuestionFile::plainFileBytes(QuestionFile::compose("1.00", g, records)));
        QVERIFY(bytes.endsWith("</kuMemo-data>\r\n\r\n"));
        QVERIFY(bytes.contains("\\'81\\'60")); // ～ as the rich text writes it
        QVERIFY(bytes.contains("<mdate value='2027/03/03("));

        g = DocumentProperties{};
        open(e, path);
        QCOMPARE(keysOf(e->lstMondai), keys);
        QCOMPARE(recordsOf(e->lstMondai), records);
        QCOMPARE(keysOf(f.main->lstMondai), keys);
        QCOMPARE(f.main->lstMondai->text(3), u8("三問目～①"));
        QCOMPARE(g.title, QString("A&B <x> 'q'"));
        QCOMPARE(g.comment, QString("line 1\r\nline 2 & <3>"));
        QCOMPARE(g.cdate, cdate);
        QCOMPARE(g.mdate, u8("2027/03/03(水) 10:00:00"));
        QCOMPARE(f.main->document().path(), path);
        QCOMPARE(e->lstMondai->selectedRow(), 3);
        QCOMPARE(e->txtMondai->text(), u8("三問目～①"));
        QCOMPARE(e->statusPanel1->text(), u8("『A&B <x> 'q' <地理>』(by 山田)"));
        const Dialogs::FileRequest request = Dialogs::fileRequests().last();
        QCOMPARE(request.title, u8("読み込む問題ﾌｧｲﾙを指定して下さい"));
        QCOMPARE(request.filter,
                 u8("すべてのファイル (*.*)|*.*|kuMemoデータファイル (*.kmd;*.kme)|*.kmd;*.kme|"));
        QCOMPARE(request.filterIndex, 2);
        QCOMPARE(request.fileName, path);
    }

    // A long file saved as opened gives its own bytes; sorted in the editor,
    // it is written in the list's order, questions with texts equal but for
    // case in the order they had.
    void tenThousandQuestionsKeepTheirBytesThroughSortAndSave() {
        Clock::fixForTests(QDateTime(QDate(2027, 3, 3), QTime(10, 0, 0)));
        EditorFixture f;
        const QString head = "<kuMemo-data>\r\n<kuMemoVer value='" + appGlobals().appVersion +
                             "'/>\r\n<dataprop>\r\n<title value='T'/>\r\n<subject value=''/>\r\n"
                             "<version value=''/>\r\n<namae value=''/>\r\n<mail value=''/>\r\n"
                             "<url value=''/>\r\n<comment></comment>\r\n"
                             "<cdate value='2026/01/01(木) 00:00:00'/>\r\n"
                             "<mdate value='2027/03/03(水) 10:00:00'/>\r\n</dataprop>\r\n";
        // Question 2k is "q" and 2k+1 is "Q" with the number 4999 - k: sorted,
        // the pairs come last to first, each pair in its order.
        QStringList records;
        QStringList keys;
        for (int i = 0; i < 10000; ++i) {
            keys << QString("k%1").arg(i);
            records << "<Mondai key='" + keys.last() + "'><mondaibun>{\\rtf1 " +
                           QString(i % 2 ? "Q" : "q") +
                           QString("%1").arg(4999 - i / 2, 4, 10, QChar('0')) +
                           "\\par}</mondaibun><kaitou count=0 type=1></kaitou><hint></hint>"
                           "<kaisetsu></kaisetsu></Mondai>";
        }
        QStringList sortedRecords;
        QStringList sortedKeys;
        for (int k = 4999; k >= 0; --k)
            for (const int i : {2 * k, 2 * k + 1}) {
                sortedRecords << records[i];
                sortedKeys << keys[i];
            }
        const auto fileOf = [&head](const QStringList& records) {
            return Codepage::encode(head + records.join("\r\n") + "\r\n</kuMemo-data>\r\n\r\n");
        };
        const QByteArray bytes = fileOf(records);
        f.env.writeFile("long.kmd", bytes);
        open(f.editor, f.env.path("long.kmd"));
        QCOMPARE(keysOf(f.editor->lstMondai), keys);
        Dialogs::setNextFileName(f.env.path("same.kmd"));
        f.editor->mnuFileSaveAs_Click();
        QCOMPARE(readAll(f.env.path("same.kmd")), bytes);

        f.editor->lstMondai_ColumnClick(1);
        QCOMPARE(keysOf(f.editor->lstMondai), sortedKeys);
        // The run list keeps its order until it is filled again.
        QCOMPARE(keysOf(f.main->lstMondai), keys);
        Dialogs::setNextFileName(f.env.path("sorted.kmd"));
        f.editor->mnuFileSaveAs_Click();
        QCOMPARE(readAll(f.env.path("sorted.kmd")), fileOf(sortedRecords));
        // Sorting again from the sorted order changes nothing.
        f.editor->lstMondai_ColumnClick(1);
        f.editor->lstMondai_ColumnClick(1);
        f.editor->mnuFileSave_Click();
        QCOMPARE(readAll(f.env.path("sorted.kmd")), fileOf(sortedRecords));
    }

    void protectedSaveWritesTheCipherAndThePlainCopy() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        addQuestion(e, "Q", "A");
        const QString path = f.env.path("x.kme");
        answerPasswd("secret");
        Dialogs::setNextFileName(path);
        e->mnuFileSaveAs_Click();
        QCOMPARE(lastText(), u8("保存(標準/保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        const QString text =
            QuestionFile::compose("1.00", f.main->document().properties(), recordsOf(e->lstMondai));
        const QByteArray bytes = readAll(path);
        const QString content = "password=secret\r\n" + text;
        QCOMPARE(bytes, ProtectedFile::compose("secret", text));
        QCOMPARE(bytes.size(), 2 * content.size());
        const ProtectedFile::Content parsed = ProtectedFile::parse(bytes);
        QCOMPARE(parsed.password, QString("secret"));
        QCOMPARE(parsed.text, text);
        QCOMPARE(readAll(f.env.path("x.kmd")), QuestionFile::plainFileBytes(text));
        QCOMPARE(f.main->document().filePassword(), QString("secret"));

        // Without the setting no plain copy is written.
        QFile::remove(f.env.path("x.kmd"));
        e->mnuSetupKMEpKMD->setChecked(false);
        answerPasswd("other");
        e->mnuFileSave_Click();
        QCOMPARE(lastText(), u8("保存(保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        QVERIFY(!QFile::exists(f.env.path("x.kmd")));
    }

    void passwordCancelledWritesNothingAndKeepsTheFlag() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        f.main->document().setPath(f.env.path("y.kme"));
        addQuestion(e, "Q", "A");
        QVERIFY(e->mnuFileSave->isEnabled());
        whenModal([](QWidget* form) {
            QTest::mouseClick(form->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        });
        e->mnuFileSave_Click();
        QCOMPARE(lastText(), u8("保護用ﾊﾟｽﾜｰﾄﾞの入力が無かったため保存しませんでした。"));
        QCOMPARE(Dialogs::shownMessages().last().title, u8("保存中止"));
        QVERIFY(!QFile::exists(f.env.path("y.kme")));
        QVERIFY(e->mnuFileSave->isEnabled());
    }

    void failedWriteLeavesTheOldFileAndTheFlag() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        const QString path = f.env.path("missing-folder/z.kmd");
        f.main->document().setPath(path);
        addQuestion(e, "Q", "A");
        e->mnuFileSave_Click();
        QCOMPARE(Dialogs::shownMessages().last().title, u8("保存中止"));
        QCOMPARE(Dialogs::shownMessages().last().icon, Dialogs::Icon::Exclamation);
        QVERIFY(e->mnuFileSave->isEnabled());
        QVERIFY(e->isVisible());
    }

    void readerRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QString notData = u8("このﾌｧｲﾙはkuMemoのﾃﾞｰﾀﾌｧｲﾙではありません");
        const QString notProtected = u8("このﾌｧｲﾙはkuMemoの保護付ﾃﾞｰﾀﾌｧｲﾙではありません");
        QTest::newRow("byte-order mark") << "a.kmd"
                                         << "\xEF\xBB\xBF" + plainFileOf("") << notData;
        QTest::newRow("blank line") << "b.kmd"
                                    << "\r\n" + plainFileOf("") << notData;
        QTest::newRow("random bytes")
            << "c.kmd" << QByteArray::fromHex("00ff8182deadbeef") << notData;
        QTest::newRow("plain text named kme") << "d.kme" << plainFileOf("") << notProtected;
        QTest::newRow("empty kme") << "e.kme" << QByteArray() << notProtected;
        QTest::newRow("cut protected file")
            << "f.kme" << ProtectedFile::compose("pw", "<kuMemo-data>").left(9) << notProtected;
        QTest::newRow("damaged SZDD")
            << "g.kmd" << QByteArray("SZDD\x88\xF0\x27\x33", 8) + QByteArray(20, '\x01') << notData;
    }
    void readerRefusals() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        EditorFixture f;
        f.env.writeFile(name, bytes);
        open(f.editor, f.env.path(name));
        QCOMPARE(lastText(), message);
        QCOMPARE(Dialogs::shownMessages().last().title, u8("読み込みエラー"));
        QCOMPARE(f.editor->lstMondai->count(), 0);
        QCOMPARE(f.main->document().path(), f.env.path(name));
    }

    void duplicateAndMissingKeysGetNewOnes() {
        EditorFixture f;
        const QString record = "<Mondai key='same1'><mondaibun>{\\rtf1 %1\\par}</mondaibun>"
                               "<kaitou count=0 type=1></kaitou><hint></hint><kaisetsu></kaisetsu>"
                               "</Mondai>\r\n";
        const QString keyless = "<Mondai><mondaibun>{\\rtf1 free\\par}</mondaibun></Mondai>\r\n";
        const QString unclosed = "<Mondai key='abcdefghijklmnopqrstuvwxyz'><mondaibun>{\\rtf1 "
                                 "long\\par}</mondaibun></Mondai>\r\nafter text\r\n";
        f.env.writeFile("dup.kmd",
                        plainFileOf(record.arg("one") + record.arg("two") + keyless + unclosed));
        open(f.editor, f.env.path("dup.kmd"));
        ListView* list = f.editor->lstMondai;
        QCOMPARE(list->count(), 4);
        QCOMPARE(f.main->lstMondai->count(), 4);
        QCOMPARE(Dialogs::shownMessages().size(), 1);
        QCOMPARE(lastText(), u8("エラーが発生しましたが無視します：\r\n　") +
                                 "Key is not unique in collection");
        QCOMPARE(Dialogs::shownMessages().last().title, u8("エラー #35602"));
        QCOMPARE(list->key(1), QString("same1"));
        QStringList texts;
        for (int row = 1; row <= 4; ++row) {
            texts << list->text(row);
            QCOMPARE(list->key(row).size(), row == 1 ? 5 : 5);
            QVERIFY(list->subItem(row, 1).startsWith("<Mondai key='" + list->key(row) + "'"));
            QCOMPARE(f.main->lstMondai->key(row), list->key(row));
        }
        QCOMPARE(texts, (QStringList{"one", "two", "free", "long"}));
    }

    void compressedFileOpensLikeItsPlainTwin() {
        EditorFixture f;
        open(f.editor, QString(KUMEMO_TEST_DATA) + "/lz-plain.kmd");
        const QStringList records = recordsOf(f.editor->lstMondai);
        const QString title = f.main->document().properties().title;
        QCOMPARE(f.editor->lstMondai->text(1), u8("日本で一番高い山は？"));
        open(f.editor, QString(KUMEMO_TEST_DATA) + "/lz-compressed.kmd");
        QCOMPARE(recordsOf(f.editor->lstMondai), records);
        QCOMPARE(f.main->document().properties().title, title);
    }

    void doubleByteCharacterAcrossThePieceBoundary() {
        EditorFixture f;
        QByteArray bytes = plainFileOf("");
        const QByteArray head = Codepage::encode("<kuMemo-data>\r\n<dataprop>\r\n<title value='");
        QByteArray title =
            QByteArray(65519 - head.size(), 'a') + QByteArray::fromHex("82a0") + "'/>";
        f.env.writeFile("big.kmd", head + title + "\r\n</dataprop>\r\n</kuMemo-data>\r\n\r\n");
        open(f.editor, f.env.path("big.kmd"));
        QVERIFY(f.main->document().properties().title.endsWith(u8("aあ")));
    }

    void protectedFileFromRunModeAsksOnlyOnSwitching() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        addQuestion(e, "Q", "A");
        e->mnuSetupKMEpKMD->setChecked(false);
        answerPasswd("pw");
        Dialogs::setNextFileName(f.env.path("x.kme"));
        e->mnuFileSaveAs_Click();
        e->mnuModeRead_Click();
        QVERIFY(!e->isVisible());

        // Loading while the editor is hidden asks nothing.
        open(e, f.env.path("x.kme"));
        QCOMPARE(e->lstMondai->count(), 1);
        QCOMPARE(f.main->document().filePassword(), QString("pw"));
        QCOMPARE(f.main->document().pendingPassword(), QString("pw"));

        // Switching asks once; a cancel warns and opens the editor anyway.
        int asked = 0;
        whenModal([&asked](QWidget* form) {
            ++asked;
            QCOMPARE(form->objectName(), QString("frmProtect"));
            QTest::mouseClick(form->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        });
        f.main->findChild<QAction*>("mnuToolSakusei")->trigger();
        QCOMPARE(asked, 1);
        QCOMPARE(lastText(),
                 u8("正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、別形式での保存はできません。"));
        QCOMPARE(Dialogs::shownMessages().last().title, u8("警告"));
        QVERIFY(e->isVisible());

        // Locked: save-as offers only the protected filter.
        Dialogs::setNextFileName(QString());
        e->mnuFileSaveAs_Click();
        QCOMPARE(Dialogs::fileRequests().last().filter,
                 u8("すべてのファイル (*.*)|*.*|kuMemo保護付データファイル (*.kme)|*.kme|"));
        QCOMPARE(Dialogs::fileRequests().last().filterIndex, 2);

        // A locked save keeps the old password and writes no plain copy.
        e->mnuSetupKMEpKMD->setChecked(true);
        e->mnuFileSave_Click();
        QCOMPARE(lastText(), u8("保存(保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        QCOMPARE(ProtectedFile::parse(readAll(f.env.path("x.kme"))).password, QString("pw"));
        QVERIFY(!QFile::exists(f.env.path("x.kmd")));

        // A plain save of the locked file asks for the password.
        f.main->document().setPath(f.env.path("plain.kmd"));
        whenModal([](QWidget* form) {
            QTest::mouseClick(form->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        });
        e->mnuFileSave_Click();
        QCOMPARE(lastText(),
                 u8("正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、この形式での保存はできません。"));
        QVERIFY(!QFile::exists(f.env.path("plain.kmd")));
    }

    void closingANewDocumentWithQuestionsAsks() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        addQuestion(e, "1", "a");
        addQuestion(e, "2", "b");
        addQuestion(e, "3", "c");
        QVERIFY(!e->mnuFileSave->isEnabled()); // no path: no flag
        Dialogs::setNextAnswer(Dialogs::Answer::No);
        e->close();
        QCOMPARE(lastText(), u8("変更されたﾃﾞｰﾀを保存しますか?"));
        QCOMPARE(Dialogs::shownMessages().last().title, u8("変更を保存しますか?"));
        QCOMPARE(Dialogs::shownMessages().last().buttons, Dialogs::Buttons::YesNo);
    }

    void charactersAPlainFileCannotCarryAreTold() {
        EditorFixture f;
        addQuestion(f.editor, u8("絵文字😀"), "A");
        f.main->document().properties().title = u8("題😀");
        f.main->document().setPath(f.env.path("emoji.kmd"));
        f.editor->mnuFileSave_Click();
        QCOMPARE(Dialogs::shownMessages().at(Dialogs::shownMessages().size() - 2).title,
                 u8("警告"));
        QVERIFY(Dialogs::shownMessages()
                    .at(Dialogs::shownMessages().size() - 2)
                    .text.endsWith(u8("　😀")));
        QCOMPARE(lastText(), u8("保存(標準ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"));
        // The question itself keeps the character through its rich text.
        open(f.editor, f.env.path("emoji.kmd"));
        QCOMPARE(f.editor->lstMondai->text(1), u8("絵文字😀"));
        QCOMPARE(f.main->document().properties().title, u8("題?"));
    }

    void kmzIsSavedAsKmd() {
        EditorFixture f;
        addQuestion(f.editor, "Q", "A");
        f.main->document().setPath(f.env.path("old.KMZ"));
        f.editor->mnuFileSave_Click();
        QCOMPARE(f.main->document().path(), f.env.path("old.kmd"));
        QVERIFY(QFile::exists(f.env.path("old.kmd")));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"

// The editor's table, quiz and worksheet commands as an author uses them: a
// table or another program's file taken in through the File menu, the open
// file written out as a table or a quiz, and worksheets printed to PDF from
// both windows.

#include "AnkiPackageMaker.h"
#include "data/AppGlobals.h"
#include "data/Markup.h"
#include "data/QuestionRecord.h"
#include "formats/LearnerFile.h"
#include "learner/Statistics.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/rtf/RtfReader.h"
#include "printing/Worksheet.h"

#include "support/EditorFixture.h"
#include "support/FileMenu.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTest>
#include <QTextBlock>

namespace {

QString plain(const QString& rtf) {
    return Rtf::toPlainText(rtf).replace("\r\n", "\n");
}

// A question in a few words: "type|question|choices, * before a right
// one|hint|explanation".
QString describe(const QString& record) {
    QStringList choices;
    for (const RecordChoice& c : recordChoices(record))
        choices << (c.correct ? "*" : "") + plain(c.rtf);
    return QStringList{recordAnswerType(record), plain(getTagText(record, "mondaibun")),
                       choices.join(','), plain(getTagText(record, "hint")),
                       plain(getTagText(record, "kaisetsu"))}
        .join('|');
}

QStringList describeAll(const QStringList& records) {
    QStringList out;
    for (const QString& record : records)
        out << describe(record);
    return out;
}

QString table(const char* name) {
    return QString(KUMEMO_TEST_DATA "/table/") + name;
}

const Dialogs::Message& lastMessage() {
    return Dialogs::shownMessages().last();
}

// The text of a PDF as pdftotext reads it.
QString pdfText(const QString& path) {
    QProcess tool;
    tool.start("pdftotext", {"-layout", path, "-"});
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Each text after the one before it.
void verifyInOrder(const QString& text, const QStringList& parts) {
    qsizetype at = 0;
    for (const QString& part : parts) {
        const qsizetype found = text.indexOf(part, at);
        QVERIFY2(found >= 0, qPrintable("not in order: " + part));
        at = found + part.size();
    }
}

// What a worksheet shows of each question, in order: its number and first
// line, its choices; then the key's right answers.
QStringList sheetParts(const QStringList& records, bool key) {
    QStringList parts;
    for (int i = 0; i < records.size(); ++i) {
        parts << u8("問%1").arg(i + 1)
              << plain(getTagText(records.at(i), "mondaibun")).section('\n', 0, 0);
        if (recordAnswerType(records.at(i)) != '3')
            for (const RecordChoice& c : recordChoices(records.at(i)))
                parts << plain(c.rtf);
    }
    if (key) {
        parts << u8("解答");
        for (int i = 0; i < records.size(); ++i) {
            parts << u8("問%1").arg(i + 1);
            for (const RecordChoice& c : recordChoices(records.at(i)))
                if (c.correct)
                    parts << plain(c.rtf);
        }
    }
    return parts;
}

// Two notes as Anki keeps them: the second with its reversed card, reviews
// logged out of their order, and a change made by hand that is no review.
AnkiPackageMaker::Collection reviewedDeck(AnkiPackageMaker::Version version) {
    AnkiPackageMaker::Collection deck;
    deck.version = version;
    deck.notes = {{1, deck.basicType, {"q1", "a1"}}, {2, deck.basicType, {"q2", "a2"}}};
    deck.cards = {{11, 1, 2, 2, 1414, 3, 0}, {21, 2, 2, 2, 1414, 3, 0}, {22, 2, 2, 2, 1414, 3, 1}};
    deck.reviews = {{1700000300000, 11, 3, 1},
                    {1700000000000, 11, 1, 0},
                    {1700000000500, 21, 4, 1},
                    {1700000400000, 11, 0, 4},
                    {1700000200000, 22, 2, 1}};
    return deck;
}

// A learner's files before an import: a record and an answer of another
// question file.
const QByteArray LearnerBefore = "<u-616262631263:k7Pq2 value='3:4:2'/>\r\n";
const QByteArray LogBefore = "2023-01-02T03:04:05Z\t616262631263\tk7Pq2\t3\r\n";

// The lines with "#n" standing for the key of the n-th question imported.
QByteArray withKeys(const QStringList& lines, const QStringList& keys) {
    QString text;
    for (QString line : lines) {
        for (int i = keys.size(); i >= 1; --i)
            line.replace(QString("#%1").arg(i), keys.at(i - 1));
        text += line + "\r\n";
    }
    return text.toUtf8();
}

// The file of the test's folder taken in through the editor's menu, with
// "履歴も取り込む" ticked in the import's dialog; the messages shown are
// those of the import alone.
void importWithHistory(EditorFixture& f, const QString& name) {
    whenModal([](QWidget* form) {
        QTest::mouseClick(control<QCheckBox>(form, "chkHistory"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(form, "cmdOK"), Qt::LeftButton);
    });
    Dialogs::clearRecords();
    Dialogs::setNextFileName(f.env.path(name));
    choose(f.editor, "mnuFileImport");
}

} // namespace

class TestTableCommands : public QObject {
    Q_OBJECT
  private slots:
    void importTakesTheGoodRowsOrNothing_data() {
        QTest::addColumn<bool>("take");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("asked"); // empty: nothing to ask
        QTest::addColumn<QString>("done");
        QTest::addColumn<QStringList>("imported");
        const QString table = u8("問題,正解,選択肢1,選択肢2\r\nA,2,x,y\r\n,1,x,y\r\n"
                                 "B,typed,,\r\nC,3,x,y\r\n");
        const QString asked = u8("次の行は問題にできません。\r\n"
                                 "　3行目：問題文がありません\r\n"
                                 "　5行目：正解「3」に当たる選択肢がありません\r\n\r\n"
                                 "正しく読めた2問だけを取り込みますか?");
        const QStringList imported{"1|A|x,*y||", "3|B|*typed||"};
        QTest::newRow("the good rows")
            << true << table << asked << u8("2問を取り込みました") << imported;
        QTest::newRow("nothing") << false << table << asked << QString() << QStringList();
        // A quoted line break starts no row; a blank row is one.
        QTest::newRow("rows named as the spreadsheet shows them")
            << true
            << u8("問題,正解,選択肢1,選択肢2,ヒント\r\nA,2,x,y,\"two\r\nlines\"\r\n\r\n"
                  ",1,x,y,\r\nB,typed,,,\r\nC,3,x,y,\r\n")
            << u8("次の行は問題にできません。\r\n"
                  "　4行目(ﾌｧｲﾙの5行目)：問題文がありません\r\n"
                  "　6行目(ﾌｧｲﾙの7行目)：正解「3」に当たる選択肢がありません\r\n\r\n"
                  "正しく読めた2問だけを取り込みますか?")
            << u8("2問を取り込みました") << QStringList{"1|A|x,*y|two\nlines|", "3|B|*typed||"};
        // A right answer that is a choice's text means that choice; where its
        // numbers would name another, the row is listed to check.
        const QString readByText =
            u8("\r\n\r\n次の行の正解は、番号ではなく選択肢の文字として読みました。");
        QTest::newRow("a right answer that is a choice's text")
            << true
            << u8("問題,正解,選択肢1,選択肢2,選択肢3,ヒント\r\n1+1は？,2,2,1,3,\r\n"
                  "2+2は？,4,3,4,5,\"数字で\r\n答える\"\r\n3+3は？,1,6,1,3,\r\n")
            << QString()
            << u8("3問を取り込みました") + readByText +
                   u8("\r\n　2行目：正解「2」を選択肢1としました"
                      "\r\n　4行目(ﾌｧｲﾙの5行目)：正解「1」を選択肢2としました")
            << QStringList{u8("1|1+1は？|*2,1,3||"), u8("1|2+2は？|3,*4,5|数字で\n答える|"),
                           u8("1|3+3は？|6,*1,3||")};
        for (const int count : {20, 22}) {
            QString many = u8("問題,正解,選択肢1,選択肢2\r\n");
            QString listed;
            QStringList manyImported;
            for (int i = 1; i <= count; ++i) {
                many += QString("Q%1,1,x,1\r\n").arg(i);
                if (i <= 20)
                    listed += u8("\r\n　%1行目：正解「1」を選択肢2としました").arg(i + 1);
                manyImported << QString("1|Q%1|x,*1||").arg(i);
            }
            if (count > 20)
                listed += u8("\r\n　…ほか%1行").arg(count - 20);
            QTest::addRow("%d rows to check, at most 20 listed", count)
                << true << many << QString()
                << u8("%1問を取り込みました").arg(count) + readByText + listed << manyImported;
        }
    }
    void importTakesTheGoodRowsOrNothing() {
        QFETCH(bool, take);
        QFETCH(QString, table);
        QFETCH(QString, asked);
        QFETCH(QString, done);
        QFETCH(QStringList, imported);
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        QuestionDocument& document = f.main->document();
        const QStringList before = document.records();
        f.env.writeFile("q.csv", table.toUtf8());
        Dialogs::clearRecords();
        Dialogs::setNextFileName(f.env.path("q.csv"));
        Dialogs::setNextAnswer(take ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        choose(f.editor, "mnuFileImport");
        QCOMPARE(Dialogs::shownMessages().size(), 1 + int(take && !asked.isEmpty()));
        if (!asked.isEmpty()) {
            const Dialogs::Message question = Dialogs::shownMessages().first();
            QCOMPARE(question.text, asked);
            QCOMPARE(question.title, u8("取り込み"));
            QCOMPARE(question.icon, Dialogs::Icon::Question);
            QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        }
        if (!take) {
            QCOMPARE(document.records(), before);
            QCOMPARE(questionList(f.editor)->count(), before.size());
            QVERIFY(!f.editor->mnuFileSave->isEnabled());
            return;
        }
        QCOMPARE(lastMessage().text, done);
        QCOMPARE(lastMessage().title, u8("取り込み完了"));
        QCOMPARE(lastMessage().icon, Dialogs::Icon::Information);
        QCOMPARE(document.count(), before.size() + imported.size());
        QCOMPARE(document.records().mid(0, before.size()), before);
        QCOMPARE(describeAll(document.records().mid(before.size())), imported);
        ListView* list = questionList(f.editor);
        QCOMPARE(list->count(), document.count());
        // The run list has them too.
        QCOMPARE(f.main->lstMondai->count(), document.count());
        for (int i = 0; i < imported.size(); ++i) {
            const int row = before.size() + 1 + i;
            QCOMPARE(list->text(row), imported.at(i).section('|', 1, 1));
            QCOMPARE(f.main->lstMondai->text(row), imported.at(i).section('|', 1, 1));
            const QString key = list->key(row);
            QCOMPARE(key.size(), 5);
            QVERIFY(std::all_of(key.begin(), key.end(),
                                [](QChar c) { return keyAlphabet.contains(c); }));
            QCOMPARE(document.indexOf(key), row - 1);
            QCOMPARE(list->subItem(row, 1), document.at(row - 1).record);
        }
        // The fields show the first question taken in; the file has changes.
        QCOMPARE(list->selectedRow(), before.size() + 1);
        QCOMPARE(control<RichTextBox>(f.editor, "txtMondai")->text(),
                 imported.first().section('|', 1, 1));
        QVERIFY(f.editor->mnuFileSave->isEnabled());
    }

    void refusedOrCancelledImportChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << QString() << QString();
        QTest::newRow("unreadable bytes")
            << "bad.csv"
            << u8("2行目の文字を読めません。\r\nUTF-8、UTF-16(BOM付き)またはShift-JIS"
                  "(ｺｰﾄﾞﾍﾟｰｼﾞ932)で保存したﾌｧｲﾙを指定して下さい。");
        QTest::newRow("only bad rows")
            << "allbad.csv"
            << u8("次の行は問題にできないため、何も取り込みませんでした。\r\n"
                  "　2行目：正解がありません");
        QTest::newRow("missing file") << "none.csv" << u8("ﾌｧｲﾙを読み込めませんでした。");
        QTest::newRow("a ZIP file cut short")
            << "cut.apkg" << u8("ZIPﾌｧｲﾙとして読めません。途中で切れているか、壊れています(");
        QTest::newRow("zstd that does not decompress")
            << "zstd.apkg" << u8("collection.anki21bを展開できません(");
        QTest::newRow("SQLite without notes")
            << "nonotes.colpkg" << u8("ｺﾚｸｼｮﾝにﾉｰﾄの表(notes)がありません。\r\n");
        QTest::newRow("XML not well formed") << "quiz.xml" << u8("XMLとして読めません(3行目：");
        QTest::newRow("the sides not chosen") << "words.kvtml" << QString();
    }
    void refusedOrCancelledImportChangesNothing() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        const QStringList before = f.main->document().records();
        f.env.writeFile("bad.csv", "q,a\r\n\x82\x20,b\r\n");
        f.env.writeFile("allbad.csv", u8("問題,種類,正解\r\nQ,3,\r\n").toUtf8());
        f.env.writeFile(u8("ごんべえ.kmu"), LearnerBefore);
        f.env.writeFile(u8("ごんべえ.kma"), LogBefore);
        AnkiPackageMaker::Collection deck = reviewedDeck(AnkiPackageMaker::Version::Anki21);
        const QByteArray package = AnkiPackageMaker::package(deck);
        f.env.writeFile("cut.apkg", package.left(package.size() / 2));
        f.env.writeFile("zstd.apkg",
                        AnkiPackageMaker::zip({{"meta", QByteArray("\x08\x03", 2)},
                                               {"collection.anki21b", "\x28\xB5\x2F\xFD"
                                                                      "\xFF\xFF\xFF"}}));
        deck.withNotesTable = false;
        f.env.writeFile("nonotes.colpkg", AnkiPackageMaker::package(deck));
        f.env.writeFile("quiz.xml", "<?xml version=\"1.0\"?>\n<quiz>\n<question></quiz>");
        f.env.writeFile("words.kvtml", "<kvtml version=\"2.0\"><entries><entry><translation "
                                       "id=\"0\"><text>a</text></translation><translation "
                                       "id=\"1\"><text>b</text></translation></entry></entries>"
                                       "</kvtml>");
        // A damaged file is refused before anything is asked; a sound one is
        // taken only when the sides are chosen.
        bool asked = false;
        QTimer answer;
        answer.setSingleShot(true);
        connect(&answer, &QTimer::timeout, [&asked] {
            if (QWidget* form = QApplication::activeModalWidget()) {
                asked = true;
                control<QPushButton>(form, "cmdCancel")->click();
            }
        });
        answer.start(0);
        Dialogs::clearRecords();
        Dialogs::setNextFileName(file.isEmpty() ? QString() : f.env.path(file));
        choose(f.editor, "mnuFileImport");
        QCOMPARE(asked, file.endsWith(".kvtml"));
        if (message.isEmpty()) {
            QVERIFY(Dialogs::shownMessages().isEmpty());
        } else {
            QCOMPARE(Dialogs::shownMessages().size(), 1);
            QVERIFY2(lastMessage().text.startsWith(message), qPrintable(lastMessage().text));
            QCOMPARE(lastMessage().icon, Dialogs::Icon::Exclamation);
            // The message names the file.
            QVERIFY2(lastMessage().text.endsWith("\r\n" + f.env.path(file)),
                     qPrintable(lastMessage().text));
        }
        QCOMPARE(f.main->document().records(), before);
        QCOMPARE(questionList(f.editor)->count(), before.size());
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kmu"))), LearnerBefore);
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kma"))), LogBefore);
    }

    // "履歴も取り込む": each review of the question's card a line of the
    // learner's answer log, in time order after what the log held; the
    // counts grow in the learner file and on the run list.
    void historyComesAlong_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("swap");
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("log");     // lines after LogBefore
        QTest::addColumn<QStringList>("learner"); // lines after LearnerBefore
        using AnkiPackageMaker::Version;
        const QString taken = u8("\r\n履歴(2問、回答3回、うち正解2回)をごんべえさんの記録に加えました。");
        const QStringList counts{"<u-ID:#1 value='1:2:'/>", "<u-ID:#2 value='1:1:'/>"};
        for (const auto& [version, name] :
             {std::pair{Version::Anki2, "anki2.apkg"}, std::pair{Version::Anki21, "anki21.apkg"},
              std::pair{Version::Anki21b, "anki21b.colpkg"}})
            QTest::addRow("%s", name)
                << name << AnkiPackageMaker::package(reviewedDeck(version)) << false << true
                << taken
                << QStringList{"2023-11-14T22:13:20Z\tID\t#1\t1",
                               "2023-11-14T22:13:20Z\tID\t#2\t4",
                               "2023-11-14T22:18:20Z\tID\t#1\t3"}
                << counts;
        QTest::newRow("sides swapped: the reversed card's reviews")
            << "swapped.apkg" << AnkiPackageMaker::package(reviewedDeck(Version::Anki21b)) << true
            << true << taken
            << QStringList{"2023-11-14T22:13:20Z\tID\t#1\t1",
                           "2023-11-14T22:16:40Z\tID\t#2\t2",
                           "2023-11-14T22:18:20Z\tID\t#1\t3"}
            << counts;
        QTest::newRow("history not chosen")
            << "deck.apkg" << AnkiPackageMaker::package(reviewedDeck(Version::Anki21)) << false
            << false << QString() << QStringList() << QStringList();
        const QByteArray words =
            u8("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\"><entries>"
               "<entry id=\"0\"><translation id=\"0\"><text>dog</text><grade><pregrade>2"
               "</pregrade><currentgrade>3</currentgrade><count>3</count><errorcount>1"
               "</errorcount><date>2023-05-01T10:00:00</date><interval>259200</interval>"
               "</grade></translation><translation id=\"1\"><text>犬</text><grade>"
               "<currentgrade>1</currentgrade><count>2</count><errorcount>0</errorcount>"
               "</grade></translation></entry>"
               "<entry id=\"1\"><translation id=\"0\"><text>cat</text></translation>"
               "<translation id=\"1\"><text>猫</text></translation></entry>"
               "</entries></kvtml>\n")
                .toUtf8();
        QTest::newRow("KVTML grades: counts, no times")
            << "words.kvtml" << words << false << true
            << u8("\r\n履歴(1問、回答5回、うち正解4回)をごんべえさんの記録に加えました。")
            << QStringList() << QStringList{"<u-ID:#1 value='4:5:'/>"};
    }
    void historyComesAlong() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, swap);
        QFETCH(bool, history);
        QFETCH(QString, said);
        QFETCH(QStringList, log);
        QFETCH(QStringList, learner);
        EditorFixture f;
        f.env.writeFile("words.kmd", plainQuestionFile(""));
        f.env.writeFile(u8("ごんべえ.kmu"), LearnerBefore);
        f.env.writeFile(u8("ごんべえ.kma"), LogBefore);
        f.env.writeFile(name, bytes);
        openQuestionFile(f.editor, f.env.path("words.kmd"));
        whenModal([swap, history](QWidget* form) {
            auto* box = control<QCheckBox>(form, "chkHistory");
            QCOMPARE(box->text(), u8("履歴も取り込む"));
            QVERIFY(box->isEnabled());
            QVERIFY(!box->isChecked());
            if (swap)
                QTest::mouseClick(control<QCheckBox>(form, "chkSwap"), Qt::LeftButton);
            if (history)
                QTest::mouseClick(box, Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(form, "cmdOK"), Qt::LeftButton);
        });
        Dialogs::clearRecords();
        Dialogs::setNextFileName(f.env.path(name));
        choose(f.editor, "mnuFileImport");
        QCOMPARE(Dialogs::shownMessages().size(), 1);
        const int questions = f.main->document().count();
        QCOMPARE(lastMessage().text, u8("%1問を取り込みました").arg(questions) + said);
        QStringList keys;
        for (int row = 1; row <= questions; ++row)
            keys << questionList(f.editor)->key(row);
        const QString id = makeFileId(f.env.path("words.kmd"));
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kma"))),
                 LogBefore + withKeys(log, keys).replace("ID", id.toLatin1()));
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kmu"))),
                 LearnerBefore + withKeys(learner, keys).replace("ID", id.toLatin1()));
        // The run list shows the counts brought in.
        const int row = f.main->lstMondai->find(keys.first());
        QCOMPARE(f.main->lstMondai->subItem(row, 2),
                 learner.isEmpty() ? QString() : padLeft(6, learner.first().section(':', 2, 2)));
    }

    // A file never saved has no name for the learner's records to know it
    // by: the history waits for the first save, and goes with another file
    // opened instead or with the program closed without saving.
    void historyWaitsForTheFileName_data() {
        QTest::addColumn<QString>("then");
        QTest::newRow("saved under a name") << "saved";
        QTest::newRow("another file opened") << "other";
        QTest::newRow("program closed unsaved") << "closed";
        QTest::newRow("another learner, then saved") << "switched";
    }
    void historyWaitsForTheFileName() {
        QFETCH(QString, then);
        const bool saved = then == "saved" || then == "switched";
        EditorFixture f;
        f.env.writeFile("deck.apkg",
                        AnkiPackageMaker::package(reviewedDeck(AnkiPackageMaker::Version::Anki21)));
        importWithHistory(f, "deck.apkg");
        QCOMPARE(lastMessage().text,
                 u8("2問を取り込みました\r\n履歴(2問、回答3回、うち正解2回)は、このﾌｧｲﾙを"
                    "保存したときにごんべえさんの記録に加えます。"));
        QVERIFY(!QFile::exists(f.env.path(u8("ごんべえ.kma"))));
        const QStringList keys{questionList(f.editor)->key(1), questionList(f.editor)->key(2)};
        if (then == "closed") {
            Dialogs::setNextAnswer(Dialogs::Answer::No); // the imported questions are not kept
            f.editor->close();
            QVERIFY(!f.editor->isVisible());
            QCOMPARE(lastMessage().text, u8("変更されたﾃﾞｰﾀを保存しますか?"));
            QVERIFY(!QFile::exists(f.env.path(u8("ごんべえ.kma"))));
            return;
        }
        if (!saved) {
            f.env.writeFile("other.kmd", plainQuestionFile(""));
            Dialogs::setNextAnswer(Dialogs::Answer::No); // the imported questions are not kept
            openQuestionFile(f.editor, f.env.path("other.kmd"));
            QCOMPARE(f.main->document().path(), f.env.path("other.kmd"));
        }
        // The history stays the importing learner's.
        if (then == "switched")
            f.main->switchLearner(u8("たろう"));
        Dialogs::setNextFileName(f.env.path("deck.kmd"), 2);
        choose(f.editor, "mnuFileSaveAs");
        QVERIFY(!QFile::exists(f.env.path(u8("たろう.kma"))));
        if (!saved) {
            QVERIFY(!QFile::exists(f.env.path(u8("ごんべえ.kma"))));
            QVERIFY(!QFile::exists(f.env.path(u8("ごんべえ.kmu"))));
            return;
        }
        const QByteArray id = makeFileId(f.env.path("deck.kmd")).toLatin1();
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kma"))),
                 withKeys({"2023-11-14T22:13:20Z\tID\t#1\t1", "2023-11-14T22:13:20Z\tID\t#2\t4",
                           "2023-11-14T22:18:20Z\tID\t#1\t3"},
                          keys)
                     .replace("ID", id));
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kmu"))),
                 withKeys({"<u-ID:#1 value='1:2:'/>", "<u-ID:#2 value='1:1:'/>"}, keys)
                     .replace("ID", id));
        QVERIFY(!fileBytes(f.env.path(u8("たろう.kmu"))).contains(id));
    }

    // An answer log that cannot be written takes no history: the author is
    // told which file, the questions come in, the learner's counts stay.
    void historyThatCannotBeLogged() {
        EditorFixture f;
        f.env.writeFile("words.kmd", plainQuestionFile(""));
        f.env.writeFile(u8("ごんべえ.kmu"), LearnerBefore);
        QVERIFY(QDir(f.env.folder()).mkdir(u8("ごんべえ.kma"))); // a folder where the log should be
        f.env.writeFile("deck.apkg",
                        AnkiPackageMaker::package(reviewedDeck(AnkiPackageMaker::Version::Anki21)));
        openQuestionFile(f.editor, f.env.path("words.kmd"));
        importWithHistory(f, "deck.apkg");
        QCOMPARE(Dialogs::shownMessages().size(), 2);
        const Dialogs::Message failed = Dialogs::shownMessages().first();
        QVERIFY(failed.text.startsWith(u8("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。\r\n") +
                                       f.env.path(u8("ごんべえ.kma"))));
        QCOMPARE(failed.title, u8("保存中止"));
        QCOMPARE(lastMessage().text, u8("2問を取り込みました\r\n履歴は取り込めませんでした。"));
        QCOMPARE(f.main->document().count(), 2);
        QCOMPARE(fileBytes(f.env.path(u8("ごんべえ.kmu"))), LearnerBefore);
        QCOMPARE(f.main->lstMondai->subItem(1, 2), QString());
    }

    // A deck's history brought in: "復習の時期が来た問題だけ選ぶ" keeps the
    // cards that the deck's own schedule had due. The cards are made so that
    // the day Anki gives each (a review card's `due` counts days from the
    // collection's creation, a learning card's is a moment) is the day the
    // schedule here computes from its reviews; what is compared is Anki's
    // columns against the run list.
    void deckDueIsDueHere() {
        using AnkiPackageMaker::CreatedSeconds;
        const QDateTime now(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
        const qint64 nowSeconds = now.toSecsSinceEpoch();
        const auto ago = [nowSeconds](int days) { return nowSeconds - days * 86400; };
        const auto day = [](qint64 seconds) { return (seconds - CreatedSeconds) / 86400; };
        AnkiPackageMaker::Collection deck;
        struct Card {
            const char* text;
            QVector<QPair<int, int>> reviews; // days ago, ease
            int type, queue;
            qint64 due;
        };
        const QVector<Card> cards{
            // One right answer: again in 2 days.
            {"five days ago", {{5, 3}}, 2, 2, day(ago(5)) + 2},
            {"yesterday", {{1, 3}}, 2, 2, day(ago(1)) + 2},
            // Right twice, 2 days apart: again in 11 days.
            {"twice, long ago", {{20, 3}, {18, 3}}, 2, 2, day(ago(18)) + 11},
            {"twice, lately", {{5, 3}, {3, 3}}, 2, 2, day(ago(3)) + 11},
            // Forgotten: relearnt the next day, a learning card's moment.
            {"forgotten", {{2, 1}}, 3, 1, ago(1)},
            {"new", {}, 0, 0, 1},
        };
        QStringList ankiDue;
        for (int i = 0; i < cards.size(); ++i) {
            const Card& c = cards.at(i);
            const qint64 note = i + 1, card = 100 + i;
            deck.notes.append({note, deck.basicType, {c.text, "a"}});
            deck.cards.append({card, note, c.type, c.queue, c.due, 1});
            for (const auto& [daysAgo, ease] : c.reviews)
                deck.reviews.append({ago(daysAgo) * 1000 + card, card, ease, 1});
            const bool due = c.queue == 2   ? day(CreatedSeconds + c.due * 86400) <= day(nowSeconds)
                             : c.queue == 1 ? c.due <= nowSeconds
                                            : false;
            if (due)
                ankiDue << c.text;
        }
        QCOMPARE(ankiDue, QStringList({"five days ago", "twice, long ago", "forgotten"}));

        EditorFixture f;
        Clock::fixForTests(now);
        f.env.writeFile("deck.kmd", plainQuestionFile(""));
        f.env.writeFile("deck.apkg", AnkiPackageMaker::package(deck));
        openQuestionFile(f.editor, f.env.path("deck.kmd"));
        importWithHistory(f, "deck.apkg");
        f.main->cmbFilter->setEditText(u8("復習の時期が来た問題だけ選ぶ"));
        QTest::mouseClick(f.main->cmdDoFilter, Qt::LeftButton);
        QStringList kept;
        for (int row = 1; row <= f.main->lstMondai->count(); ++row)
            kept << f.main->lstMondai->text(row);
        Clock::fixForTests({});
        kept.sort();
        ankiDue.sort();
        QCOMPARE(kept, ankiDue);
    }

    // Export, then import into an empty file: the same questions as plain text.
    void sampleRoundTrip() {
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        const QStringList sample = describeAll(f.main->document().records());
        Dialogs::setNextFileName(f.env.path("sample"));
        choose(f.editor, "mnuFileExport");
        QCOMPARE(lastMessage().text, u8("8問を書き出しました"));
        QCOMPARE(fileBytes(f.env.path("sample.csv")), fileBytes(table("sample.csv")));
        Dialogs::setNextFileName(f.env.path("sample"), 2);
        choose(f.editor, "mnuFileExport");
        QVERIFY(fileBytes(f.env.path("sample.txt"))
                    .startsWith("\xEF\xBB\xBF" + u8("問題\t種類\t正解\t").toUtf8()));

        for (const char* name : {"sample.csv", "sample.txt"}) {
            f.env.writeFile("empty.kmd", plainQuestionFile(""));
            openQuestionFile(f.editor, f.env.path("empty.kmd"));
            QCOMPARE(f.main->document().count(), 0);
            Dialogs::setNextFileName(f.env.path(name));
            choose(f.editor, "mnuFileImport");
            QCOMPARE(describeAll(f.main->document().records()), sample);
        }
    }

    // Other programs' files through the same command, told by their
    // content; cards with two sides ask which side is the question.
    void importsOtherProgramsFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("asked"); // the dialog's file line; empty: no dialog
        QTest::addColumn<bool>("swap");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QStringList>("imported");
        QTest::newRow("Moodle XML")
            << "quiz.xml"
            << u8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n"
                  "<question type=\"multichoice\"><questiontext format=\"html\"><text><![CDATA["
                  "<p>日本の<b>首都</b>は？</p>]]></text></questiontext><single>true</single>"
                  "<answer fraction=\"0\"><text>大阪</text></answer><answer fraction=\"100\">"
                  "<text>東京</text></answer></question>\n"
                  "<question type=\"essay\"><questiontext><text>Write.</text></questiontext>"
                  "</question>\n</quiz>\n")
                   .toUtf8()
            << QString() << false
            << u8("1問を取り込みました\r\n\r\n次の1件は取り込みませんでした。\r\n　記述問題：1件")
            << QStringList{u8("1|日本の首都は？|大阪,*東京||")};
        QTest::newRow("GIFT in a .txt")
            << "quiz.txt"
            << u8("::q1::2+2は？{=4 ~5}\n\n::q2::Capital of Japan?{=Tokyo}\n").toUtf8() << QString()
            << false << u8("2問を取り込みました")
            << QStringList{u8("1|2+2は？|*4,5||"), u8("3|Capital of Japan?|*Tokyo||")};
        QTest::newRow("KVTML, sides swapped")
            << "words.kvtml"
            << u8("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\"><entries>"
                  "<entry id=\"0\"><translation id=\"0\"><text>dog</text></translation>"
                  "<translation id=\"1\"><text>犬</text></translation></entry>"
                  "</entries></kvtml>\n")
                   .toUtf8()
            << u8("words.kvtml (KVTML)") << true << u8("1問を取り込みました")
            << QStringList{u8("3|犬|*dog||")};
        AnkiPackageMaker::Collection deck;
        deck.version = AnkiPackageMaker::Version::Anki21b;
        deck.notes = {{1, deck.basicType, {u8("<b>猫</b>の英語"), "cat"}},
                      {2, deck.clozeType, {u8("{{c1::東京}}は首都"), ""}},
                      {3, deck.basicType, {u8("ﾌｨｰﾙﾄﾞ1つ")}}};
        QTest::newRow("Anki package")
            << "deck.apkg" << AnkiPackageMaker::package(deck) << u8("deck.apkg (Ankiのﾊﾟｯｹｰｼﾞ)")
            << false
            << u8("1問を取り込みました\r\n\r\n次の2件は取り込みませんでした。\r\n"
                  "　穴埋め(ｸﾛｰｽﾞ)のﾉｰﾄ：1件\r\n　ﾌｨｰﾙﾄﾞが2つないﾉｰﾄ：1件")
            << QStringList{u8("3|猫の英語|*cat||")};
        deck.version = AnkiPackageMaker::Version::Anki2;
        deck.notes = {{2, deck.clozeType, {u8("{{c1::東京}}は首都"), ""}}};
        QTest::newRow("Anki collection with nothing to take")
            << "all.colpkg" << AnkiPackageMaker::package(deck) << u8("all.colpkg (Ankiのﾊﾟｯｹｰｼﾞ)")
            << false
            << u8("問題にできるものがないため、何も取り込みませんでした。\r\n"
                  "次の1件は取り込みませんでした。\r\n　穴埋め(ｸﾛｰｽﾞ)のﾉｰﾄ：1件\r\n")
            << QStringList();
    }
    void importsOtherProgramsFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, asked);
        QFETCH(bool, swap);
        QFETCH(QString, done);
        QFETCH(QStringList, imported);
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        QuestionDocument& document = f.main->document();
        const QStringList before = document.records();
        f.env.writeFile(name, bytes);
        QString shown;
        if (!asked.isEmpty())
            whenModal([&shown, swap](QWidget* form) {
                shown = control<QLabel>(form, "lblFile")->text();
                QCOMPARE(control<QCheckBox>(form, "chkSwap")->text(),
                         u8("問題と答えを入れ替える(&W)"));
                // These files tell nothing of how their cards were answered.
                QVERIFY(!control<QCheckBox>(form, "chkHistory")->isEnabled());
                if (swap)
                    QTest::mouseClick(control<QCheckBox>(form, "chkSwap"), Qt::LeftButton);
                QTest::mouseClick(control<QPushButton>(form, "cmdOK"), Qt::LeftButton);
            });
        Dialogs::clearRecords();
        Dialogs::setNextFileName(f.env.path(name));
        choose(f.editor, "mnuFileImport");
        QCOMPARE(shown, asked);
        QCOMPARE(Dialogs::shownMessages().size(), 1);
        if (imported.isEmpty()) {
            QCOMPARE(lastMessage().text, done + f.env.path(name));
            QCOMPARE(lastMessage().icon, Dialogs::Icon::Exclamation);
            QCOMPARE(document.records(), before);
            QVERIFY(!f.editor->mnuFileSave->isEnabled());
            return;
        }
        QCOMPARE(lastMessage().text, done);
        QCOMPARE(lastMessage().title, u8("取り込み完了"));
        QCOMPARE(document.records().mid(0, before.size()), before);
        QCOMPARE(describeAll(document.records().mid(before.size())), imported);
        // Both lists show them, under new keys.
        QCOMPARE(questionList(f.editor)->count(), document.count());
        QCOMPARE(f.main->lstMondai->count(), document.count());
        const QString key = questionList(f.editor)->key(before.size() + 1);
        QCOMPARE(key.size(), 5);
        QCOMPARE(f.main->lstMondai->text(f.main->lstMondai->find(key)),
                 imported.first().section('|', 1, 1));
        QVERIFY(f.editor->mnuFileSave->isEnabled());
    }

    // The open file as a quiz for a learning platform, and back.
    void quizExportsReadBack_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("begins");
        QTest::newRow("Moodle XML")
            << "mnuFileExportMoodle" << u8("Moodle XMLに書き出すﾌｧｲﾙ名を指定して下さい")
            << u8("Moodle XMLﾌｧｲﾙ (*.xml)|*.xml|") << "quiz.xml"
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n");
        QTest::newRow("GIFT") << "mnuFileExportGift" << u8("GIFTに書き出すﾌｧｲﾙ名を指定して下さい")
                              << u8("GIFTﾌｧｲﾙ (*.txt)|*.txt|") << "quiz.txt"
                              << u8("//ヒント：").toUtf8();
    }
    void quizExportsReadBack() {
        QFETCH(QString, command);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(QByteArray, begins);
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        const QStringList sample = describeAll(f.main->document().records());
        Dialogs::clearRecords();
        Dialogs::setNextFileName(f.env.path("quiz"));
        choose(f.editor, qPrintable(command));
        QCOMPARE(Dialogs::fileRequests().last().title, title);
        QCOMPARE(Dialogs::fileRequests().last().filter, filter);
        QCOMPARE(lastMessage().text, u8("8問を書き出しました"));
        QCOMPARE(lastMessage().title, u8("書き出し完了"));
        QVERIFY(fileBytes(f.env.path(written)).startsWith(begins));
        f.env.writeFile("empty.kmd", plainQuestionFile(""));
        openQuestionFile(f.editor, f.env.path("empty.kmd"));
        Dialogs::setNextFileName(f.env.path(written));
        choose(f.editor, "mnuFileImport");
        QCOMPARE(lastMessage().text, u8("8問を取り込みました"));
        QCOMPARE(describeAll(f.main->document().records()), sample);
    }

    // Calc's own CSV files, and what Calc made of an exported one.
    void spreadsheetFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("sheet saved in UTF-8") << "calc_utf8.csv";
        QTest::newRow("sheet saved in code page 932") << "calc_cp932.csv";
        QTest::newRow("export opened and saved by Calc") << "calc_from_export.csv";
    }
    void spreadsheetFiles() {
        QFETCH(QString, file);
        EditorFixture f;
        QStringList expected{
            u8("1|日本で一番高い山は?|*富士山,北岳,奥穂高岳|静岡県と山梨県|標高3776ﾒｰﾄﾙ"),
            u8("2|次のうち、偶数を\n全部選びなさい。|*2,3,*4||2と4は2で割り切れます"),
            u8("3|「～」と「①」の読みは?|*なみせん、まるいち||記号, \"引用符\"も一緒に"),
            u8("1|English, with \"quotes\"|no,*yes|hint, with comma|line one\nline two")};
        if (file == "calc_from_export.csv") {
            openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
            expected = describeAll(f.main->document().records());
            f.env.writeFile("empty.kmd", plainQuestionFile(""));
            openQuestionFile(f.editor, f.env.path("empty.kmd"));
        }
        Dialogs::setNextFileName(table(qPrintable(file)));
        choose(f.editor, "mnuFileImport");
        QCOMPARE(describeAll(f.main->document().records()), expected);
    }

    void saveAsAddsTheChosenExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("question file type") << "quiz" << 2 << "quiz.kmd";
        QTest::newRow("every file") << "quiz" << 1 << "quiz";
        QTest::newRow("typed extension kept") << "quiz.txt" << 2 << "quiz.txt";
    }
    void saveAsAddsTheChosenExtension() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        Dialogs::setNextFileName(f.env.path(typed), filter);
        choose(f.editor, "mnuFileSaveAs");
        QCOMPARE(f.main->document().path(), f.env.path(written));
        QVERIFY(QFile::exists(f.env.path(written)));
    }

    void worksheetDocument() {
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        const QuestionDocument& d = f.main->document();
        const QStringList records = d.records();
        for (const bool key : {true, false}) {
            const Worksheet sheet(d.properties(), records, key);
            const QString text = sheet.document().toPlainText();
            verifyInOrder(text, QStringList{d.properties().title, d.properties().subject,
                                            d.properties().namae} +
                                    sheetParts(records, key));
            QCOMPARE(text.contains(u8("解答")), key);
            QCOMPARE(text.count(u8("□ ")), 3 * 4 + 2 * 5);
            QCOMPARE(text.count(u8("答え ")), 3);
            // A typed answer is written on an underlined blank.
            const QTextBlock answerLine =
                sheet.document().findBlockByNumber(sheet.items().at(4).lastBlock);
            QCOMPARE(answerLine.text(), u8("答え ") + QString(16, QChar(0x3000)));
            QVERIFY((--answerLine.end()).fragment().charFormat().fontUnderline());
            // Hints are left out.
            for (const QString& record : records)
                if (!plain(getTagText(record, "hint")).isEmpty())
                    QVERIFY(!text.contains(plain(getTagText(record, "hint"))));
            const QTextBlock keyHeading = sheet.document().findBlockByNumber(
                sheet.items().at(records.size() - 1).lastBlock + 1);
            QCOMPARE(keyHeading.isValid() && keyHeading.text() == u8("解答"), key);
            if (key)
                QVERIFY(text.contains(u8("解説：富士山の標高は3776メートルです。")));
        }
        // Styles stay: the bold word of the first question.
        const Worksheet sheet(d.properties(), records, false);
        const QTextBlock first =
            sheet.document().findBlockByNumber(sheet.items().first().firstBlock);
        bool boldSeen = false;
        for (auto it = first.begin(); !it.atEnd(); ++it)
            boldSeen |= it.fragment().text() == u8("一番高い") &&
                        it.fragment().charFormat().fontWeight() == QFont::Bold;
        QVERIFY(boldSeen);
    }

    // Questions of one to five choices, and one longer than two pages: no
    // question that fits a page is cut, no line is cut, the key starts a page.
    void pagesCutNoQuestionNorLine() {
        QStringList records;
        for (int i = 0; i < 120; ++i) {
            RecordFields fields;
            fields.key = QString::number(i);
            const int lines = i == 50 ? 150 : 3;
            fields.questionRtf = "{\\rtf1 Question " + QString::number(i) +
                                 QString("\\par line").repeated(lines) + "\\par}";
            for (int c = 0; c < 1 + i % 5; ++c)
                fields.choices.append({c == 0, QString("{\\rtf1 choice %1}").arg(c)});
            fields.explanationRtf = "{\\rtf1 because}";
            records << composeRecord(fields);
        }
        Worksheet sheet(DocumentProperties{}, records, true);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        sheet.layOut(&writer);
        const QTextDocument& doc = sheet.document();
        const qreal page = writer.pageLayout().paintRect(QPageLayout::Point).height();
        const QVector<qreal>& starts = sheet.pageStarts();
        QVERIFY(starts.size() > 10);
        const auto pageOf = [&starts](qreal y) {
            return int(std::upper_bound(starts.begin(), starts.end(), y) - starts.begin()) - 1;
        };
        for (int p = 1; p < starts.size(); ++p)
            QVERIFY(starts.at(p) - starts.at(p - 1) <= page);
        QAbstractTextDocumentLayout* layout = doc.documentLayout();
        const auto rect = [&](int block) {
            return layout->blockBoundingRect(doc.findBlockByNumber(block));
        };
        int longItems = 0;
        for (const Worksheet::Item& item : sheet.items()) {
            const qreal top = rect(item.firstBlock).top();
            const qreal bottom = rect(item.lastBlock).bottom();
            if (bottom - top > page) {
                ++longItems;
                QVERIFY(pageOf(bottom - 1) - pageOf(top) >= 2);
                continue;
            }
            QCOMPARE(pageOf(top), pageOf(bottom - 1));
            QVERIFY(bottom - starts.at(pageOf(top)) <= page);
        }
        QCOMPARE(longItems, 1);
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                const QTextLine line = block.layout()->lineAt(i);
                const qreal top = layout->blockBoundingRect(block).top() + line.y();
                QCOMPARE(pageOf(top), pageOf(top + line.height() - 0.01));
            }
        // The key's heading is the first thing on its page.
        const QTextBlock keyHeading =
            doc.findBlockByNumber(sheet.items().at(records.size() - 1).lastBlock + 1);
        QCOMPARE(keyHeading.text(), u8("解答"));
        QVERIFY(starts.contains(layout->blockBoundingRect(keyHeading).top()));
    }

    // pdftotext finds every question, choice and the answer key, in order,
    // and the fonts are in the file.
    void pdfFromTheEditor() {
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        const QStringList records = f.main->document().records();
        Dialogs::setNextFileName(f.env.path("sheet"));
        choose(f.editor, "mnuFilePdf");
        QCOMPARE(lastMessage().text, u8("PDFﾌｧｲﾙへの書き出しが完了しました"));
        const QString text = pdfText(f.env.path("sheet.pdf"));
        verifyInOrder(text,
                      QStringList{u8("くう・めも サンプル問題集")} + sheetParts(records, true));
        QCOMPARE(text.count(QChar(0x0C)), 2); // the questions' page and the key's
        QVERIFY(text.contains(u8("解説：")));

        QProcess fonts;
        fonts.start("pdffonts", {f.env.path("sheet.pdf")});
        fonts.waitForFinished();
        const QStringList lines =
            QString::fromUtf8(fonts.readAllStandardOutput()).split('\n').mid(2);
        QVERIFY(lines.size() > 1);
        for (const QString& line : lines)
            if (!line.isEmpty())
                QVERIFY2(line.contains(" yes "), qPrintable(line));

        // Switched off, the key is left out, in this run and the next ones.
        choose(f.editor, "mnuFileAnswerKey");
        QCOMPARE(SettingsStore::get("worksheetAnswerKey", QString()),
                 SettingsStore::boolText(false));
        Dialogs::setNextFileName(f.env.path("nokey.pdf"));
        choose(f.editor, "mnuFilePdf");
        QVERIFY(!pdfText(f.env.path("nokey.pdf")).contains(u8("解答")));
        choose(f.editor, "mnuFileAnswerKey");
        QCOMPARE(SettingsStore::get("worksheetAnswerKey", QString()),
                 SettingsStore::boolText(true));
    }

    // A teacher's real sheet: questions imported from a spreadsheet, three
    // lines each, typed answers and choices in turn, over many pages. Every
    // question is printed whole and the key follows the last one.
    void longSheetFromImportedQuestions() {
        EditorFixture f;
        QString csv = u8("問題,正解,選択肢1,選択肢2,選択肢3\r\n");
        for (int i = 1; i <= 60; ++i) {
            csv += u8("\"第%1問の一行目\n二行目の文\n三行目の文\",").arg(i);
            csv += i % 2 ? u8("1,選択%1の一,選択%1の二,選択%1の三\r\n").arg(i)
                         : u8("答え%1番,,,\r\n").arg(i);
        }
        f.env.writeFile("sheet.csv", csv.toUtf8());
        f.editor->importTable(f.env.path("sheet.csv"));
        const QStringList records = f.main->document().records();
        QCOMPARE(records.size(), 60);
        Dialogs::setNextFileName(f.env.path("sheet.pdf"));
        choose(f.editor, "mnuFilePdf");
        QCOMPARE(lastMessage().text, u8("PDFﾌｧｲﾙへの書き出しが完了しました"));
        const QString text = pdfText(f.env.path("sheet.pdf"));
        QStringList parts;
        for (int i = 1; i <= 60; ++i) {
            parts << u8("問%1").arg(i) << u8("第%1問の一行目").arg(i) << u8("三行目の文");
            if (i % 2)
                parts << u8("選択%1の一").arg(i) << u8("選択%1の二").arg(i)
                      << u8("選択%1の三").arg(i);
        }
        parts << u8("解答");
        for (int i = 1; i <= 60; ++i)
            parts << u8("問%1").arg(i) << (i % 2 ? u8("選択%1の一") : u8("答え%1番")).arg(i);
        verifyInOrder(text, parts);
        // Each question once: none is drawn twice across a page end.
        for (int i = 1; i <= 60; ++i)
            QCOMPARE(text.count(u8("第%1問の一行目").arg(i)), 1);
        // The preview shows the same pages.
        int previewPages = 0;
        whenModal([&previewPages](QWidget* preview) {
            previewPages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->close();
        });
        choose(f.editor, "mnuFilePreview");
        QCOMPARE(previewPages, int(text.count(QChar(0x0C))));
        QVERIFY(previewPages > 5);
    }

    // From run mode the sheet follows the list: its order and its filter.
    void pdfFromRunModeFollowsTheList() {
        EditorFixture f;
        openQuestionFile(f.editor, KUMEMO_EXAMPLES "/sample.kmd");
        f.editor->mnuModeRead_Click();
        ListView* list = f.main->lstMondai;
        f.main->lstMondai_ColumnClick(1);
        list->remove(2);
        QStringList shown;
        for (int row = 1; row <= list->count(); ++row)
            shown << f.main->document().at(f.main->document().indexOf(list->key(row))).record;
        QCOMPARE(shown.size(), 7);
        QVERIFY(shown != f.main->document().records().mid(0, 7));
        Dialogs::setNextFileName(f.env.path("run.pdf"));
        choose(f.main.get(), "mnuFilePdf");
        const QString text = pdfText(f.env.path("run.pdf"));
        verifyInOrder(text, sheetParts(shown, true));
        QVERIFY(!text.contains(u8("問8")));
    }

    void menuItems_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* name, const char* caption) {
            QTest::newRow(name) << QString(name) << u8(caption);
        };
        row("mnuFileImport", "ﾌｧｲﾙから問題を取り込む(&I)…");
        row("mnuFileExport", "ﾃｷｽﾄﾌｧｲﾙに書き出す(&E)…");
        row("mnuFileExportMoodle", "Moodle XMLに書き出す…");
        row("mnuFileExportGift", "GIFTに書き出す…");
        row("mnuFilePrint", "印刷(&R)…");
        row("mnuFilePreview", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)…");
        row("mnuFilePdf", "PDFに書き出す(&D)…");
        row("mnuFileAnswerKey", "解答ﾍﾟｰｼﾞを付けて印刷する(&K)");
    }
    void menuItems() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        EditorFixture f;
        QAction* item = control<QAction>(f.editor, qPrintable(name));
        QCOMPARE(item->text(), caption);
        // Nothing to write out or print in an empty file.
        emit control<QMenu>(f.editor, "mnuFile")->aboutToShow();
        QCOMPARE(item->isEnabled(), name == "mnuFileImport" || name == "mnuFileAnswerKey");
        if (!name.startsWith("mnuFileImport") && !name.startsWith("mnuFileExport"))
            QCOMPARE(control<QAction>(f.main.get(), qPrintable(name))->text(), caption);
    }
};

QTEST_MAIN(TestTableCommands)
#include "tst_tablecommands.moc"

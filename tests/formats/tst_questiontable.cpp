#include "formats/QuestionTable.h"
#include "formats/TableDecoding.h"
#include "formats/TableExport.h"
#include "formats/TableTokenizer.h"
#include "platform/Codepage.h"
#include "platform/Shares.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include "support/TestEnv.h"

#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <stdexcept>

namespace {

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += littleEndian ? QByteArray{&low, 1} + high : QByteArray{&high, 1} + low;
    }
    return bytes;
}

QString plain(const QString& rtf) {
    return Rtf::toPlainText(rtf).replace("\r\n", "\n");
}

// A question in a few words: "type|question|choices, * before a right
// one|hint|explanation".
QString describe(const RecordFields& f) {
    QStringList choices;
    for (const RecordChoice& c : f.choices)
        choices << (c.correct ? "*" : "") + plain(c.rtf);
    return QStringList{f.type, plain(f.questionRtf), choices.join(','), plain(f.hintRtf),
                       plain(f.explanationRtf)}
        .join('|');
}

// A row's number, and its line in brackets where that differs: "7(11)".
QString rowName(int number, int line) {
    return QString::number(number) + (number != line ? QString("(%1)").arg(line) : QString());
}

QStringList describeAll(const QuestionTable::ReadResult& result) {
    QStringList out;
    for (const QuestionTable::Question& q : result.questions)
        out << QString::number(q.line) + ":" + describe(q.fields);
    for (const QuestionTable::RowNote& bad : result.badRows)
        out << rowName(bad.number, bad.line) + "!" + bad.text;
    for (const QuestionTable::RowNote& note : result.readByText)
        out << rowName(note.number, note.line) + "?" + note.text;
    return out;
}

QByteArray withMark(const QString& text) {
    return "\xEF\xBB\xBF" + text.toUtf8();
}

} // namespace

class TestQuestionTable : public QObject {
    Q_OBJECT
  private slots:
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("badLine"); // 0: read as `text`
        const QString text = u8("問題,正解\r\n富士山～①,ｶﾅ\r\n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8") << text.toUtf8() << 0 << text;
        QTest::newRow("UTF-8 with a mark") << withMark(text) << 0 << text;
        QTest::newRow("UTF-16 with a mark") << utf16(text, true) << 0 << text;
        QTest::newRow("UTF-16 big-endian with a mark") << utf16(text, false) << 0 << text;
        QTest::newRow("code page 932") << Codepage::encode(text) << 0 << text;
        QTest::newRow("ASCII") << QByteArray("a,b\r\n") << 0 << u8("a,b\r\n");
        QTest::newRow("UTF-8 of two bytes") << u8("café,ñ").toUtf8() << 0 << u8("café,ñ");
        QTest::newRow("UTF-8 Hangul at the end") << u8("a,한").toUtf8() << 0 << u8("a,한");
        QTest::newRow("UTF-8 beyond 16 bits, at the end")
            << u8("𠮷,\U00050000").toUtf8() << 0 << u8("𠮷,\U00050000");
        QTest::newRow("valid in neither, line 3")
            << QByteArray("a\r\nb\r\n\x82\x20x\r\n") << 3 << QString();
        QTest::newRow("damaged UTF-8 is not code page 932, line 2")
            << (u8("日本語の問題です,答え\r\n").toUtf8() + "\xFF" + u8("日本,答え").toUtf8()) << 2
            << QString();
        QTest::newRow("UTF-8 with a mark, damaged on line 2")
            << withMark(u8("a\nb")).replace("b", "\xC3") << 2 << QString();
        QTest::newRow("UTF-16 lone surrogate, line 2")
            << utf16(u8("a\nb") + QChar(0xD800) + "c", true) << 2 << QString();
        QTest::newRow("UTF-16 odd length") << utf16(u8("a\nb"), true) + "x" << 2 << QString();
        QTest::newRow("NUL without a mark, line 2") << QByteArray("a\nb\0c", 5) << 2 << QString();
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, badLine);
        QFETCH(QString, expected);
        const QuestionTable::Decoded decoded = QuestionTable::decode(bytes);
        QCOMPARE(decoded.ok, badLine == 0);
        QCOMPARE(decoded.badLine, badLine);
        QCOMPARE(decoded.text, expected);
    }

    void rows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("rows"); // "number(line):field|field"
        QTest::newRow("commas") << u8("a,b\r\nc,d") << "," << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("tabs") << u8("a\tb\nc\td\n") << "\t" << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("tabs with commas in the text")
            << u8("a, b\tc\nd, e\tf") << "\t" << QStringList{"1:a, b|c", "2:d, e|f"};
        QTest::newRow("quoted separators and quotes")
            << u8("\"a,b\",\"say \"\"hi\"\"\"\r\nc,d") << ","
            << QStringList{"1:a,b|say \"hi\"", "2:c|d"};
        QTest::newRow("line breaks in quotes count as lines, not as rows")
            << u8("\"a\r\nb\",\"c\rd\ne\"\r\nf,g") << ","
            << QStringList{"1:a\nb|c\nd\ne", "2(5):f|g"};
        QTest::newRow("tab inside quotes of a tab file")
            << u8("\"a\tb\"\tc\nd\te") << "\t" << QStringList{"1:a\tb|c", "2:d|e"};
        QTest::newRow("CR line ends") << u8("a,b\rc,d\r") << "," << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("empty fields kept, empty rows left out")
            << u8("a,,\r\n\r\n,,\r\nb,c,") << "," << QStringList{"1:a||", "4:b|c|"};
        QTest::newRow("quote inside an unquoted field")
            << u8("a\"b,c") << "," << QStringList{"1:a\"b|c"};
        QTest::newRow("text after a closing quote")
            << u8("\"a\"b,c") << "," << QStringList{"1:ab|c"};
    }
    void rows() {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(QStringList, rows);
        QCOMPARE(QuestionTable::detectSeparator(text), separator.at(0));
        QVector<QuestionTable::Row> split;
        QCOMPARE(QuestionTable::splitRows(text, separator.at(0), split), 0);
        QStringList got;
        for (const QuestionTable::Row& row : split)
            got << rowName(row.number, row.line) + ":" + row.fields.join('|');
        QCOMPARE(got, rows);
    }

    void questions_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("questions");
        QTest::newRow("Japanese header")
            << u8("問題,種類,正解,選択肢1,選択肢2,選択肢3,ヒント,解説\r\n"
                  "Q1,1,2,a,b,c,h,k\r\nQ2,2,1 3,a,b,c,,\r\nQ3,3,ans,,,,h3,k3\r\n")
            << QStringList{"2:1|Q1|a,*b,c|h|k", "3:2|Q2|*a,b,*c||", "4:3|Q3|*ans|h3|k3"};
        QTest::newRow("English header in any order and case")
            << u8("Explanation,Hint,Choice,Choice,Right Answer,Answer Type,QUESTION\n"
                  "k,h,x,y,y,1,Q\n")
            << QStringList{"2:1|Q|x,*y|h|k"};
        QTest::newRow("type inferred from choices and answers")
            << u8("問題,正解,選択肢,選択肢\nA,1,x,y\nB,\"1,2\",x,y\nC,typed,,\n")
            << QStringList{"2:1|A|*x,y||", "3:2|B|*x,*y||", "4:3|C|*typed||"};
        QTest::newRow("answer by a choice's text, numbers in full width")
            << u8("問題,種類,正解,選択肢1,選択肢2,選択肢3\nA,1,東京,大阪,東京,京都\n"
                  "B,2,１、３,x,y,z\n")
            << QStringList{"2:1|A|大阪,*東京,京都||", "3:2|B|*x,y,*z||"};
        QTest::newRow("a choice's text before its numbers")
            << u8("問題,正解,選択肢1,選択肢2,選択肢3\nA,2,2,1,3\nB,1 3,x,1 3,y\nC,2,1,2,3\n"
                  "D,5,4,5,\nE, 3 ,3,3,x\n")
            << QStringList{"2:1|A|*2,1,3||",
                           "3:1|B|x,*1 3,y||",
                           "4:1|C|1,*2,3||",
                           "5:1|D|4,*5||",
                           "6:2|E|*3,*3,x||",
                           u8("2?正解「2」を選択肢1としました"),
                           u8("3?正解「1 3」を選択肢2としました"),
                           u8("6?正解「3」を選択肢1、2としました")};
        QTest::newRow("the editor's type entries")
            << u8("問題,種類,正解\nA,3.ﾃｷｽﾄﾎﾞｯｸｽ(入力),x\n") << QStringList{"2:3|A|*x||"};
        QTest::newRow("no header: question and typed answer")
            << u8("犬\tdog\n猫\tcat\n") << QStringList{"1:3|犬|*dog||", "2:3|猫|*cat||"};
        QTest::newRow("no header: hint and explanation follow")
            << u8("犬,dog,d...,いぬ\n") << QStringList{"1:3|犬|*dog|d...|いぬ"};
        QTest::newRow("a line break first")
            << u8("問題,正解\n\"\nQ\",x\n") << QStringList{"2:3|\nQ|*x||"};
        QTest::newRow("characters no question file holds are left out")
            << u8("問題,正解,選択肢,選択肢\nQ\uFDD0,1,x,y\nR,@,,\n").replace('@', QChar(0))
            << QStringList{"2:1|Q|*x,y||", u8("3!正解がありません")};
        QTest::newRow("line breaks and tabs stay in fields")
            << u8("問題,正解,解説\n\"two\nlines\",x,\"a\tb\"\n")
            << QStringList{"2:3|two\nlines|*x||a\tb"};
    }
    void questions() {
        QFETCH(QString, table);
        QFETCH(QStringList, questions);
        // With a mark, as NUL is read only then.
        const QuestionTable::ReadResult result = QuestionTable::read(withMark(table));
        QVERIFY2(result.ok, qPrintable(result.refusal));
        QCOMPARE(describeAll(result), questions);
        // Fields are the rich text of typed text, the lists show its plain text.
        const QuestionTable::Question& first = result.questions.first();
        QCOMPARE(first.fields.questionRtf, Rtf::writePlain(plain(first.fields.questionRtf)));
        QCOMPARE(first.plainText, Rtf::toPlainText(first.fields.questionRtf));
    }

    void badRows_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("result");
        const QString head = u8("問題,種類,正解,選択肢1,選択肢2\r\n");
        const auto row = [&](const char* name, const char* line, const char* reason) {
            QTest::newRow(name) << head + u8("OK,3,x,,\r\n") + u8(line)
                                << QStringList{"2:3|OK|*x||", u8("3!") + u8(reason)};
        };
        row("no question text", " ,1,1,a,b", "問題文がありません");
        row("choice question without a right choice", "Q,1,,a,b", "正解の選択肢がありません");
        row("right answer names no choice", "Q,1,3,a,b", "正解「3」に当たる選択肢がありません");
        row("right answer names an empty choice", "Q,1,2,a,",
            "正解「2」に当たる選択肢がありません");
        row("choice question without choices", "Q,2,1,,", "選択肢がありません");
        row("typed answer with a line break", "Q,3,\"a\r\nb\",,",
            "直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません");
        row("typed answer with a line separator", "Q,3,a\u2028b,,",
            "直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません");
        row("typed answer missing", "Q,3,,,", "正解がありません");
        row("typed answer with choices", "Q,3,x,a,", "直接入力ﾀｲﾌﾟの問題に選択肢は付けられません");
        row("type out of range", "Q,4,1,a,b", "回答の種類「4」は1、2、3のどれかにして下さい");
        row("type that is no number", "Q,one,1,a,b",
            "回答の種類「one」は1、2、3のどれかにして下さい");
        row("text beyond the header", "Q,3,x,,,extra", "6列目には見出しがありません");
        QTest::newRow("named as the spreadsheet shows them")
            << head + u8("OK,1,1,\"a\r\nb\",c\r\n\r\nQ,4,1,a,b\r\n")
            << QStringList{"2:1|OK|*a\nb,c||",
                           u8("4(5)!回答の種類「4」は1、2、3のどれかにして下さい")};
        QTest::newRow("no header: a fifth column")
            << u8("Q,A\r\nQ,A,h,k,more\r\n")
            << QStringList{
                   "1:3|Q|*A||",
                   u8("2!5列目は読めません。見出しのない表は問題、正解、ヒント、解説の4列です")};
    }
    void badRows() {
        QFETCH(QString, table);
        QFETCH(QStringList, result);
        const QuestionTable::ReadResult read = QuestionTable::read(table.toUtf8());
        QVERIFY(read.ok);
        QCOMPARE(describeAll(read), result);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("unknown column")
            << u8("問題,難易度\r\nQ,1").toUtf8()
            << u8("1行目の見出し「難易度」は列の名前ではありません。\r\n"
                  "列の名前：問題、種類、正解、選択肢、ヒント、解説\r\n"
                  "(question, type, answer, choice, hint, explanation)");
        QTest::newRow("column named twice") << u8("\r\nhint,question,ヒント\r\n").toUtf8()
                                            << u8("2行目の見出し「ヒント」が2つあります。");
        QTest::newRow("quote never closed") << QByteArray("q,a\r\nq,\"a\r\nb\r\n")
                                            << u8("2行目で始まる「\"」が閉じられていません。");
        QTest::newRow("no rows") << QByteArray("\r\n\r\n") << u8("ﾌｧｲﾙに問題がありません。");
        QTest::newRow("bytes of no encoding")
            << QByteArray("q,a\r\n\x82\x20")
            << u8("2行目の文字を読めません。\r\n"
                  "UTF-8、UTF-16(BOM付き)またはShift-JIS"
                  "(ｺｰﾄﾞﾍﾟｰｼﾞ932)で保存したﾌｧｲﾙを指定して下さい。");
    }
    void refusals() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        const QuestionTable::ReadResult read = QuestionTable::read(bytes);
        QVERIFY(!read.ok);
        QCOMPARE(read.refusal, refusal);
        QVERIFY(read.questions.isEmpty());
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("separator");
        QTest::newRow("comma") << ",";
        QTest::newRow("tab") << "\t";
    }
    void roundTrip() {
        QFETCH(QString, separator);
        const QStringList awkward{u8("a,b"),        u8("\"quoted\""), u8("tab\there"),
                                  u8("two\nlines"), u8(" spaced "),   u8("日本語～①")};
        QStringList records;
        QStringList expected;
        int n = 0;
        for (const QString& text : awkward) {
            for (const QChar type : {QChar('1'), QChar('2'), QChar('3')}) {
                RecordFields f;
                f.key = QString::number(++n);
                f.type = type;
                f.questionRtf = Rtf::writePlain(text + "?");
                if (type == '3') {
                    f.choices.append(
                        {true, Rtf::writePlain(u8("ans ") + QString(text).remove('\n'))});
                } else {
                    f.choices.append({false, Rtf::writePlain(text)});
                    f.choices.append({true, Rtf::writePlain(u8("right"))});
                    f.choices.append({type == '2', Rtf::writePlain(text + text)});
                }
                f.hintRtf = Rtf::writePlain(text);
                f.explanationRtf = Rtf::writePlain(text + "!");
                records << composeRecord(f);
                expected << describe(f);
            }
        }
        const QByteArray table = QuestionTable::write(records, separator.at(0));
        QVERIFY(table.startsWith("\xEF\xBB\xBF"));
        const QuestionTable::ReadResult read = QuestionTable::read(table);
        QVERIFY(read.ok);
        QVERIFY(read.badRows.isEmpty());
        QStringList got;
        for (const QuestionTable::Question& q : read.questions)
            got << describe(q.fields);
        QCOMPARE(got, expected);
    }

    void writtenBytes() {
        RecordFields f;
        f.key = "k";
        f.type = '2';
        f.questionRtf = Rtf::writePlain(u8("Q \"1\""));
        f.choices = {{true, Rtf::writePlain(u8("a,b"))},
                     {false, Rtf::writePlain(u8("c"))},
                     {true, Rtf::writePlain(u8("d\ne"))}};
        f.hintRtf = Rtf::writePlain(u8("ヒ"));
        RecordFields typed = f;
        typed.type = '3';
        typed.choices = {{true, Rtf::writePlain(u8("x"))}};
        // Numbers that are another choice's text get commas after them
        // until they read back as numbers: as many commas as choices at most.
        RecordFields numeric;
        numeric.key = "m";
        numeric.type = '1';
        numeric.questionRtf = Rtf::writePlain(u8("1+1"));
        numeric.choices = {{true, Rtf::writePlain(u8("2"))},
                           {false, Rtf::writePlain(u8("1"))},
                           {false, Rtf::writePlain(u8("3"))}};
        RecordFields twice = numeric;
        twice.type = '2';
        twice.choices = {{true, Rtf::writePlain(u8("1 2"))}, {true, Rtf::writePlain(u8("1 2,"))}};
        // A record that names no type leaves its column empty.
        const QString untyped = "<Mondai key='n'><mondaibun>" + Rtf::writePlain(u8("N")) +
                                "</mondaibun><kaitou count=1><sentakushi isSeikai=True>" +
                                Rtf::writePlain(u8("y")) + "</sentakushi></kaitou></Mondai>";
        const QStringList records{composeRecord(f), composeRecord(typed), untyped,
                                  composeRecord(numeric), composeRecord(twice)};
        const QByteArray commas = QuestionTable::write(records, ',');
        QCOMPARE(commas, withMark(u8("問題,種類,正解,選択肢1,選択肢2,選択肢3,ヒント,解説\r\n"
                                     "\"Q \"\"1\"\"\",2,1 3,\"a,b\",c,\"d\ne\",ヒ,\r\n"
                                     "\"Q \"\"1\"\"\",3,x,,,,ヒ,\r\n"
                                     "N,,1,y,,,,\r\n"
                                     "1+1,1,\"1,\",2,1,3,,\r\n"
                                     "1+1,2,\"1 2,,\",1 2,\"1 2,\",,,\r\n")));
        const QByteArray tabs = QuestionTable::write(records, '\t');
        QCOMPARE(tabs, withMark(u8("問題\t種類\t正解\t選択肢1\t選択肢2\t選択肢3\tヒント\t解説\r\n"
                                   "\"Q \"\"1\"\"\"\t2\t1 3\ta,b\tc\t\"d\ne\"\tヒ\t\r\n"
                                   "\"Q \"\"1\"\"\"\t3\tx\t\t\t\tヒ\t\r\n"
                                   "N\t\t1\ty\t\t\t\t\r\n"
                                   "1+1\t1\t1,\t2\t1\t3\t\t\r\n"
                                   "1+1\t2\t1 2,,\t1 2\t1 2,\t\t\t\r\n")));
        for (const QByteArray& table : {commas, tabs}) {
            const QuestionTable::ReadResult read = QuestionTable::read(table);
            QCOMPARE(read.questions.size(), 5);
            QCOMPARE(describe(read.questions.at(3).fields), describe(numeric));
            QCOMPARE(describe(read.questions.at(4).fields), describe(twice));
            QVERIFY(read.readByText.isEmpty());
        }
    }

    // Reading and writing tables share their rows out over the pool's
    // threads. Every item is worked on once, whatever threads can be had;
    // where none can, the calling thread does it all.
    void sharesOfTheWork_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("poolThreads"); // 0: as the machine has
        QTest::addColumn<bool>("poolBusy");
        QTest::addColumn<bool>("helped"); // some share worked off the calling thread
        QTest::newRow("short list") << 999 << 0 << false << false;
        QTest::newRow("long list") << 10000 << 0 << false << true;
        QTest::newRow("pool of one thread") << 10000 << 1 << false << false;
        QTest::newRow("pool busy") << 10000 << 0 << true << false;
        QTest::newRow("nothing") << 0 << 0 << false << false;
    }
    void sharesOfTheWork() {
        QFETCH(int, count);
        QFETCH(int, poolThreads);
        QFETCH(bool, poolBusy);
        QFETCH(bool, helped);
        QThreadPool* const pool = QThreadPool::globalInstance();
        if (helped && pool->maxThreadCount() < 2)
            QSKIP("this machine gives the pool one thread");
        const int threads = pool->maxThreadCount();
        if (poolThreads)
            pool->setMaxThreadCount(poolThreads);
        QSemaphore release;
        int blockers = 0;
        while (poolBusy && pool->tryStart([&release] { release.acquire(); }))
            ++blockers;
        std::vector<int> worked(std::size_t(count), 0);
        std::vector<char> onCaller(std::size_t(count), 0);
        const QThread* const caller = QThread::currentThread();
        // Where a helper is expected, the caller's share waits for it to
        // begin, so that a quick caller does not take every share first.
        QSemaphore helperBegan;
        bool waited = false;
        forEachShare(count, 500, [&](qsizetype from, qsizetype to) {
            if (QThread::currentThread() != caller)
                helperBegan.release();
            else if (helped && !std::exchange(waited, true))
                helperBegan.tryAcquire(1, 10000);
            for (qsizetype i = from; i < to; ++i) {
                ++worked[std::size_t(i)];
                onCaller[std::size_t(i)] = QThread::currentThread() == caller;
            }
        });
        release.release(blockers);
        pool->waitForDone();
        pool->setMaxThreadCount(threads);
        QCOMPARE(std::count(worked.begin(), worked.end(), 1), count);
        QCOMPARE(std::count(onCaller.begin(), onCaller.end(), 0) > 0, helped);
    }

    // A share that fails ends the call with its exception, never the program.
    void failingShare() {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 forEachShare(10000, 500, [](qsizetype, qsizetype) {
                                     throw std::runtime_error("share failed");
                                 }));
    }
};

QTEST_MAIN(TestQuestionTable)
#include "tst_questiontable.moc"

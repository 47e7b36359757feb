#include "ExampleFiles.h"

#include "data/JapaneseDate.h"
#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "editor/frmSakusei.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionFile.h"
#include "platform/AtomicFile.h"
#include "platform/Codepage.h"
#include "platform/RichTextBox.h"

#include <QDateTime>
#include <QDir>

namespace ExampleFiles {

namespace {
QString u(const char* text) {
    return QString::fromUtf8(text);
}

enum Style { Bold = 1, Underline = 2, Red = 4, Blue = 8 };

// A word of the field's text (its first occurrence) set in a style, as an
// author does it in the editor by selecting it.
struct Emphasis {
    const char* word;
    int style;
};

struct RichField {
    const char* text;
    QList<Emphasis> emphases = {};
};

struct Choice {
    bool correct;
    RichField field;
};

struct Question {
    const char* key;
    char type; // '1' single choice, '2' multiple choice, '3' typed answer
    RichField question;
    QList<Choice> choices;
    RichField hint;
    RichField explanation;
};

const QList<Question>& questions() {
    static const QList<Question> list{
        {"kmQ01",
         '1',
         {"日本で一番高い山はどれですか。", {{"一番高い", Bold}}},
         {{true, {"富士山"}}, {false, {"北岳"}}, {false, {"奥穂高岳"}}, {false, {"槍ヶ岳"}}},
         {"静岡県と山梨県にまたがる山です。"},
         {"富士山の標高は3776メートルです。\r\n"
          "2番目に高いのは南アルプスの北岳（3193メートル）です。",
          {{"3776メートル", Red}}}},
        {"kmQ02",
         '1',
         {"日本で一番面積の大きい湖はどれですか。", {{"面積", Bold}}},
         {{false, {"霞ヶ浦"}}, {true, {"琵琶湖"}}, {false, {"サロマ湖"}}, {false, {"猪苗代湖"}}},
         {"近畿地方にあります。"},
         {"琵琶湖は滋賀県にあり、面積は約670平方キロメートルです。2番目は茨城県の霞ヶ浦です。"}},
        {"kmQ03",
         '2',
         {"次のうち、海に面していない県をすべて選んで下さい。\r\n"
          "（このような県を内陸県といいます）",
          {{"海に面していない", Underline}, {"すべて", Bold}}},
         {{true, {"長野県"}},
          {false, {"静岡県"}},
          {true, {"岐阜県"}},
          {false, {"新潟県"}},
          {true, {"山梨県"}}},
         {"日本の内陸県は全部で8つあります。"},
         {"内陸県は栃木県・群馬県・埼玉県・山梨県・長野県・岐阜県・滋賀県・奈良県の8県です。",
          {{"8県", Bold}}}},
        {"kmQ04",
         '2',
         {"次のうち、江戸時代の出来事をすべて選んで下さい。",
          {{"江戸時代", Red}, {"すべて", Bold}}},
         {{true, {"島原の乱"}},
          {false, {"応仁の乱"}},
          {true, {"享保の改革"}},
          {false, {"壇ノ浦の戦い"}},
          {true, {"大政奉還"}}},
         {"江戸時代は1603年から1867年までです。"},
         {"島原の乱は1637年、享保の改革は1716年から、大政奉還は1867年です。\r\n"
          "応仁の乱（1467年）は室町時代、壇ノ浦の戦い（1185年）は平安時代の終わりの出来事です。"}},
        {"kmQ05",
         '3',
         {"「紫陽花」の読みをひらがなで入力して下さい。", {{"紫陽花", Bold | Blue}}},
         {{true, {"あじさい"}}},
         {"梅雨のころに咲く花です。"},
         {"紫陽花（あじさい）は6月ごろに青や紫、ピンクの花を咲かせます。"}},
        {"kmQ06",
         '3',
         {"「向日葵」の読みをひらがなで入力して下さい。", {{"向日葵", Bold | Blue}}},
         {{true, {"ひまわり"}}},
         {"夏に咲く、大きな黄色い花です。"},
         {"「日に向かう葵」と書いて「ひまわり」と読みます。", {{"日に向かう", Underline}}}},
        {"kmQ07",
         '3',
         {"鎌倉幕府を開いた人物は誰ですか。漢字で入力して下さい。", {{"漢字", Underline}}},
         {{true, {"源頼朝"}}},
         {"平氏を滅ぼした源氏の棟梁です。"},
         {"源頼朝は1192年に征夷大将軍に任じられました。"}},
        {"kmQ08",
         '1',
         {"随筆「徒然草」の作者は誰ですか。"},
         {{false, {"清少納言"}}, {false, {"紫式部"}}, {true, {"兼好法師"}}, {false, {"鴨長明"}}},
         {""},
         {"徒然草は鎌倉時代の終わりに兼好法師（吉田兼好）が書いた随筆です。"
          "「枕草子」は清少納言、「方丈記」は鴨長明の作品です。",
          {{"兼好法師", Red}}}},
    };
    return list;
}

// The RTF of a field as the editor's box holds it after the author typed
// the text into a cleared box and styled the words.
class FieldWriter {
  public:
    QString rtf(const RichField& field) {
        frmSakusei::clearRichText(&box_);
        const QString text = u(field.text);
        box_.setText(text);
        for (const Emphasis& emphasis : field.emphases) {
            const QString word = u(emphasis.word);
            const qsizetype at = text.indexOf(word);
            if (at < 0) {
                error_ += "\"" + word + "\" is not in \"" + text + "\"\n";
                continue;
            }
            box_.setSelStart(int(at));
            box_.setSelLength(int(word.size()));
            if (emphasis.style & Bold)
                box_.setSelBold(true);
            if (emphasis.style & Underline)
                box_.setSelUnderline(true);
            if (emphasis.style & Red)
                box_.setSelColor(QColor(255, 0, 0));
            if (emphasis.style & Blue)
                box_.setSelColor(QColor(0, 0, 255));
        }
        return box_.textRTF();
    }
    const QString& error() const { return error_; }

  private:
    RichTextBox box_;
    QString error_;
};

DocumentProperties properties() {
    DocumentProperties g;
    g.title = u("くう・めも サンプル問題集");
    g.subject = u("日本の地理・歴史と漢字の読み");
    g.version = "1.0";
    g.namae = u("くう・めも");
    g.comment = u("はじめての方のためのサンプルです。\r\n"
                  "問題ﾌｧｲﾙ作成ﾓｰﾄﾞで自由に書き換えてみて下さい。");
    g.cdate = formatJapaneseDate(QDateTime(QDate(2025, 4, 1), QTime(9, 0, 0)));
    g.mdate = formatJapaneseDate(QDateTime(QDate(2025, 4, 14), QTime(18, 30, 15)));
    return g;
}

// Nothing may turn into "?" on the way to code page 932.
bool allCarried(const QString& uncarried, const char* fileName, QString* error) {
    if (uncarried.isEmpty())
        return true;
    *error = QString(fileName) + ": not in code page 932: " + uncarried;
    return false;
}

bool writeFile(const QString& folder, const char* fileName, const QByteArray& bytes,
               QString* error) {
    QString why;
    if (writeFileAtomically(QDir(folder).filePath(fileName), bytes, &why))
        return true;
    *error = QString(fileName) + ": " + why;
    return false;
}
} // namespace

QString questionFileText(QString* error) {
    FieldWriter writer;
    QStringList records;
    for (const Question& q : questions()) {
        RecordFields fields;
        fields.key = q.key;
        fields.questionRtf = writer.rtf(q.question);
        fields.type = QChar(q.type);
        for (const Choice& choice : q.choices)
            fields.choices.append({choice.correct, writer.rtf(choice.field)});
        fields.hintRtf = writer.rtf(q.hint);
        fields.explanationRtf = writer.rtf(q.explanation);
        records << composeRecord(fields);
    }
    if (!writer.error().isEmpty()) {
        *error = writer.error();
        return {};
    }
    return QuestionFile::compose("1.00", properties(), records);
}

QString markFileText() {
    return u("Level=1:◎\r\n"
             "Level=2:○\r\n"
             "Level=3:△\r\n"
             "Level=4:×\r\n"
             "Correct=1\r\n"
             "Wrong=4\r\n"
             "Hint=3\r\n");
}

bool write(const QString& folder, QString* error) {
    const QString text = questionFileText(error);
    if (text.isEmpty())
        return false;
    QString plainLost;
    const QByteArray plain = QuestionFile::plainFileBytes(text, &plainLost);
    QString marksLost;
    const QByteArray marks = Codepage::encode(markFileText(), 932, &marksLost);
    return allCarried(plainLost, QuestionFileName, error) &&
           allCarried(marksLost, MarkFileName, error) &&
           writeFile(folder, QuestionFileName, plain, error) &&
           writeFile(folder, ProtectedFileName, ProtectedFile::compose(Password, text), error) &&
           writeFile(folder, MarkFileName, marks, error);
}

} // namespace ExampleFiles

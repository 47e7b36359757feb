#include "formats/QuizText.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

namespace QuizText {

QString questionName(const RecordFields& fields, int number) {
    const QString text = Rtf::toPlainText(fields.questionRtf).section(QLatin1String("\r\n"), 0, 0);
    const QString name = text.trimmed().left(40);
    return name.isEmpty() ? u("問%1").arg(number) : name;
}

QString fraction(double percent) {
    QString text = QString::number(percent, 'f', 5);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

namespace {
int rightCount(const RecordFields& fields) {
    int right = 0;
    for (const RecordChoice& choice : fields.choices)
        right += choice.correct;
    return right;
}
} // namespace

double rightFraction(const RecordFields& fields) {
    const int right = rightCount(fields);
    return fields.type == QChar('2') && right > 0 ? 100.0 / right : 100.0;
}

double wrongFraction(const RecordFields& fields) {
    const int wrong = int(fields.choices.size()) - rightCount(fields);
    return fields.type == QChar('2') && wrong > 0 ? -100.0 / wrong : 0.0;
}

QString unsupportedKind(const QString& kind) {
    static const struct {
        const char* kind;
        const char* name;
    } names[] = {{"matching", "組み合わせ問題"}, {"numerical", "数値の問題"},
                 {"essay", "記述問題"},          {"description", "説明文"},
                 {"multianswer", "穴埋め問題"},  {"cloze", "穴埋め問題"},
                 {"calculated", "計算問題"},     {"ddwtos", "ﾄﾞﾗｯｸﾞ&ﾄﾞﾛｯﾌﾟの問題"}};
    for (const auto& known : names)
        if (kind == QLatin1String(known.kind))
            return u(known.name);
    return u("「%1」の問題").arg(kind);
}

void trueFalseChoices(RecordFields& fields, bool trueIsRight) {
    fields.type = QChar('1');
    fields.choices = {{trueIsRight, Rtf::writePlain(u("正しい"))},
                      {!trueIsRight, Rtf::writePlain(u("誤り"))}};
}

} // namespace QuizText

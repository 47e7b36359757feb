#include "editor/TextCommands.h"

namespace {
const QString crlf = QStringLiteral("\r\n");
const QChar ideographicSpace(0x3000);
} // namespace

QStringList splitPastedChoices(const QString& plainText) {
    const QString text = crlf + plainText;
    QStringList choices;
    for (QChar label : QString::fromUtf8("アイウエオ")) {
        const QString pattern = crlf + ideographicSpace + label + ideographicSpace;
        const qsizetype at = text.indexOf(pattern);
        if (at < 0)
            continue;
        QString choice = text.mid(at + pattern.size());
        const qsizetype emptyLine = choice.indexOf(crlf + crlf);
        if (emptyLine >= 0)
            choice.truncate(emptyLine);
        choice.remove(crlf + ideographicSpace + ideographicSpace);
        choice.remove(crlf + ideographicSpace);
        choice.remove(crlf);
        choices << choice;
    }
    return choices;
}

QString tidyQuestionText(const QString& plainText) {
    QString text = plainText;
    while (text.startsWith(ideographicSpace))
        text.remove(0, 1);
    text.remove(crlf + ideographicSpace);
    text.remove(crlf);
    return text;
}

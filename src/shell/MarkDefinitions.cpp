#include "shell/MarkDefinitions.h"

#include "platform/Codepage.h"

#include <QFile>

namespace {
// "Correct=", "Wrong=" and "Hint=" name a level defined on an earlier line.
void referLevel(KeyedTable& table, const QString& entryKey, const QString& level) {
    const int row = table.find("key" + level);
    if (row)
        table.add(entryKey, table.text(row));
}
} // namespace

void readMarkDefinitions(const QString& fileText, MarkDefinitions& definitions) {
    QString text = fileText;
    text.replace("\r\n", "\n");
    const QStringList lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the line end of the last line starts no further line
        if (line.startsWith("Level=")) {
            const QString rest = line.mid(6);
            const qsizetype colon = rest.indexOf(':');
            if (colon < 0)
                continue;
            const QString level = rest.left(colon);
            const QString mark = rest.mid(colon + 1);
            definitions.marks.append(mark);
            definitions.table.add("key" + level, mark);
            definitions.table.add("str" + mark, level);
        } else if (line.startsWith("Correct=")) {
            referLevel(definitions.table, "keyCorrect", line.mid(8));
        } else if (line.startsWith("Wrong=")) {
            referLevel(definitions.table, "keyWrong", line.mid(6));
        } else if (line.startsWith("Hint=")) {
            referLevel(definitions.table, "keyHint", line.mid(5));
        }
    }
}

void readMarkDefinitionFile(const QString& folder, MarkDefinitions& definitions) {
    QFile file(folder + "kuMemo-ini.txt");
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    readMarkDefinitions(Codepage::decode(file.readAll()), definitions);
}

QString defaultFilter() {
    return QString::fromUtf8("ﾗﾝﾀﾞﾑに20問だけ選ぶ");
}

QStringList filterItems(const QStringList& marks) {
    QStringList items{
        QString::fromUtf8("ﾗﾝﾀﾞﾑに10問だけ選ぶ"),
        defaultFilter(),
        QString::fromUtf8("ﾗﾝﾀﾞﾑに50問だけ選ぶ"),
        QString::fromUtf8("まだ解いていない問題だけ選ぶ"),
        QString::fromUtf8("解いたことのある問題だけ選ぶ"),
        QString::fromUtf8("正答率が100%のものだけ選ぶ"),
        QString::fromUtf8("正答率が75%以下のものだけ選ぶ"),
        QString::fromUtf8("正答率が50%以下のものだけ選ぶ"),
        QString::fromUtf8("正答率が25%以下のものだけ選ぶ"),
        QString::fromUtf8("正答率が0%のものだけ選ぶ"),
    };
    for (qsizetype i = 0; i < marks.size(); ++i) {
        // The first and the last mark stand for themselves; those between
        // take every lower mark with them.
        const bool between = i != 0 && i != marks.size() - 1;
        items << QString::fromUtf8("ﾏｰｸが\"") + marks.at(i) + "\"" +
                     (between ? QString::fromUtf8("以下") : QString()) +
                     QString::fromUtf8("を選ぶ");
    }
    items << QString::fromUtf8("今回間違えた問題だけ選ぶ");
    return items;
}

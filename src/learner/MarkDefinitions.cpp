#include "learner/MarkDefinitions.h"

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
    QFile file(folder + MarkDefinitionFileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    readMarkDefinitions(Codepage::decode(file.readAll()), definitions);
}

QString proposedMark(const QString& rowMark, bool right, const KeyedTable& markTable,
                     const QString& selectorText) {
    if (!rowMark.isEmpty())
        return rowMark;
    const int entry = markTable.find(right ? "keyCorrect" : "keyWrong");
    return entry ? markTable.text(entry) : selectorText;
}

bool isKnownMark(const QString& text, const KeyedTable& markTable) {
    if (text.isEmpty())
        return false;
    // Entries under "key…" hold marks; those under "str…" hold levels.
    for (int row = 1; row <= markTable.count(); ++row) {
        if (markTable.key(row).startsWith("key", Qt::CaseInsensitive) &&
            markTable.text(row) == text)
            return true;
    }
    return false;
}

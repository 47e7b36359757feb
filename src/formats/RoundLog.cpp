#include "formats/RoundLog.h"

#include "data/JapaneseDate.h"
#include "platform/AtomicFile.h"
#include "platform/Codepage.h"
#include "platform/TextLines.h"
#include "platform/Texts.h"

#include <QFile>

namespace {
// "2026/12/07(月) 18:30:05": the weekday is not checked, the rest must be
// a real moment.
QDateTime readDate(QStringView text) {
    if (text.size() != 22 || text.at(10) != '(' || text.at(12) != ')' || text.at(13) != ' ')
        return {};
    return QDateTime::fromString(text.first(10).toString() + ' ' + text.sliced(14).toString(),
                                 QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

// A count of digits only.
bool readCount(QStringView text, int& count) {
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text)
        if (c < '0' || c > '9')
            return false;
    count = text.toInt();
    return true;
}

QString lineFault(QStringView line, RoundEntry& entry) {
    const QList<QStringView> fields = line.split('\t');
    if (fields.size() != 4)
        return u("項目が4つではありません");
    entry.when = readDate(fields[0]);
    if (!entry.when.isValid())
        return u("日時が読めません");
    entry.fileId = fields[1].toString();
    if (entry.fileId.isEmpty())
        return u("問題ﾌｧｲﾙの識別子がありません");
    if (!readCount(fields[2], entry.asked) || !readCount(fields[3], entry.right) ||
        entry.right > entry.asked)
        return u("問題数と正解数が読めません");
    return {};
}
} // namespace

QByteArray composeRoundLine(const RoundEntry& entry) {
    return Codepage::encode(formatJapaneseDate(entry.when) + '\t' + entry.fileId + '\t' +
                            QString::number(entry.asked) + '\t' + QString::number(entry.right) +
                            "\r\n");
}

RoundLogRead readRoundLog(const QByteArray& bytes, const QString& fileId) {
    RoundLogRead read;
    const QString text = Codepage::decode(bytes);
    forEachLine(text, [&](QStringView line, int number) {
        if (line.isEmpty())
            return;
        RoundEntry entry;
        const QString fault = lineFault(line, entry);
        if (!fault.isEmpty()) {
            if (read.skipped++ == 0) {
                read.line = number;
                read.reason = fault;
            }
            return;
        }
        if (entry.fileId == fileId)
            read.rounds.append(entry);
    });
    return read;
}

RoundLogRead loadRoundLog(const QString& path, const QString& fileId) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, true, 0, 0, file.errorString()};
    return readRoundLog(file.readAll(), fileId);
}

LearnerFileOutcome appendRoundLog(const QString& path, const RoundEntry& entry) {
    // The learner file beside the log: its name with ".kmu" for ".kmr".
    LearnerLock lock((path.endsWith(".kmr") ? path.chopped(4) : path) + ".kmu");
    QString reason;
    if (!lock.take(path, reason))
        return {false, path, reason};
    QFile file(path);
    QByteArray bytes;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return {false, path, file.errorString()};
        bytes = file.readAll();
        file.close();
    }
    // A last line written by hand without its line end stays a line of its own.
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes += "\r\n";
    bytes += composeRoundLine(entry);
    const bool ok = writeFileAtomically(path, bytes, &reason);
    return {ok, path, ok ? QString() : reason};
}

#include "formats/LearnerFile.h"

#include "platform/AtomicFile.h"
#include "platform/Codepage.h"
#include "platform/ProgramFolder.h"
#include "platform/TextLines.h"
#include "platform/Texts.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

void LearnerRecords::add(const QString& key, const LearnerRecord& record) {
    // A record without a key could never be found again.
    if (key.isEmpty())
        return;
    const qsizetype before = index_.size();
    int& row = index_[key];
    if (index_.size() == before)
        return;
    rows_.append({key, record, {}});
    row = count();
}

void LearnerRecords::addStored(const QString& key, const LearnerRecord& record,
                               const QString& stored) {
    const int before = count();
    add(key, record);
    if (count() > before)
        rows_.last().stored = stored;
}

namespace {
// Blanks only, as the list columns pad with them.
QStringView trimBlanks(QStringView text) {
    while (text.startsWith(' '))
        text = text.sliced(1);
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

// Most fields compared are equal as they stand: those skip the trimming.
bool sameField(const QString& a, const QString& b) {
    return a == b || trimBlanks(a) == trimBlanks(b);
}

bool sameInFile(const LearnerRecord& a, const LearnerRecord& b) {
    return sameField(a.correct, b.correct) && sameField(a.answered, b.answered) &&
           sameField(a.level, b.level);
}

// A count as a number; an empty one is none yet.
std::optional<qint64> countValue(QStringView text) {
    text = trimBlanks(text);
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// `now` with the change from `from` to `to` added. A count that is no
// number (a file made by hand) cannot take an addition: `to` then stands.
QString movedCount(const QString& now, const QString& from, const QString& to) {
    if (sameField(from, to))
        return now;
    if (sameField(now, from))
        return to;
    const std::optional<qint64> n = countValue(now), f = countValue(from), t = countValue(to);
    qint64 change = 0, moved = 0;
    if (!n || !f || !t || __builtin_sub_overflow(*t, *f, &change) ||
        __builtin_add_overflow(*n, change, &moved))
        return to;
    return QString::number(moved);
}

// `now` with the change from `from` to `to`: the counts moved by as much,
// the level replaced where it changed.
LearnerRecord movedRecord(const LearnerRecord& now, const LearnerRecord& from,
                          const LearnerRecord& to) {
    return {movedCount(now.correct, from.correct, to.correct),
            movedCount(now.answered, from.answered, to.answered),
            sameField(from.level, to.level) ? now.level : to.level};
}
} // namespace

void LearnerRecords::setRecord(int row, const LearnerRecord& record) {
    Row& r = rows_[row - 1];
    if (!sameInFile(r.record, record)) {
        if (!r.changed)
            r.filed = r.record;
        r.changed = true;
        r.stored.clear();
    }
    r.record = record;
}

bool LearnerRecords::anyChanged() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.changed; });
}

void LearnerRecords::markFiled() {
    for (Row& row : rows_) {
        if (row.changed)
            row.filed = {};
        row.changed = false;
    }
}

void LearnerRecords::reserve(int rows) {
    rows_.reserve(rows);
    index_.reserve(rows);
}

void LearnerRecords::clear() {
    rows_.clear();
    index_.clear();
}

bool parseLearnerLine(QStringView line, QStringView& key, QStringView& value) {
    static const QLatin1String start("<u-");
    static const QLatin1String valueMark(" value='");
    if (!line.startsWith(start))
        return false;
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return false; // no blank, so no value either
    key = line.sliced(start.size(), blank - start.size());
    // The value of the element "u-" + key, which the line begins with: from
    // the first " value='" up to the next "'/>". The mark begins with a
    // blank, so not before the first; in a line as written it is right there.
    const qsizetype mark =
        line.sliced(blank).startsWith(valueMark) ? blank : line.indexOf(valueMark, blank);
    if (mark < 0)
        return false;
    const qsizetype from = mark + valueMark.size();
    qsizetype end = line.indexOf('\'', from);
    while (end >= 0 && !line.sliced(end).startsWith(QLatin1String("'/>")))
        end = line.indexOf('\'', end + 1);
    if (end <= from)
        return false; // no value, or an empty one
    value = line.sliced(from, end - from);
    // A record without a key could never be found again.
    return !key.isEmpty();
}

namespace {

// A field that the file's writing would give back as it is.
bool writtenAsIs(QStringView field) {
    return !field.startsWith(' ') && !field.endsWith(' ');
}

void readLine(QStringView line, LearnerRecords& records) {
    QStringView key, value;
    if (!parseLearnerLine(line, key, value))
        return;
    // correct ":" answered ":" level; a missing field is empty, a fourth
    // and more are kept only in the stored text.
    QStringView fields[3];
    QStringView rest = value;
    int count = 0;
    for (; count < 3; ++count) {
        const qsizetype colon = rest.indexOf(':');
        fields[count] = colon < 0 ? rest : rest.first(colon);
        if (colon < 0) {
            ++count;
            rest = {};
            break;
        }
        rest = rest.sliced(colon + 1);
    }
    const bool more = count == 3 && !rest.isNull();
    // Most values read back exactly as the record's fields compose them;
    // only the others keep their text, so that they are written as read.
    const bool asComposed = count == 3 && !more && writtenAsIs(fields[0]) &&
                            writtenAsIs(fields[1]) && writtenAsIs(fields[2]);
    records.addStored(key.toString(),
                      {fields[0].toString(), fields[1].toString(), fields[2].toString()},
                      asComposed ? QString() : value.toString());
}

// A key that reads back as itself: no blank or line end cuts it and the
// code page carries every character. A record under any other key could
// never be found again, and might hand its results to the question whose
// key the written one happens to be.
bool fileCarries(const QString& key, QByteArray& encoded) {
    bool ascii = true;
    for (const QChar c : key) {
        if (c == ' ' || c == '\r' || c == '\n')
            return false;
        ascii = ascii && c.unicode() < 0x80;
    }
    if (ascii)
        return true;
    // Past ASCII the key's bytes come back, so that it is converted once.
    encoded = Codepage::encode(key);
    return Codepage::decode(encoded) == key;
}

} // namespace

void readLearnerRecords(const QByteArray& bytes, LearnerRecords& records) {
    const QString text = Codepage::decode(bytes);
    records.reserve(records.count() + int(bytes.count('\n')) + 1);
    forEachLine(text, [&records](QStringView line, int) { readLine(line, records); });
}

QByteArray composeLearnerFile(const LearnerRecords& records) {
    // Written as bytes: keys and counts are nearly always ASCII, which is
    // itself in code page 932 and skips the converter.
    QByteArray bytes;
    bytes.reserve(qsizetype(records.count()) * 48);
    const auto append = [&bytes](QStringView text) {
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii) {
            bytes += Codepage::encode(text.toString());
            return;
        }
        const qsizetype at = bytes.size();
        bytes.resize(at + text.size());
        std::transform(text.begin(), text.end(), bytes.data() + at,
                       [](QChar c) { return char(c.unicode()); });
    };
    for (int row = 1; row <= records.count(); ++row) {
        const QString& key = records.key(row);
        QByteArray encodedKey;
        if (!fileCarries(key, encodedKey))
            continue;
        const LearnerRecord& r = records.record(row);
        bytes += "<u-";
        if (encodedKey.isEmpty())
            append(key);
        else
            bytes += encodedKey;
        bytes += " value='";
        // A record this program never changed keeps its bytes, odd ones too.
        if (!records.stored(row).isEmpty()) {
            append(records.stored(row));
            bytes += "'/>\r\n";
            continue;
        }
        append(trimBlanks(r.correct));
        bytes += ':';
        append(trimBlanks(r.answered));
        bytes += ':';
        append(trimBlanks(r.level));
        bytes += "'/>\r\n";
    }
    return bytes;
}

LearnerFileOutcome loadLearnerFile(const QString& path, LearnerRecords& records) {
    LearnerRecords read;
    QFile file(path);
    LearnerFileOutcome outcome{true, path, {}};
    if (file.exists()) {
        if (file.open(QIODevice::ReadOnly))
            readLearnerRecords(file.readAll(), read);
        else
            outcome = {false, path, file.errorString()};
    }
    read.markFiled();
    records = std::move(read);
    return outcome;
}

namespace {
// A save takes a moment; a program holding the lock longer than this is
// stuck, and the learner is told rather than kept waiting.
constexpr int LockWaitMs = 3000;
} // namespace

// A lock left by a program that ended without releasing it is taken over
// at once; one older than QLockFile's stale time (30 s, far beyond any
// save) counts as left behind as well.
LearnerLock::LearnerLock(const QString& learnerFile)
    : path_(QFile::encodeName(learnerFile + ".lock")), lock_(learnerFile + ".lock") {}

LearnerLock::~LearnerLock() {
    if (made_ < 0)
        return;
    ::unlink(path_.constData());
    ::close(made_);
}

namespace {
// What QLockFile writes into its file, so that a program waiting with
// QLockFile can tell whose lock it is and whether it was left behind.
const QByteArray& lockInfo() {
    static const QByteArray info =
        QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
        QCoreApplication::applicationName().toUtf8() + '\n' +
        QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
        QSysInfo::bootUniqueId() + '\n';
    return info;
}
} // namespace

bool LearnerLock::take(const QString& fileToWrite, QString& reason) {
    const QByteArray& info = lockInfo();
    made_ = ::open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (made_ >= 0) {
        if (::write(made_, info.constData(), size_t(info.size())) == info.size() &&
            ::flock(made_, LOCK_EX | LOCK_NB) == 0)
            return true;
        ::unlink(path_.constData());
        ::close(made_);
        made_ = -1;
    }
    if (lock_.tryLock(LockWaitMs))
        return true;
    if (heldElsewhere()) {
        reason = u("ほかのくう・めもがこのﾌｧｲﾙを使用中です。");
        return false;
    }
    // The lock cannot be made where the file cannot be written either (a
    // read-only folder): the file's own fault says best why.
    QSaveFile probe(fileToWrite);
    if (!probe.open(QIODevice::WriteOnly))
        reason = probe.errorString();
    else
        reason = u("ﾛｯｸﾌｧｲﾙを作成できません: ") + lock_.fileName();
    probe.cancelWriting();
    return false;
}

LearnerFileOutcome saveLearnerFile(const QString& path, LearnerRecords& records) {
    LearnerLock lock(path);
    QString reason;
    if (!lock.take(path, reason)) {
        // The other program is soon done: the records wait in memory.
        if (lock.heldElsewhere())
            reason += u("今回の回答結果は覚えておき、次に保存するときに書き込みます。");
        return {false, path, reason};
    }
    LearnerRecords merged;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return {false, path, file.errorString()};
        readLearnerRecords(file.readAll(), merged);
        file.close();
    }
    for (int row = 1; row <= records.count(); ++row) {
        const int filed = merged.find(records.key(row));
        if (!filed)
            merged.add(records.key(row), records.record(row));
        else if (records.changed(row))
            merged.setRecord(
                filed, movedRecord(merged.record(filed), records.filed(row), records.record(row)));
    }
    if (!writeFileAtomically(path, composeLearnerFile(merged), &reason))
        return {false, path, reason};
    merged.markFiled();
    records = std::move(merged);
    return {true, path, {}};
}

QString makeFileId(const QString& path) {
    QString name = ProgramFolder::fileNamePart(path);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name.truncate(dot);
    const QByteArray bytes = Codepage::encode(name);
    QString hex;
    uint sum = 0;
    for (const char c : bytes) {
        const uint byte = static_cast<uchar>(c);
        hex += QString::number(byte, 16).toUpper();
        sum += byte;
    }
    return hex.left(4) + hex.right(4) + QString::number(sum, 16).toUpper() +
           QString::number(bytes.size(), 16).toUpper();
}

#include "formats/AnkiPackage.h"

#include "formats/AnswerLog.h"
#include "formats/HtmlText.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfWriter.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

namespace AnkiPackage {
namespace {

// No collection of cards comes near this; a file that says it is larger is
// refused before its memory is taken.
constexpr quint64 largestCollection = quint64(1) << 30;

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

struct Entry {
    bool present = false;
    QString error; // why a present entry could not be read
    QByteArray bytes;
};

Entry readEntry(zip_t* zip, const char* name) {
    Entry entry;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(zip, name, 0, &stat) != 0)
        return entry;
    entry.present = true;
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > largestCollection) {
        entry.error = u("%1が大きすぎます。").arg(QLatin1String(name));
        return entry;
    }
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen(zip, name, 0));
    if (!file) {
        entry.error = u("%1を開けません(%2)。")
                          .arg(QLatin1String(name), QString::fromUtf8(zip_strerror(zip)));
        return entry;
    }
    entry.bytes.resize(qsizetype(stat.size));
    qsizetype at = 0;
    while (at < entry.bytes.size()) {
        const zip_int64_t got =
            zip_fread(file.get(), entry.bytes.data() + at, zip_uint64_t(entry.bytes.size() - at));
        if (got <= 0) {
            entry.error =
                u("%1が壊れています(%2)。")
                    .arg(QLatin1String(name), QString::fromUtf8(zip_file_strerror(file.get())));
            return entry;
        }
        at += qsizetype(got);
    }
    return entry;
}

// The zstd frames of a newer collection, decompressed; empty with `error`
// set when they do not decompress.
QByteArray decompress(const QByteArray& compressed, QString& error) {
    std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    QByteArray out;
    const unsigned long long declared =
        ZSTD_getFrameContentSize(compressed.constData(), size_t(compressed.size()));
    if (declared != ZSTD_CONTENTSIZE_ERROR && declared != ZSTD_CONTENTSIZE_UNKNOWN &&
        declared <= largestCollection)
        out.reserve(qsizetype(declared));
    ZSTD_inBuffer in{compressed.constData(), size_t(compressed.size()), 0};
    char chunk[1 << 16];
    while (true) {
        ZSTD_outBuffer buffer{chunk, sizeof chunk, 0};
        const size_t left = ZSTD_decompressStream(context.get(), &buffer, &in);
        if (ZSTD_isError(left)) {
            error = u("collection.anki21bを展開できません(%1)。")
                        .arg(QString::fromUtf8(ZSTD_getErrorName(left)));
            return {};
        }
        if (quint64(out.size()) + buffer.pos > largestCollection) {
            error = u("collection.anki21bが大きすぎます。");
            return {};
        }
        out.append(chunk, qsizetype(buffer.pos));
        if (left == 0 && in.pos == in.size)
            return out;
        // The input is used up in the middle of a frame.
        if (in.pos == in.size && buffer.pos < buffer.size) {
            error = u("collection.anki21bを展開できません(途中で切れています)。");
            return {};
        }
    }
}

bool readVarint(const QByteArray& bytes, qsizetype& at, quint64& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (at >= bytes.size())
            return false;
        const uchar byte = uchar(bytes.at(at++));
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// The note types that are cloze: in a newer collection the `kind` (field 1)
// of each notetype's config, in an older one "type" 1 in the models of `col`.
QSet<qint64> clozeNoteTypes(sqlite3* db) {
    QSet<qint64> cloze;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT id, config FROM notetypes", -1, &raw, nullptr) ==
        SQLITE_OK) {
        Statement statement(raw);
        while (sqlite3_step(raw) == SQLITE_ROW) {
            const QByteArray config(static_cast<const char*>(sqlite3_column_blob(raw, 1)),
                                    sqlite3_column_bytes(raw, 1));
            if (protobufVarint(config, 1).value_or(0) == 1)
                cloze.insert(sqlite3_column_int64(raw, 0));
        }
        return cloze;
    }
    if (sqlite3_prepare_v2(db, "SELECT models FROM col", -1, &raw, nullptr) != SQLITE_OK)
        return cloze;
    Statement statement(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        const QByteArray json(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)),
                              sqlite3_column_bytes(raw, 0));
        const QJsonObject models = QJsonDocument::fromJson(json).object();
        for (auto it = models.begin(); it != models.end(); ++it)
            if (it.value().toObject().value(QLatin1String("type")).toInt() == 1)
                cloze.insert(it.key().toLongLong());
    }
    return cloze;
}

// A field's HTML without Anki's sound references.
QString withoutSounds(QString html) {
    static const QRegularExpression sound(QStringLiteral("\\[sound:[^\\]]*\\]"));
    if (html.contains(QLatin1String("[sound:")))
        html.remove(sound);
    return html;
}

bool isCloze(const QString& fields) {
    static const QRegularExpression deletion(QStringLiteral("\\{\\{c\\d+::"));
    return fields.contains(QLatin1String("{{c")) && fields.contains(deletion);
}

// The reviews logged of each card, by note and by the card's place among
// the note's cards (its template's `ord`), oldest first.
struct Reviews {
    QHash<QPair<qint64, int>, QVector<ImportedReview>> byCard;
    QSet<qint64> withSecondCard; // notes that have a card of ord 1
    QString error;               // why the log could not be read

    // The reviews of the card that asks what the question asks: the
    // first card, or with the sides swapped the second card where the note
    // has one (Anki's reversed card).
    QuestionHistory of(qint64 note, bool swapSides) const {
        const int ord = swapSides && withSecondCard.contains(note) ? 1 : 0;
        QuestionHistory history;
        history.reviews = byCard.value({note, ord});
        history.answered = history.reviews.size();
        history.right = std::count_if(history.reviews.begin(), history.reviews.end(),
                                      [](const ImportedReview& r) { return r.grade >= 2; });
        return history;
    }
};

// Anki's review log: `id` the moment in ms since the epoch, `ease` the
// button pressed, 1 again to 4 easy; 0 is a change made by hand, no review.
// A collection without the log, or without cards, has no history.
Reviews readReviews(sqlite3* db) {
    Reviews reviews;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT nid FROM cards WHERE ord = 1", -1, &raw, nullptr) !=
        SQLITE_OK)
        return reviews;
    Statement cards(raw);
    int step;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW)
        reviews.withSecondCard.insert(sqlite3_column_int64(raw, 0));
    if (step != SQLITE_DONE) {
        reviews.error = QString::fromUtf8(sqlite3_errmsg(db));
        return reviews;
    }
    if (sqlite3_prepare_v2(db,
                           "SELECT c.nid, c.ord, r.id, r.ease FROM revlog r JOIN cards c ON "
                           "c.id = r.cid ORDER BY r.id",
                           -1, &raw, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        if (!message.contains(QLatin1String("no such table")))
            reviews.error = message;
        return reviews;
    }
    Statement log(raw);
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        const qint64 ms = sqlite3_column_int64(raw, 2);
        const int ease = sqlite3_column_int(raw, 3);
        // Moments the answer log cannot hold are no reviews either.
        if (ease < 1 || ease > 4 || ms < 0 || ms / 1000 >= AnswerLogTimeEnd)
            continue;
        reviews.byCard[{sqlite3_column_int64(raw, 0), sqlite3_column_int(raw, 1)}].append(
            {ms / 1000, ease});
    }
    if (step != SQLITE_DONE)
        reviews.error = QString::fromUtf8(sqlite3_errmsg(db));
    return reviews;
}

QString refusedDatabase(sqlite3* db) {
    return u("ｺﾚｸｼｮﾝのﾃﾞｰﾀﾍﾞｰｽを読めません(%1)。").arg(QString::fromUtf8(sqlite3_errmsg(db)));
}

ImportedQuestions readCollection(QByteArray database, bool swapSides) {
    if (!database.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return ImportedQuestions::refused(u("ｺﾚｸｼｮﾝがSQLiteのﾃﾞｰﾀﾍﾞｰｽではありません。"));
    // A database written in write-ahead mode reads from memory as a plain
    // one: the log is not in the package.
    if (database.size() > 19 && database.at(18) == 2 && database.at(19) == 2) {
        database[18] = 1;
        database[19] = 1;
    }
    sqlite3* raw = nullptr;
    sqlite3_open_v2(":memory:", &raw,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    Database db(raw);
    if (!db)
        return ImportedQuestions::refused(u("ﾃﾞｰﾀﾍﾞｰｽを開けません。"));
    // The file is someone else's: its schema may run nothing of ours.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    if (sqlite3_deserialize(raw, "main", reinterpret_cast<unsigned char*>(database.data()),
                            database.size(), database.size(),
                            SQLITE_DESERIALIZE_READONLY) != SQLITE_OK)
        return ImportedQuestions::refused(refusedDatabase(raw));
    sqlite3_exec(raw, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);

    const QSet<qint64> cloze = clozeNoteTypes(raw);
    const Reviews reviews = readReviews(raw);
    if (!reviews.error.isEmpty())
        return ImportedQuestions::refused(
            u("ｺﾚｸｼｮﾝの復習の記録(revlog)を読めません(%1)。").arg(reviews.error));
    sqlite3_stmt* rawStatement = nullptr;
    if (sqlite3_prepare_v2(raw, "SELECT mid, flds, id FROM notes ORDER BY id", -1, &rawStatement,
                           nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(raw));
        if (message.contains(QLatin1String("no such table")))
            return ImportedQuestions::refused(u("ｺﾚｸｼｮﾝにﾉｰﾄの表(notes)がありません。"));
        return ImportedQuestions::refused(refusedDatabase(raw));
    }
    Statement statement(rawStatement);
    ImportedQuestions result;
    const int question = swapSides ? 1 : 0;
    const int answer = 1 - question;
    int step;
    while ((step = sqlite3_step(rawStatement)) == SQLITE_ROW) {
        const qint64 noteType = sqlite3_column_int64(rawStatement, 0);
        const QString flds =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rawStatement, 1)),
                              sqlite3_column_bytes(rawStatement, 1));
        if (cloze.contains(noteType) || isCloze(flds)) {
            result.skip(u("穴埋め(ｸﾛｰｽﾞ)のﾉｰﾄ"));
            continue;
        }
        const QStringList fields = flds.split(QChar(0x1F));
        if (fields.size() < 2) {
            result.skip(u("ﾌｨｰﾙﾄﾞが2つないﾉｰﾄ"));
            continue;
        }
        const QVector<Rtf::Run> runs = HtmlText::read(withoutSounds(fields.at(question)));
        if (std::all_of(runs.begin(), runs.end(),
                        [](const Rtf::Run& run) { return run.text.trimmed().isEmpty(); })) {
            result.skip(u("問題が画像や音声だけのﾉｰﾄ"));
            continue;
        }
        const QString typed = HtmlText::toPlain(withoutSounds(fields.at(answer)));
        const QString problem = typedAnswerProblem(typed);
        if (!problem.isEmpty()) {
            result.skip(problem);
            continue;
        }
        RecordFields record;
        record.type = QChar('3');
        record.questionRtf = Rtf::writeRuns(runs);
        record.choices = {{true, Rtf::writePlain(typed)}};
        record.hintRtf = Rtf::writePlain({});
        record.explanationRtf = record.hintRtf;
        result.take(std::move(record),
                    reviews.of(sqlite3_column_int64(rawStatement, 2), swapSides));
    }
    if (step != SQLITE_DONE)
        return ImportedQuestions::refused(refusedDatabase(raw));
    result.ok = true;
    return result;
}

} // namespace

bool looksLike(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

std::optional<quint64> protobufVarint(const QByteArray& message, int field) {
    qsizetype at = 0;
    while (at < message.size()) {
        quint64 tag = 0;
        if (!readVarint(message, at, tag))
            return std::nullopt;
        const int wireType = int(tag & 7);
        quint64 value = 0;
        switch (wireType) {
        case 0:
            if (!readVarint(message, at, value))
                return std::nullopt;
            if (tag >> 3 == quint64(field))
                return value;
            break;
        case 1:
            at += 8;
            break;
        case 2:
            if (!readVarint(message, at, value) || value > quint64(message.size() - at))
                return std::nullopt;
            at += qsizetype(value);
            break;
        case 5:
            at += 4;
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

ImportedQuestions read(const QByteArray& bytes, bool swapSides) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source)
        return ImportedQuestions::refused(u("ZIPﾌｧｲﾙを読めません。"));
    Zip zip(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!zip) {
        zip_source_free(source);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return ImportedQuestions::refused(
            u("ZIPﾌｧｲﾙとして読めません。途中で切れているか、壊れています(%1)。").arg(reason));
    }
    zip_error_fini(&error);

    const Entry meta = readEntry(zip.get(), "meta");
    if (!meta.error.isEmpty())
        return ImportedQuestions::refused(meta.error);
    quint64 version = 0;
    if (meta.present) {
        version = protobufVarint(meta.bytes, 1).value_or(0);
        if (version < 1 || version > 3)
            return ImportedQuestions::refused(
                u("このAnkiのﾊﾟｯｹｰｼﾞの版(%1)は読めません。").arg(version));
    }
    const char* const names[] = {"collection.anki2", "collection.anki21", "collection.anki21b"};
    Entry collection;
    if (version > 0) {
        collection = readEntry(zip.get(), names[version - 1]);
    } else {
        collection = readEntry(zip.get(), names[1]);
        if (!collection.present)
            collection = readEntry(zip.get(), names[0]);
    }
    if (!collection.error.isEmpty())
        return ImportedQuestions::refused(collection.error);
    if (!collection.present)
        return ImportedQuestions::refused(u("Ankiのﾊﾟｯｹｰｼﾞではありません(ｺﾚｸｼｮﾝがありません)。"));
    if (version == 3) {
        QString problem;
        QByteArray database = decompress(collection.bytes, problem);
        if (!problem.isEmpty())
            return ImportedQuestions::refused(problem);
        return readCollection(std::move(database), swapSides);
    }
    return readCollection(std::move(collection.bytes), swapSides);
}

} // namespace AnkiPackage

#include "AnkiPackageMaker.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

namespace AnkiPackageMaker {
namespace {

void exec(sqlite3* db, const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("sqlite: %s in %s", error, qPrintable(sql));
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1String("'"), QLatin1String("''")) +
           QLatin1Char('\'');
}

// A notetype's config: protobuf field 1, its kind (1 cloze).
QByteArray notetypeConfig(int kind) {
    return QByteArray("\x08", 1) + char(kind);
}

} // namespace

QByteArray database(const Collection& c) {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    const bool newest = c.version == Version::Anki21b;
    exec(db, "CREATE TABLE col (id integer primary key, crt integer not null, mod integer not "
             "null, scm integer not null, ver integer not null, dty integer not null, usn "
             "integer not null, ls integer not null, conf text not null, models text not null, "
             "decks text not null, dconf text not null, tags text not null)");
    if (c.withNotesTable)
        exec(db, "CREATE TABLE notes (id integer primary key, guid text not null, mid integer "
                 "not null, mod integer not null, usn integer not null, tags text not null, "
                 "flds text not null, sfld integer not null, csum integer not null, flags "
                 "integer not null, data text not null)");
    exec(db, "CREATE TABLE cards (id integer primary key, nid integer not null, did integer not "
             "null, ord integer not null, mod integer not null, usn integer not null, type "
             "integer not null, queue integer not null, due integer not null, ivl integer not "
             "null, factor integer not null, reps integer not null, lapses integer not null, "
             "left integer not null, odue integer not null, odid integer not null, flags "
             "integer not null, data text not null)");
    if (c.reviewLogWithoutEase)
        exec(db, "CREATE TABLE revlog (id integer primary key, cid integer not null)");
    else
        exec(db, "CREATE TABLE revlog (id integer primary key, cid integer not null, usn "
                 "integer not null, ease integer not null, ivl integer not null, lastIvl "
                 "integer not null, factor integer not null, time integer not null, type "
                 "integer not null)");
    exec(db, "CREATE TABLE graves (usn integer not null, oid integer not null, type integer "
             "not null)");
    // The day the collection was made: due days of review cards count from it.
    const QString models =
        newest ? QString()
               : QStringLiteral("{\"%1\": {\"id\": %1, \"name\": \"Basic\", \"type\": 0}, "
                                "\"%2\": {\"id\": %2, \"name\": \"Cloze\", \"type\": 1}}")
                     .arg(c.basicType)
                     .arg(c.clozeType);
    exec(db, QStringLiteral("INSERT INTO col VALUES (1, %3, 0, 0, %1, 0, 0, 0, '{}', "
                            "%2, '{}', '{}', '{}')")
                 .arg(newest ? 18 : 11)
                 .arg(quoted(models))
                 .arg(CreatedSeconds));
    if (newest) {
        exec(db, "CREATE TABLE notetypes (id integer not null primary key, name text not null, "
                 "mtime_secs integer not null, usn integer not null, config blob not null)");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO notetypes VALUES (?, ?, 0, 0, ?)", -1, &st, nullptr);
        for (const auto& [id, kind] : {std::pair{c.basicType, 0}, std::pair{c.clozeType, 1}}) {
            const QByteArray config = notetypeConfig(kind);
            sqlite3_bind_int64(st, 1, id);
            sqlite3_bind_text(st, 2, kind ? "Cloze" : "Basic", -1, SQLITE_STATIC);
            sqlite3_bind_blob(st, 3, config.constData(), int(config.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    exec(db, "BEGIN");
    sqlite3_stmt* st = nullptr;
    if (c.withNotesTable) {
        sqlite3_prepare_v2(db, "INSERT INTO notes VALUES (?, ?, ?, 0, 0, '', ?, '', 0, 0, '')", -1,
                           &st, nullptr);
        for (const Note& note : c.notes) {
            const QByteArray guid = QByteArray::number(note.id, 36);
            const QByteArray fields = note.fields.join(QChar(0x1F)).toUtf8();
            sqlite3_bind_int64(st, 1, note.id);
            sqlite3_bind_text(st, 2, guid.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(st, 3, note.noteType);
            sqlite3_bind_text(st, 4, fields.constData(), int(fields.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    sqlite3_prepare_v2(db,
                       "INSERT INTO cards VALUES (?, ?, 1, ?, 0, 0, ?, ?, ?, ?, 2500, 0, 0, 0, 0, "
                       "0, 0, '')",
                       -1, &st, nullptr);
    for (const Card& card : c.cards) {
        sqlite3_bind_int64(st, 1, card.id);
        sqlite3_bind_int64(st, 2, card.note);
        sqlite3_bind_int(st, 3, card.ord);
        sqlite3_bind_int(st, 4, card.type);
        sqlite3_bind_int(st, 5, card.queue);
        sqlite3_bind_int64(st, 6, card.due);
        sqlite3_bind_int(st, 7, card.interval);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "INSERT INTO revlog VALUES (?, ?, 0, ?, 1, 0, 2500, 6000, ?)", -1, &st,
                       nullptr);
    for (const Review& review : c.reviewLogWithoutEase ? QVector<Review>() : c.reviews) {
        sqlite3_bind_int64(st, 1, review.time);
        sqlite3_bind_int64(st, 2, review.card);
        sqlite3_bind_int(st, 3, review.ease);
        sqlite3_bind_int(st, 4, review.type);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    exec(db, "COMMIT");
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(db, "main", &size, 0);
    QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(size));
    sqlite3_free(bytes);
    sqlite3_close(db);
    return out;
}

QByteArray zip(const QVector<QPair<QString, QByteArray>>& entries) {
    QTemporaryDir folder;
    const QByteArray path = folder.filePath(QStringLiteral("package.zip")).toUtf8();
    int error = 0;
    zip_t* archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    }
    // The buffers are read as the archive is written, while they still live.
    zip_close(archive);
    QFile file(QString::fromUtf8(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray package(const Collection& c) {
    const QByteArray db = database(c);
    switch (c.version) {
    case Version::Anki2:
        return zip({{QStringLiteral("collection.anki2"), db}, {QStringLiteral("media"), "{}"}});
    case Version::Anki21:
        return zip({{QStringLiteral("collection.anki21"), db}, {QStringLiteral("media"), "{}"}});
    case Version::Anki21b: {
        QByteArray compressed(qsizetype(ZSTD_compressBound(size_t(db.size()))), Qt::Uninitialized);
        compressed.resize(qsizetype(ZSTD_compress(compressed.data(), size_t(compressed.size()),
                                                  db.constData(), size_t(db.size()), 3)));
        // The dummy that older versions of Anki would read.
        Collection dummy;
        dummy.version = Version::Anki2;
        dummy.notes = {{1,
                        dummy.basicType,
                        {QStringLiteral("Please update to the latest Anki "
                                        "version, then import the .colpkg/.apkg file again."),
                         QString()}}};
        return zip({{QStringLiteral("collection.anki2"), database(dummy)},
                    {QStringLiteral("collection.anki21b"), compressed},
                    {QStringLiteral("meta"), QByteArray("\x08\x03", 2)},
                    {QStringLiteral("media"), QByteArray()}});
    }
    }
    return {};
}

} // namespace AnkiPackageMaker

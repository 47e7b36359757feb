#include "formats/QuestionFile.h"

#include "data/Markup.h"
#include "data/QuestionDocument.h"
#include "platform/Codepage.h"

namespace QuestionFile {

namespace {
const QString crlf = QStringLiteral("\r\n");
// ASCII, which code page 932 keeps as it is.
constexpr char signatureBytes[] = "<kuMemo-data>";
const QString signature = QString::fromLatin1(signatureBytes);
const QString headEnd = QStringLiteral("</dataprop>");
const QString recordStart = QStringLiteral("<Mondai");
const QString recordEnd = QStringLiteral("</Mondai>");
const QString keyMark = QStringLiteral(" key='");

QString valueLine(const char* tag, const QString& value) {
    return QStringLiteral("<%1 value='").arg(QLatin1String(tag)) + encodeMarkup(value) + "'/>" +
           crlf;
}
} // namespace

QString compose(const QString& appVersion, const DocumentProperties& p,
                const QStringList& records) {
    qsizetype size = 1024;
    for (const QString& record : records)
        size += record.size() + 2;
    QString text;
    text.reserve(size);
    text += signature + crlf;
    text += "<kuMemoVer value='" + appVersion + "'/>" + crlf;
    text += "<dataprop>" + crlf;
    text += valueLine("title", p.title);
    text += valueLine("subject", p.subject);
    text += valueLine("version", p.version);
    text += valueLine("namae", p.namae);
    text += valueLine("mail", p.mail);
    text += valueLine("url", p.url);
    text += "<comment>" + encodeMarkup(p.comment) + "</comment>" + crlf;
    text += valueLine("cdate", p.cdate);
    text += valueLine("mdate", p.mdate);
    text += headEnd + crlf;
    for (const QString& record : records)
        text += record + crlf;
    text += "</kuMemo-data>" + crlf;
    return text;
}

QByteArray plainFileBytes(const QString& text, QString* uncarried) {
    return Codepage::encode(text + crlf, 932, uncarried);
}

bool hasSignature(const QString& text) {
    return text.startsWith(signature);
}

bool hasSignature(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(signatureBytes));
}

qsizetype readProperties(const QString& text, DocumentProperties& p) {
    const qsizetype end = text.indexOf(headEnd);
    if (end < 0)
        return 0;
    const QString head = text.left(end);
    const auto value = [&](const char* tag) {
        return decodeMarkup(getTagValue(head, QLatin1String(tag)));
    };
    p.title = value("title");
    p.subject = value("subject");
    p.version = value("version");
    p.namae = value("namae");
    p.mail = value("mail");
    p.url = value("url");
    p.comment = getTagText(head, "comment");
    p.cdate = value("cdate");
    p.mdate = value("mdate");
    return end + headEnd.size();
}

bool nextRecord(const QString& text, qsizetype& position, QString& record) {
    const qsizetype end = text.indexOf(recordEnd, position);
    if (end < 0)
        return false;
    const qsizetype candidateEnd = end + recordEnd.size();
    const qsizetype start = text.indexOf(recordStart, position);
    if (start < 0 || start >= candidateEnd)
        return false;
    record = text.mid(start, candidateEnd - start);
    position = candidateEnd;
    return true;
}

KeyState recordKey(const QString& record, QString& key) {
    const qsizetype at = record.indexOf(keyMark);
    if (at < 0)
        return KeyState::Missing;
    const qsizetype from = at + keyMark.size();
    const qsizetype close = record.indexOf('\'', from);
    if (close < 0 || close - from > 19)
        return KeyState::Unclosed;
    key = record.mid(from, close - from);
    return KeyState::Found;
}

QString withNewKey(const QString& record, const QString& key) {
    return "<Mondai key='" + key + "'" + record.mid(recordStart.size());
}

} // namespace QuestionFile

#include "data/QuestionFile.h"

#include "platform/Codepage.h"
#include "data/modKuMemo.h"

namespace QuestionFile {

namespace {
const QString crlf = QStringLiteral("\r\n");
const QString signature = QStringLiteral("<kuMemo-data>");
const QString headEnd = QStringLiteral("</dataprop>");
const QString recordStart = QStringLiteral("<Mondai");
const QString recordEnd = QStringLiteral("</Mondai>");
const QString keyMark = QStringLiteral(" key='");

QString valueLine(const char* tag, const QString& value) {
    return QStringLiteral("<%1 value='").arg(QLatin1String(tag)) + encodeMarkup(value) + "'/>" +
           crlf;
}
} // namespace

QString compose(const AppGlobals& g, const QStringList& records) {
    qsizetype size = 1024;
    for (const QString& record : records)
        size += record.size() + 2;
    QString text;
    text.reserve(size);
    text += signature + crlf;
    text += "<kuMemoVer value='" + g.appVersion + "'/>" + crlf;
    text += "<dataprop>" + crlf;
    text += valueLine("title", g.propTitle);
    text += valueLine("subject", g.propSubject);
    text += valueLine("version", g.propVersion);
    text += valueLine("namae", g.propNamae);
    text += valueLine("mail", g.propMail);
    text += valueLine("url", g.propUrl);
    text += "<comment>" + encodeMarkup(g.propComment) + "</comment>" + crlf;
    text += valueLine("cdate", g.propCdate);
    text += valueLine("mdate", g.propMdate);
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

qsizetype readProperties(const QString& text, AppGlobals& g) {
    const qsizetype end = text.indexOf(headEnd);
    if (end < 0)
        return 0;
    const QString head = text.left(end);
    const auto value = [&](const char* tag) {
        return decodeMarkup(getTagValue(head, QLatin1String(tag)));
    };
    g.propTitle = value("title");
    g.propSubject = value("subject");
    g.propVersion = value("version");
    g.propNamae = value("namae");
    g.propMail = value("mail");
    g.propUrl = value("url");
    g.propComment = getTagText(head, "comment");
    g.propCdate = value("cdate");
    g.propMdate = value("mdate");
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

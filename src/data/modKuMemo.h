#pragma once

#include <QString>

// What is program-wide, alive for the whole run. The open question file
// and its state live in QuestionDocument.
struct AppGlobals {
    QString appVersion;
    QString programFolder; // ends with a separator
    QString learnerName;
};

AppGlobals& appGlobals();

// "1.06" from major version 1 and minor version 6.
QString formatAppVersion(int major, int minor);

// A moment as the program writes dates: "yyyy/mm/dd(aaa) hh:nn:ss" with the
// Japanese one-character weekday.
class QDateTime;
QString formatJapaneseDate(const QDateTime& moment);

// The text without the blanks (U+0020) before and after it; tabs, line
// breaks and ideographic spaces stay.
QString trimSpaces(const QString& text);

// Markup helpers. Matching is exact and case-sensitive.
QString encodeMarkup(const QString& text);
QString decodeMarkup(const QString& text);
// Where `tag` (beginning with "<") first occurs at or after `from`; -1 when
// nowhere.
qsizetype indexOfTag(QStringView markup, QStringView tag, qsizetype from = 0);
QString getTagBlock(const QString& markup, const QString& tag);
QString getTagText(const QString& markup, const QString& tag);
// The text of the `tag` element found at `start` (getTagText once the tag is
// found); empty when `start` is -1.
QString tagTextAt(QStringView markup, qsizetype start, QStringView tag);
QString getTagValue(const QString& markup, const QString& tag);

#pragma once

#include <QString>
#include <QStringView>

// The markup of question files: its entities, and elements found by their
// tags. Matching is exact and case-sensitive.
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

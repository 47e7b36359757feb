#pragma once

#include <QString>

// The shared state every window reads and writes. All values are texts,
// empty until set, alive for the whole run.
struct AppGlobals {
    QString appVersion;
    QString currentFilePath;
    QString programFolder;
    QString learnerName;
    QString newPassword;
    QString filePassword;
    QString pendingPassword;
    QString propTitle;
    QString propSubject;
    QString propVersion;
    QString propNamae;
    QString propMail;
    QString propUrl;
    QString propComment;
    QString propCdate;
    QString propMdate;

    // A protected file whose password has not been given yet.
    bool isLocked() const { return !filePassword.isEmpty() && !pendingPassword.isEmpty(); }
};

AppGlobals& appGlobals();

// "1.06" from major version 1 and minor version 6.
QString formatAppVersion(int major, int minor);

// A moment as the program writes dates: "yyyy/mm/dd(aaa) hh:nn:ss" with the
// Japanese one-character weekday.
class QDateTime;
QString formatJapaneseDate(const QDateTime& moment);

// The status bar's line for an opened file: 『title <subject>』(by author).
QString documentStatusLine(const AppGlobals& globals);

// Markup helpers. Matching is exact and case-sensitive.
QString encodeMarkup(const QString& text);
QString decodeMarkup(const QString& text);
QString getTagBlock(const QString& markup, const QString& tag);
QString getTagText(const QString& markup, const QString& tag);
QString getTagValue(const QString& markup, const QString& tag);

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

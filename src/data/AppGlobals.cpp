#include "data/AppGlobals.h"

AppGlobals& appGlobals() {
    static AppGlobals globals;
    return globals;
}

QString formatAppVersion(int major, int minor) {
    return QString::number(major) + "." + QStringLiteral("%1").arg(minor, 2, 10, QChar('0'));
}

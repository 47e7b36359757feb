#include "platform/SettingsStore.h"

#include <QSettings>
#include <memory>

namespace {
QString& testFile() {
    static QString path;
    return path;
}
std::unique_ptr<QSettings> open() {
    std::unique_ptr<QSettings> settings;
    if (testFile().isEmpty())
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               "KumemoSTUDIOS", "kuMemo");
    else
        settings = std::make_unique<QSettings>(testFile(), QSettings::IniFormat);
    settings->beginGroup("kuMemo");
    return settings;
}
} // namespace

namespace SettingsStore {

QString get(const QString& key, const QString& defaultValue) {
    return open()->value(key, defaultValue).toString();
}

void save(const QString& key, const QString& value) {
    auto settings = open();
    settings->setValue(key, value);
    settings->sync();
}

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool getBool(const QString& key, bool defaultValue) {
    // The stored text converts as the program always wrote it; any other
    // text counts as false, a number as its truth value.
    const QString text = get(key, boolText(defaultValue)).trimmed();
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (isNumber)
        return number != 0;
    return text.compare("True", Qt::CaseInsensitive) == 0;
}

void saveBool(const QString& key, bool value) {
    save(key, boolText(value));
}

void useFileForTests(const QString& path) {
    testFile() = path;
}

} // namespace SettingsStore

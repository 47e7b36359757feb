#pragma once

#include <QString>

// The per-user settings store: string values under the application
// "KumemoSTUDIOS", section "kuMemo". Booleans are the texts "True"/"False".
namespace SettingsStore {
QString get(const QString& key, const QString& defaultValue);
void save(const QString& key, const QString& value);
bool getBool(const QString& key, bool defaultValue);
void saveBool(const QString& key, bool value);
QString boolText(bool value);
// Tests keep the store in a file of their own.
void useFileForTests(const QString& path);
} // namespace SettingsStore

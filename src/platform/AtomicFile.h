#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file whole or not at all: a failed write leaves the old file
// as it was. `error` tells why it failed.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

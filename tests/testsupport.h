#pragma once

// Small helpers shared by the test programs.
#include "platform/errors.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <functional>

// The message of the VoltarisError the action throws; empty when it throws none.
inline QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const VoltarisError& error) {
        return error.message();
    }
    return QString();
}

// The bytes of a file; empty when it cannot be read (or does not exist).
inline QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Writes fixture bytes as they stand, without our own atomic writer.
inline void writeTestFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

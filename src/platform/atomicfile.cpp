#include "atomicfile.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString reasonOf(const QFileDevice& file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error")
               ? QStringLiteral("The file could not be written")
               : reason;
}

} // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw VoltarisError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), reasonOf(file)));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw VoltarisError(QStringLiteral("Cannot write file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), reasonOf(file)));
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QString reason = file.errorString();
        const QFileInfo info(path);
        if (!info.exists()) {
            reason = info.absoluteDir().exists()
                         ? QStringLiteral("The system cannot find the file specified")
                         : QStringLiteral("The system cannot find the path specified");
        }
        throw VoltarisError(QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), reason));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VoltarisError(QStringLiteral("Cannot read file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    return bytes;
}

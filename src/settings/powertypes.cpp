#include "powertypes.h"

#include "platform/atomicfile.h"
#include "platform/binaryio.h"
#include "platform/decimal.h"
#include "platform/errors.h"

#include <QDir>

namespace {

const char* const fieldNames[6] = {
    "channel 1 voltage", "channel 1 current", "channel 2 voltage",
    "channel 2 current", "channel 3 voltage", "channel 3 current",
};

} // namespace

QList<TPowerType> readPowerTypes(const QByteArray& bytes, const QString& fileName)
{
    const QString shownName = QDir::toNativeSeparators(fileName);
    BinaryReader reader(bytes, fileName);
    const qint32 count = reader.readI32();
    if (count < 1 || count > maxPowerTypes + 1)
        throw VoltarisError(
            QStringLiteral("The power-type file \"%1\" gives the count %2; it must lie in 1 to %3")
                .arg(shownName)
                .arg(count)
                .arg(maxPowerTypes + 1));

    QList<TPowerType> types;
    types.reserve(count - 1);
    for (int index = 0; index < count - 1; ++index) {
        TPowerType type;
        type.Name = reader.readCountedString();
        QString texts[7];
        for (QString& text : texts)
            text = reader.readCountedString();
        const auto badField = [&](const char* field, const VoltarisError& error) {
            return VoltarisError(QStringLiteral("The power-type file \"%1\", model %2 (%3), %4: %5")
                                     .arg(shownName)
                                     .arg(index + 1)
                                     .arg(type.Name, QLatin1String(field), error.message()));
        };
        for (int i = 0; i < 6; ++i) {
            try {
                type.maxima[i] = ParseDecimal(texts[i]);
            } catch (const VoltarisError& error) {
                throw badField(fieldNames[i], error);
            }
        }
        try {
            type.Precision = quint8(parseInteger(texts[6]) & 0xFF);
        } catch (const VoltarisError& error) {
            throw badField("precision", error);
        }
        types.append(type);
    }
    return types;
}

QString limitText(double maximum)
{
    QString text = formatNumber(maximum);
    if (text.contains(u'E')) {
        text = QString::number(maximum, 'f', 6);
        while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
            text.chop(1);
    }
    // Compared in the number text form: the reader's sum of integer and fraction may differ
    // from the written value in the last bit.
    bool readsBack = false;
    try {
        readsBack = formatNumber(ParseDecimal(text)) == formatNumber(maximum);
    } catch (const VoltarisError&) {
    }
    if (!readsBack)
        throw VoltarisError(
            QStringLiteral("The limit %1 cannot be stored as a power-type limit: limits are "
                           "0 or more, below 2147483648 and have at most six decimals")
                .arg(formatNumber(maximum)));
    return text;
}

QList<TPowerType> loadPowerTypes(const QString& path)
{
    return readPowerTypes(readWholeFile(path), path);
}

QByteArray writePowerTypes(const QList<TPowerType>& types)
{
    if (types.size() > maxPowerTypes)
        throw VoltarisError(QStringLiteral("%1 power types cannot be stored; at most %2 can")
                                .arg(types.size())
                                .arg(maxPowerTypes));
    BinaryWriter writer;
    writer.writeI32(qint32(types.size() + 1));
    for (const TPowerType& type : types) {
        writer.writeCountedString(type.Name);
        for (double maximum : type.maxima) {
            try {
                writer.writeCountedString(limitText(maximum));
            } catch (const VoltarisError& error) {
                throw VoltarisError(QStringLiteral("Model %1: %2").arg(type.Name, error.message()));
            }
        }
        writer.writeCountedString(QString::number(type.Precision));
    }
    return writer.bytes();
}

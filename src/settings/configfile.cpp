#include "configfile.h"

#include "platform/atomicfile.h"
#include "platform/binaryio.h"
#include "platform/decimal.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

ConfigData ConfigData::fromBytes(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.size() != fileSize)
        throw VoltarisError(
            QStringLiteral("The configuration file \"%1\" holds %2 bytes instead of %3")
                .arg(QDir::toNativeSeparators(fileName))
                .arg(bytes.size())
                .arg(fileSize));
    BinaryReader reader(bytes, fileName);
    ConfigData config;
    config.spareByte = reader.readU8();
    config.commPortIndex = reader.readU8();
    config.baudRate = reader.readI32();
    config.voltageArrowStep = reader.readDouble();
    config.voltagePageStep = reader.readDouble();
    config.voltageWheelStep = reader.readDouble();
    config.currentArrowStep = reader.readDouble();
    config.currentPageStep = reader.readDouble();
    config.currentWheelStep = reader.readDouble();
    config.spareInt = reader.readI32();
    config.spareFlag = reader.readU8();
    config.reloadLastParam = reader.readU8();
    return config;
}

QByteArray ConfigData::toBytes() const
{
    BinaryWriter writer;
    writer.writeU8(spareByte);
    writer.writeU8(commPortIndex);
    writer.writeI32(baudRate);
    writer.writeDouble(voltageArrowStep);
    writer.writeDouble(voltagePageStep);
    writer.writeDouble(voltageWheelStep);
    writer.writeDouble(currentArrowStep);
    writer.writeDouble(currentPageStep);
    writer.writeDouble(currentWheelStep);
    writer.writeI32(spareInt);
    writer.writeU8(spareFlag);
    writer.writeU8(reloadLastParam);
    return writer.bytes();
}

std::optional<ConfigData> loadConfigFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return ConfigData::fromBytes(readWholeFile(path), path);
}

void saveConfigFile(const QString& path, const ConfigData& config)
{
    writeFileAtomically(path, config.toBytes());
}

int parsePortIndex(const QString& portText)
{
    // Only the position counts: characters 4 and 5, the digits after "COM".
    return parseInteger(portText.mid(3, 2)) - 1;
}

int parseBaudRate(const QString& baudText)
{
    return parseInteger(baudText);
}

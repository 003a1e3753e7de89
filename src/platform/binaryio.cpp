#include "binaryio.h"

#include "ansicodec.h"
#include "errors.h"

#include <QtEndian>

#include <bit>
#include <cstring>
#include <limits>

BinaryReader::BinaryReader(QByteArray bytes, QString fileName)
    : m_bytes(std::move(bytes)), m_fileName(std::move(fileName))
{
}

const char* BinaryReader::take(qsizetype count)
{
    if (count < 0 || count > remaining())
        throw VoltarisError(
            QStringLiteral("File \"%1\" ends early: %2 bytes needed at offset %3, %4 left")
                .arg(m_fileName)
                .arg(count)
                .arg(m_position)
                .arg(remaining()));
    const char* data = m_bytes.constData() + m_position;
    m_position += count;
    return data;
}

quint8 BinaryReader::readU8()
{
    return quint8(*take(1));
}

quint16 BinaryReader::readU16()
{
    return qFromLittleEndian<quint16>(take(2));
}

qint32 BinaryReader::readI32()
{
    return qFromLittleEndian<qint32>(take(4));
}

double BinaryReader::readDouble()
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(take(8)));
}

QByteArray BinaryReader::readBytes(qsizetype count)
{
    const char* data = take(count);
    return QByteArray(data, count);
}

void BinaryReader::skip(qsizetype count)
{
    take(count);
}

QString BinaryReader::readCountedString()
{
    const quint16 length = readU16();
    const QString text = Ansi::decode(readBytes(length));
    skip(1);
    return text;
}

void BinaryWriter::writeU8(quint8 value)
{
    m_bytes.append(char(value));
}

void BinaryWriter::writeU16(quint16 value)
{
    char data[2];
    qToLittleEndian(value, data);
    m_bytes.append(data, 2);
}

void BinaryWriter::writeI32(qint32 value)
{
    char data[4];
    qToLittleEndian(value, data);
    m_bytes.append(data, 4);
}

void BinaryWriter::writeDouble(double value)
{
    char data[8];
    qToLittleEndian(std::bit_cast<quint64>(value), data);
    m_bytes.append(data, 8);
}

void BinaryWriter::writeBytes(const QByteArray& bytes)
{
    m_bytes.append(bytes);
}

void BinaryWriter::writeZeros(qsizetype count)
{
    m_bytes.append(count, '\0');
}

void BinaryWriter::writeCountedString(const QString& text)
{
    const QByteArray encoded = Ansi::encode(text);
    if (encoded.size() > std::numeric_limits<quint16>::max())
        throw VoltarisError(QStringLiteral("The text \"%1...\" is too long to be stored (%2 bytes, "
                                           "at most 65535)")
                                .arg(text.left(20))
                                .arg(encoded.size()));
    writeU16(quint16(encoded.size()));
    writeBytes(encoded);
    writeU8(0);
}

#pragma once

#include <QByteArray>
#include <QString>

// Reads the little-endian fields of one of the program's binary files, held whole in memory.
// Every read past the end throws VoltarisError naming the file, so a short file is rejected
// instead of leaving fields with stale values.
class BinaryReader
{
public:
    BinaryReader(QByteArray bytes, QString fileName);

    quint8 readU8();
    quint16 readU16();
    qint32 readI32();
    // IEEE 754 binary64.
    double readDouble();
    QByteArray readBytes(qsizetype count);
    void skip(qsizetype count);
    // u16 length L, L bytes in the ANSI code page, then one byte that is skipped.
    QString readCountedString();

    bool atEnd() const { return m_position == m_bytes.size(); }
    qsizetype remaining() const { return m_bytes.size() - m_position; }
    qsizetype position() const { return m_position; }
    QString fileName() const { return m_fileName; }

private:
    const char* take(qsizetype count);

    QByteArray m_bytes;
    QString m_fileName;
    qsizetype m_position = 0;
};

// Builds the bytes of one of the program's binary files with the same fields as BinaryReader.
class BinaryWriter
{
public:
    void writeU8(quint8 value);
    void writeU16(quint16 value);
    void writeI32(qint32 value);
    void writeDouble(double value);
    void writeBytes(const QByteArray& bytes);
    void writeZeros(qsizetype count);
    // u16 length, the ANSI bytes, then a 0 byte. Throws VoltarisError when the encoded text is
    // longer than 65535 bytes.
    void writeCountedString(const QString& text);

    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

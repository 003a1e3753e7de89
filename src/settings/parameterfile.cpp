#include "parameterfile.h"

#include "platform/atomicfile.h"
#include "platform/binaryio.h"
#include "platform/errors.h"

#include <QDir>

namespace {

// The padding after the last field of each step record; the offsets of the records in the file
// depend on it.
constexpr qsizetype programStepPadding = 7;
constexpr qsizetype goNgStepPadding = 7;

QString trimmedBlanksAndControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

// Reads a list's count and refuses one that the rest of the file cannot hold, so a damaged
// file is rejected instead of making us reserve memory for millions of records.
qsizetype readCount(BinaryReader& reader, qsizetype recordSize, const QString& listName)
{
    const qsizetype countOffset = reader.position();
    const qint32 count = reader.readI32();
    if (count <= 0)
        return 0;
    if (count > reader.remaining() / recordSize)
        throw VoltarisError(QStringLiteral("File \"%1\" is damaged: the %2 at offset %3 has a "
                                           "step count of %4 (%5 bytes each), but only %6 bytes "
                                           "follow")
                                .arg(reader.fileName(), listName)
                                .arg(countOffset)
                                .arg(count)
                                .arg(recordSize)
                                .arg(reader.remaining()));
    return count;
}

void writeBlock(BinaryWriter& writer, const AllParamBlock& block)
{
    for (const FastKey& key : block.FastKeys) {
        writer.writeDouble(key.Voltage);
        writer.writeDouble(key.Current);
    }
    for (const ScanSetting& scan : block.ScanSettings) {
        writer.writeDouble(scan.ScanStart);
        writer.writeDouble(scan.ScanStop);
        writer.writeDouble(scan.ScanStep);
        writer.writeDouble(scan.ScanDelay);
    }
    writer.writeU8(block.RunTimesMode);
    for (const quint8 byte : block.Padding)
        writer.writeU8(byte);
    writer.writeI32(block.RunTimesCount);
    for (const quint8 byte : block.Spare)
        writer.writeU8(byte);
}

AllParamBlock readBlock(BinaryReader& reader)
{
    AllParamBlock block;
    for (FastKey& key : block.FastKeys) {
        key.Voltage = reader.readDouble();
        key.Current = reader.readDouble();
    }
    for (ScanSetting& scan : block.ScanSettings) {
        scan.ScanStart = reader.readDouble();
        scan.ScanStop = reader.readDouble();
        scan.ScanStep = reader.readDouble();
        scan.ScanDelay = reader.readDouble();
    }
    block.RunTimesMode = reader.readU8();
    for (quint8& byte : block.Padding)
        byte = reader.readU8();
    block.RunTimesCount = reader.readI32();
    for (quint8& byte : block.Spare)
        byte = reader.readU8();
    return block;
}

} // namespace

ParameterSet::ParameterSet()
{
    captions.fill(QStringLiteral("0"));
}

QByteArray writeParameterFile(const ParameterSet& set)
{
    BinaryWriter writer;
    writeBlock(writer, set.block);
    for (const QList<ProgramStep>& list : set.programLists) {
        writer.writeI32(qint32(list.size()));
        for (const ProgramStep& step : list) {
            writer.writeDouble(step.Voltage);
            writer.writeDouble(step.Current);
            writer.writeDouble(step.Delay);
            writer.writeU8(step.Reserved);
            writer.writeZeros(programStepPadding);
        }
    }
    for (const QList<GoNgStep>& list : set.goNgLists) {
        writer.writeI32(qint32(list.size()));
        for (const GoNgStep& step : list) {
            writer.writeDouble(step.Setting);
            writer.writeDouble(step.Max);
            writer.writeDouble(step.Min);
            writer.writeDouble(step.Delay);
            writer.writeDouble(step.Real);
            writer.writeU8(step.Pass);
            writer.writeZeros(goNgStepPadding);
        }
    }
    for (const QString& caption : set.captions)
        writer.writeCountedString(caption);
    return writer.bytes();
}

ParameterSet readParameterFile(const QByteArray& bytes, const QString& fileName)
{
    BinaryReader reader(bytes, fileName);
    ParameterSet set;
    set.block = readBlock(reader);
    for (int channel = 0; channel < 3; ++channel) {
        const qsizetype count =
            readCount(reader, ParameterSet::programStepSize,
                      QStringLiteral("program list of channel %1").arg(channel + 1));
        QList<ProgramStep>& list = set.programLists[channel];
        list.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            ProgramStep step;
            step.Voltage = reader.readDouble();
            step.Current = reader.readDouble();
            step.Delay = reader.readDouble();
            step.Reserved = reader.readU8();
            reader.skip(programStepPadding);
            list.append(step);
        }
    }
    for (int channel = 0; channel < 3; ++channel) {
        const qsizetype count =
            readCount(reader, ParameterSet::goNgStepSize,
                      QStringLiteral("GO/NG list of channel %1").arg(channel + 1));
        QList<GoNgStep>& list = set.goNgLists[channel];
        list.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            GoNgStep step;
            step.Setting = reader.readDouble();
            step.Max = reader.readDouble();
            step.Min = reader.readDouble();
            step.Delay = reader.readDouble();
            // Real and Pass are skipped, not taken over: a loaded step is always unjudged.
            reader.skip(8 + 1 + goNgStepPadding);
            step.Real = 0.0;
            step.Pass = 0;
            list.append(step);
        }
    }
    for (QString& caption : set.captions)
        caption = trimmedBlanksAndControls(reader.readCountedString());
    return set;
}

ParameterSet loadParameterFile(const QString& path)
{
    return readParameterFile(readWholeFile(path), QDir::toNativeSeparators(path));
}

void saveParameterFile(const QString& path, const ParameterSet& set)
{
    writeFileAtomically(path, writeParameterFile(set));
}

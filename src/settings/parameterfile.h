#pragma once

#include "sequencing/steps.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The 280-byte block at the head of a parameter file, field by field in file order.
struct AllParamBlock
{
    static constexpr qsizetype byteSize = 280;

    std::array<FastKey, 10> FastKeys{};
    std::array<ScanSetting, 3> ScanSettings{};
    // 0 Once, 1 Repeat, 2 Custom.
    quint8 RunTimesMode = 0;
    // Carried through unchanged: the program holds these bytes and writes them back as read.
    std::array<quint8, 3> Padding{};
    // The number of runs for Custom.
    qint32 RunTimesCount = 0;
    // Carried through unchanged, like Padding.
    std::array<quint8, 16> Spare{};
};

// Everything a parameter file (a .Par file or AllParam.Par) holds: hotkeys, scan settings,
// RunTimes, the six step lists and the ten hotkey captions.
struct ParameterSet
{
    static constexpr qsizetype programStepSize = 32;
    static constexpr qsizetype goNgStepSize = 48;

    AllParamBlock block;
    // Index 0 is channel 1.
    std::array<QList<ProgramStep>, 3> programLists;
    std::array<QList<GoNgStep>, 3> goNgLists;
    // The texts of tbFastKey1..tbFastKey10.
    std::array<QString, 10> captions;

    // Captions all "0", as on a fresh start.
    ParameterSet();
};

// Throws VoltarisError quoting a caption too long for its counted string.
QByteArray writeParameterFile(const ParameterSet& set);

// Throws VoltarisError naming the file when it ends early or a count is larger than the rest of
// the file can hold; a count of 0 or below is an empty list. Real and Pass of every GO/NG step
// are cleared, so results never come from a file; captions lose their surrounding blanks and
// control characters. Bytes after the ten captions are ignored.
ParameterSet readParameterFile(const QByteArray& bytes, const QString& fileName);

// Throws VoltarisError naming the file when it cannot be read or is malformed.
ParameterSet loadParameterFile(const QString& path);
// Atomic: a failed save leaves the old file as it was.
void saveParameterFile(const QString& path, const ParameterSet& set);

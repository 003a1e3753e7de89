#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One instrument model of PowerType.dat: its name as the identity reply gives it, the limits of
// its three channels and the decimal places of voltage and current entry.
struct TPowerType
{
    QString Name;
    // ch1 V, ch1 A, ch2 V, ch2 A, ch3 V, ch3 A.
    double maxima[6] = {};
    quint8 Precision = 0;

    // channel 0..2.
    double maxVoltage(int channel) const { return maxima[2 * channel]; }
    double maxCurrent(int channel) const { return maxima[2 * channel + 1]; }

    bool operator==(const TPowerType&) const = default;
};

// The table holds at most 255 models: the record indexes are 8-bit.
constexpr int maxPowerTypes = 255;

// Count N (int32) and N − 1 records of eight counted strings. Throws VoltarisError naming the
// file when it ends early, N lies outside 1..256, or a limit or precision is not a number;
// nothing half-read is returned.
QList<TPowerType> readPowerTypes(const QByteArray& bytes, const QString& fileName);
QList<TPowerType> loadPowerTypes(const QString& path);
// A limit as PowerType.dat holds it: the number text form, in fixed point where that would use an
// exponent, because the reader knows no exponent. Throws VoltarisError for a value that the
// reader would not give back (negative, 2^31 and above, more than six decimals).
QString limitText(double maximum);
// Throws VoltarisError for more than 255 models or a limit that cannot be stored.
QByteArray writePowerTypes(const QList<TPowerType>& types);

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The 60 bytes of Config.dat, field by field in file order: the serial link, the knob step sizes
// and the reload flag. The spare fields carry no meaning; they are kept and written back.
struct ConfigData
{
    static constexpr qsizetype fileSize = 60;

    quint8 spareByte = 0;
    // Zero-based: 0 is COM1.
    quint8 commPortIndex = 0;
    qint32 baudRate = 0;
    // Knob steps in V (voltage) and A (current).
    double voltageArrowStep = 0.1;
    double voltagePageStep = 1.0;
    double voltageWheelStep = 0.1;
    double currentArrowStep = 0.1;
    double currentPageStep = 1.0;
    double currentWheelStep = 0.1;
    qint32 spareInt = 0;
    quint8 spareFlag = 1;
    // Held as read; any non-zero value means yes.
    quint8 reloadLastParam = 0;

    bool reloadsLastParam() const { return reloadLastParam != 0; }

    // Throws VoltarisError naming the file unless the bytes are exactly 60.
    static ConfigData fromBytes(const QByteArray& bytes, const QString& fileName);
    QByteArray toBytes() const;

    bool operator==(const ConfigData&) const = default;
};

// nullopt when the file does not exist; a file that cannot be read or has the wrong size throws
// VoltarisError naming it.
std::optional<ConfigData> loadConfigFile(const QString& path);
// Atomic: a failed write leaves the old file.
void saveConfigFile(const QString& path, const ConfigData& config);

// The port box text as the configuration dialog reads it on OK: the integer value of its
// characters 4 and 5 (1-based) minus 1, whatever the letters before them, so "COM12" gives 11
// and "COM100" gives 9. The caller keeps the low 8 bits. Throws VoltarisError quoting those two
// characters when they are not a whole number.
int parsePortIndex(const QString& portText);
// Any integer, not only the listed rates; throws VoltarisError quoting the text otherwise.
int parseBaudRate(const QString& baudText);

#include "simulatedsupply.h"

#include "platform/clock.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::array<double, SimulatedSupply::ChannelCount> RatedVolts{30.0, 30.0, 5.0};
constexpr std::array<double, SimulatedSupply::ChannelCount> RatedAmperes{3.0, 3.0, 3.0};

const QString Identity = QStringLiteral("Voltaris Simulator,VLT3303,SIM00001,1.00");
const QString LineEnd = QStringLiteral("\r\n");

bool validChannel(int channel)
{
    return channel >= 1 && channel <= SimulatedSupply::ChannelCount;
}

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

QString record(int code, const QString& value)
{
    return QString::number(code) + QLatin1Char(':') + value;
}

// Out-of-range set-points are limited as the instrument's own front end would; NaN and infinity
// mean nothing and leave the set-point alone.
bool clampSetpoint(double& value, double rating)
{
    if (!std::isfinite(value))
        return false;
    value = std::clamp(value, 0.0, rating);
    return true;
}

} // namespace

SimulatedSupply::SimulatedSupply(Clock& clock, QObject* parent)
    : LinkBackend(parent), m_clock(clock)
{
}

double SimulatedSupply::ratedVolts(int channel)
{
    return validChannel(channel) ? RatedVolts[channel - 1] : 0.0;
}

double SimulatedSupply::ratedAmperes(int channel)
{
    return validChannel(channel) ? RatedAmperes[channel - 1] : 0.0;
}

bool SimulatedSupply::open(int)
{
    if (m_open)
        return false;
    m_open = true;
    m_pollStarted = false;
    return true;
}

void SimulatedSupply::close()
{
    m_open = false;
    m_pollStarted = false;
    ++m_generation;
    m_lineFreeAtMs = 0;
}

void SimulatedSupply::queryIdentity()
{
    send(record(37, Identity));
}

void SimulatedSupply::querySelectedChannel()
{
    send(record(43, QString::number(m_selected)));
}

void SimulatedSupply::querySetpoints()
{
    send(record(14, number(selected().setV)));
    send(record(13, number(selected().limitA)));
}

void SimulatedSupply::queryOutputState()
{
    send(record(39, QString::number(selected().outputOn ? 1 : 0)));
}

void SimulatedSupply::beginPoll()
{
    if (answering())
        m_pollStarted = true;
}

void SimulatedSupply::endPoll()
{
    if (!answering() || !m_pollStarted)
        return;
    m_pollStarted = false;
    QStringList volts;
    QStringList amperes;
    for (int channel = 1; channel <= ChannelCount; ++channel) {
        const Reading reading = measure(channel);
        volts << number(reading.volts);
        amperes << number(reading.amperes);
    }
    if (m_splitReadings) {
        send(record(65, volts.join(QLatin1Char(','))));
        send(record(66, amperes.join(QLatin1Char(','))));
    } else {
        send(record(67, volts.join(QLatin1Char(',')) + QLatin1Char('\n') +
                            amperes.join(QLatin1Char(','))));
    }
}

void SimulatedSupply::setOutputState(bool on)
{
    if (!answering())
        return;
    selected().outputOn = on;
    queryOutputState();
}

void SimulatedSupply::selectChannel(int channel)
{
    if (!answering() || !validChannel(channel))
        return;
    m_selected = channel;
    // Like the front panel, the supply shows the new channel's settings at once, so the
    // program's knobs and output switch follow the channel.
    querySelectedChannel();
    querySetpoints();
    queryOutputState();
}

void SimulatedSupply::setVoltage(double volts)
{
    if (!answering() || !clampSetpoint(volts, ratedVolts(m_selected)))
        return;
    selected().setV = volts;
    send(record(14, number(volts)));
}

void SimulatedSupply::setCurrent(double amperes)
{
    if (!answering() || !clampSetpoint(amperes, ratedAmperes(m_selected)))
        return;
    selected().limitA = amperes;
    send(record(13, number(amperes)));
}

void SimulatedSupply::setVoltageCurrent(double volts, double amperes)
{
    setVoltage(volts);
    setCurrent(amperes);
}

SimulatedSupply::ChannelState SimulatedSupply::state(int channel) const
{
    return validChannel(channel) ? m_channels[channel - 1] : ChannelState{};
}

SimulatedSupply::Reading SimulatedSupply::idealReading(int channel) const
{
    if (!validChannel(channel))
        return {};
    const ChannelState& ch = m_channels[channel - 1];
    if (!ch.outputOn)
        return {};
    double demandA = 0;
    if (ch.loadOhms > 0)
        demandA = ch.setV / ch.loadOhms;
    else if (ch.setV > 0)
        demandA = std::numeric_limits<double>::infinity();
    if (demandA <= ch.limitA)
        return {ch.setV, demandA};
    return {ch.limitA * ch.loadOhms, ch.limitA};
}

void SimulatedSupply::setUnplugged(bool unplugged)
{
    if (unplugged && !m_unplugged) {
        ++m_generation;
        m_pollStarted = false;
        m_lineFreeAtMs = 0;
    }
    m_unplugged = unplugged;
}

void SimulatedSupply::reportChannel(int n)
{
    if (validChannel(n))
        m_selected = n;
    send(record(43, QString::number(n)));
}

void SimulatedSupply::setLoad(int channel, double ohms)
{
    if (!validChannel(channel) || std::isnan(ohms))
        return;
    m_channels[channel - 1].loadOhms = qMax(0.0, ohms);
}

SimulatedSupply::Reading SimulatedSupply::measure(int channel)
{
    const Reading ideal = idealReading(channel);
    if (!m_channels[channel - 1].outputOn)
        return ideal;
    return {noisy(ideal.volts, 0.0005, 0.001), noisy(ideal.amperes, 0.0005, 0.0001)};
}

double SimulatedSupply::noisy(double value, double relative, double absolute)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double proportional = value * relative * unit(m_random);
    const double offset = absolute * unit(m_random);
    return qMax(0.0, value + proportional + offset);
}

QString SimulatedSupply::mangled(const QString& body, Mangle mangle)
{
    switch (mangle) {
    case Mangle::Garbled: {
        std::uniform_int_distribution<int> printable(' ', '~' - 1);
        QString junk;
        for (qsizetype i = 0; i < body.size(); ++i) {
            int c = printable(m_random);
            if (c >= ':')
                ++c; // skip the colon, so junk never looks like a record
            junk += QChar(c);
        }
        return junk + LineEnd;
    }
    case Mangle::Partial:
        return body.left(body.size() / 2);
    case Mangle::NoColon:
        return QString(body).remove(QLatin1Char(':')) + LineEnd;
    }
    return body + LineEnd;
}

void SimulatedSupply::send(const QString& body)
{
    if (!answering())
        return;
    const QString text =
        m_mangles.isEmpty() ? body + LineEnd : mangled(body, m_mangles.takeFirst());
    const qint64 now = m_clock.elapsedMs();
    m_lineFreeAtMs = qMax(now, m_lineFreeAtMs) + m_latencyMs;
    const quint64 generation = m_generation;
    m_clock.callLater(int(m_lineFreeAtMs - now), this, [this, generation, text] {
        if (generation == m_generation && answering())
            emit reply(text);
    });
}

#pragma once

#include "link/linkbackend.h"

#include <QList>

#include <array>
#include <random>

class Clock;

// The built-in three-channel supply "VLT3303": it keeps set-points, outputs and a resistive load
// per channel, measures with constant-voltage/constant-current behaviour and a little noise, and
// answers each request after a latency on the clock. Every reply ends in "\r\n", as a real
// instrument's line would; numbers are written with "." and 3 decimals. Tests reach the fault
// injection below to make it misbehave.
class SimulatedSupply : public LinkBackend
{
    Q_OBJECT
public:
    static constexpr int ChannelCount = 3;
    static constexpr int DefaultLatencyMs = 20;
    static constexpr quint32 DefaultSeed = 3303;

    struct ChannelState
    {
        double setV = 0;   // V, 0 to the channel's rating
        double limitA = 0; // A, 0 to the channel's rating
        bool outputOn = false;
        double loadOhms = 0; // Ω; 0 is a short circuit
    };

    struct Reading
    {
        double volts = 0;
        double amperes = 0;
    };

    enum class Mangle
    {
        Garbled, // printable junk of the same length, never a colon
        Partial, // only the first half of the reply, no line end
        NoColon, // the reply with its colon removed
    };

    explicit SimulatedSupply(Clock& clock, QObject* parent = nullptr);

    static double ratedVolts(int channel);
    static double ratedAmperes(int channel);

    bool open(int baudRate) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    void queryIdentity() override;
    void querySelectedChannel() override;
    void querySetpoints() override;
    void queryOutputState() override;
    void beginPoll() override;
    void endPoll() override;
    void setOutputState(bool on) override;
    void selectChannel(int channel) override;
    void setVoltage(double volts) override;
    void setCurrent(double amperes) override;
    void setVoltageCurrent(double volts, double amperes) override;

    // channel 1 to 3; out-of-range channels give a default ChannelState.
    ChannelState state(int channel) const;
    int selectedChannel() const { return m_selected; }
    // What the terminals carry without noise: constant voltage while V/R stays within the limit,
    // otherwise constant current; 0 with the output off.
    Reading idealReading(int channel) const;

    void setSeed(quint32 seed) { m_random.seed(seed); }
    // A pulled cable: requests are ignored and nothing is answered, not even what was on its way.
    void setUnplugged(bool unplugged);
    // Per reply; a reply waits for the one before it, so several replies queue up.
    void setLatencyMs(int latencyMs) { m_latencyMs = qMax(0, latencyMs); }
    // Answer a poll with 65 then 66 instead of one 67.
    void setSplitReadings(bool split) { m_splitReadings = split; }
    // Spoils the next reply sent; each call spoils one more of the coming replies, in order.
    void mangleNextReply(Mangle mangle) { m_mangles.append(mangle); }
    // The front panel selected channel n: an unsolicited "43:n". Numbers outside 1 to 3 are sent
    // as they are but select nothing, so a test can feed the program a bad channel.
    void reportChannel(int n);
    // ohms < 0 is taken as 0 (a short circuit).
    void setLoad(int channel, double ohms);

private:
    bool answering() const { return m_open && !m_unplugged; }
    ChannelState& selected() { return m_channels[m_selected - 1]; }
    Reading measure(int channel);
    double noisy(double value, double relative, double absolute);
    QString mangled(const QString& body, Mangle mangle);
    void send(const QString& body);

    Clock& m_clock;
    std::array<ChannelState, ChannelCount> m_channels{{
        {12.0, 1.0, true, 24.0},
        {5.0, 2.0, true, 10.0},
        {5.0, 0.3, true, 5.0},
    }};
    int m_selected = 1;
    bool m_open = false;
    bool m_unplugged = false;
    bool m_pollStarted = false;
    bool m_splitReadings = false;
    int m_latencyMs = DefaultLatencyMs;
    // Replies on their way carry the generation they were sent in; closing or unplugging moves
    // it on so that they are lost.
    quint64 m_generation = 0;
    qint64 m_lineFreeAtMs = 0;
    QList<Mangle> m_mangles;
    std::mt19937 m_random{DefaultSeed};
};

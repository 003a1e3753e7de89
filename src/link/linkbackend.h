#pragma once

#include <QObject>
#include <QString>

// What sits behind a port: the simulated supply, a port with nothing attached, later a real
// serial line. AmperoOcx turns the link operations into these requests and forwards every reply
// text it emits. A backend may emit replies from inside a request; the link still delivers them
// later. Requests while the backend is closed are ignored.
class LinkBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~LinkBackend() override = default;

    // False when the port is already held open; baudRate as configured (bits per second).
    virtual bool open(int baudRate) = 0;
    // Replies still on their way are lost.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void queryIdentity() = 0;        // reply 37
    virtual void querySelectedChannel() = 0; // reply 43
    virtual void querySetpoints() = 0;       // replies 14 then 13, selected channel
    virtual void queryOutputState() = 0;     // reply 39, selected channel
    // A poll is beginPoll followed by endPoll; only the pair is answered (67, or 65 and 66).
    virtual void beginPoll() = 0;
    virtual void endPoll() = 0;
    virtual void setOutputState(bool on) = 0;
    virtual void selectChannel(int channel) = 0; // 1 to 3
    virtual void setVoltage(double volts) = 0;
    virtual void setCurrent(double amperes) = 0;
    virtual void setVoltageCurrent(double volts, double amperes) = 0;

signals:
    // One complete reply record "code:value", possibly ending in "\r\n".
    void reply(const QString& text);
};

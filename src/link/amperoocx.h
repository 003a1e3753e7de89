#pragma once

#include "link/instrumentlink.h"

#include <QPointer>

#include <optional>

class Clock;
class LinkBackend;
class PortTable;
class ReplyQueue;
class SimulatedSupply;

// The instrument link the main window owns: it opens the chosen port of a PortTable, turns each
// operation into a request to the backend on that port and hands the backend's replies to the
// main window one OnReceiveData at a time, always after the call that caused them. While no port
// is open every operation is ignored.
class AmperoOcx : public InstrumentLink
{
    Q_OBJECT
public:
    AmperoOcx(Clock& clock, PortTable& ports, QObject* parent = nullptr);
    ~AmperoOcx() override;

    void PrepareLink(short mode) override;
    // Closes the port and forgets every reply not yet delivered or fetched.
    void ResetLink() override;
    // Takes effect at the next OpenLink.
    void SetPortNumber(short portNumber) override;
    void SetBaudRate(int baudRate) override;
    // Opens the chosen port; stays closed when another link holds it. Opening while another port
    // is open closes that one first; the port already open is kept.
    void OpenLink() override;
    void InitQuery1() override; // identity, 37
    void InitQuery2() override; // selected channel, 43
    void InitQuery3() override; // set-points, 14 then 13
    void InitQuery4() override; // output state, 39
    void PollQuery1() override;
    void PollQuery2() override; // completes the poll: 67, or 65 and 66
    // Replies already received are still delivered.
    void CloseLink() override;
    // The text of the latest OnReceiveData, once; empty when it was fetched already or none came.
    QString GetReceivedText() override;
    // "1" on, "0" off; other texts are ignored.
    void SetOutputState(const QString& state) override;
    void SelectChannel(const QString& channel) override;
    void SetVoltage(double volts) override;
    void SetCurrent(double amperes) override;
    // Text numbers take "." or "," and surrounding blanks; a text that is no number is ignored,
    // and SetVoltageCurrentText is ignored as a whole when either text is no number.
    void SetVoltageText(const QString& volts) override;
    void SetVoltageCurrentText(const QString& volts, const QString& amperes) override;

    bool isOpen() const;
    short portNumber() const { return m_portNumber; }
    int baudRate() const { return m_baudRate; }
    // The instrument on the chosen port when it is the simulated supply, else null; it can be
    // reached before OpenLink, so that a test prepares it first.
    SimulatedSupply* simulatedSupply();

    static std::optional<double> parseNumber(const QString& text);

private:
    void closePort();
    LinkBackend* openBackend() const;

    Clock& m_clock;
    PortTable& m_ports;
    ReplyQueue* m_replies = nullptr;
    QPointer<LinkBackend> m_backend;
    short m_portNumber = 1;
    int m_baudRate = 9600;
};

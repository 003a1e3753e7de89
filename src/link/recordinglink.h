#pragma once

#include "link/instrumentlink.h"

#include <QList>
#include <QStringList>

class Clock;
class ReplyQueue;

// A stand-in link for tests: it writes down every operation it is asked for, with the clock's
// time, and announces whatever replies the test hands it. Call texts read like the call:
// "SetVoltage(7.5)", "SelectChannel(2)", "SetVoltageCurrentText(5,1)", "OpenLink()"; doubles in
// their shortest round-trip form, texts as given. GetReceivedText is a question, not a request to
// the instrument, so it is not written down.
class RecordingLink : public InstrumentLink
{
    Q_OBJECT
public:
    struct Call
    {
        qint64 atMs = 0; // Clock::elapsedMs at the call
        QString text;
    };

    explicit RecordingLink(Clock& clock, QObject* parent = nullptr);

    QList<Call> calls() const { return m_calls; }
    QStringList callTexts() const;
    void clear() { m_calls.clear(); }

    // Queues a reply; OnReceiveData follows after 0 ms on the clock, so the test advances it.
    void deliver(const QString& reply);

    void PrepareLink(short mode) override;
    void ResetLink() override;
    void SetPortNumber(short portNumber) override;
    void SetBaudRate(int baudRate) override;
    void OpenLink() override;
    void InitQuery1() override;
    void InitQuery2() override;
    void InitQuery3() override;
    void InitQuery4() override;
    void PollQuery1() override;
    void PollQuery2() override;
    void CloseLink() override;
    // Same rule as the real link: the text of the latest OnReceiveData, once.
    QString GetReceivedText() override;
    void SetOutputState(const QString& state) override;
    void SelectChannel(const QString& channel) override;
    void SetVoltage(double volts) override;
    void SetCurrent(double amperes) override;
    void SetVoltageText(const QString& volts) override;
    void SetVoltageCurrentText(const QString& volts, const QString& amperes) override;

private:
    void record(const QString& operation, const QStringList& arguments = {});

    Clock& m_clock;
    ReplyQueue* m_replies = nullptr;
    QList<Call> m_calls;
};

#pragma once

#include <QObject>
#include <QString>

// The boundary to the power supply: the operations the main window calls and the one
// notification it receives. Replies are text records "code:value", delivered on the UI thread,
// always later than the call that caused them, one OnReceiveData per complete reply; the main
// window fetches each with GetReceivedText. Operations other than SelectChannel act on the
// instrument's selected channel. Number arguments given as text may use "." or ",".
class InstrumentLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~InstrumentLink() override = default;

    virtual void PrepareLink(short mode) = 0;
    virtual void ResetLink() = 0;
    virtual void SetPortNumber(short portNumber) = 0; // 1 = COM1
    virtual void SetBaudRate(int baudRate) = 0;
    virtual void OpenLink() = 0;
    virtual void InitQuery1() = 0;
    virtual void InitQuery2() = 0;
    virtual void InitQuery3() = 0;
    virtual void InitQuery4() = 0;
    virtual void PollQuery1() = 0;
    virtual void PollQuery2() = 0;
    virtual void CloseLink() = 0;
    // The reply announced by the latest OnReceiveData, once: empty when it was fetched already
    // or no reply came yet, so one notification always goes with one text.
    virtual QString GetReceivedText() = 0;
    virtual void SetOutputState(const QString& state) = 0;  // "1" on, "0" off
    virtual void SelectChannel(const QString& channel) = 0; // "1" to "3"
    virtual void SetVoltage(double volts) = 0;
    virtual void SetCurrent(double amperes) = 0;
    virtual void SetVoltageText(const QString& volts) = 0;
    virtual void SetVoltageCurrentText(const QString& volts, const QString& amperes) = 0;

signals:
    void OnReceiveData();
};

// Reply codes the main window handles.
enum ReplyCode : int
{
    ReplyCurrentSetpoint = 13,
    ReplyVoltageSetpoint = 14,
    ReplyIdentity = 37,
    ReplyOutputState = 39,
    ReplyChannel = 43,
    ReplyVoltages = 65,
    ReplyCurrents = 66,
    ReplyReadings = 67,
};

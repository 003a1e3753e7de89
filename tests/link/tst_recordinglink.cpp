#include "link/recordinglink.h"
#include "platform/clock.h"

#include <QSignalSpy>
#include <QTest>

class TestRecordingLink : public QObject
{
    Q_OBJECT
private slots:
    void recordsEachCallWithItsVirtualTime()
    {
        VirtualClock clock;
        RecordingLink link(clock);
        link.SetPortNumber(1);
        link.OpenLink();
        clock.advance(250);
        link.SetVoltage(7.5);
        link.SetCurrent(0.1);
        link.SetVoltage(5);
        link.SelectChannel(QStringLiteral("2"));
        link.SetVoltageCurrentText(QStringLiteral("5"), QStringLiteral("1"));
        clock.advance(500);
        link.SetOutputState(QStringLiteral("0"));
        link.PollQuery2();
        link.GetReceivedText();

        QCOMPARE(link.callTexts(),
                 QStringList({"SetPortNumber(1)", "OpenLink()", "SetVoltage(7.5)",
                              "SetCurrent(0.1)", "SetVoltage(5)", "SelectChannel(2)",
                              "SetVoltageCurrentText(5,1)", "SetOutputState(0)", "PollQuery2()"}));
        QList<qint64> times;
        for (const RecordingLink::Call& call : link.calls())
            times << call.atMs;
        QCOMPARE(times, QList<qint64>({0, 0, 250, 250, 250, 250, 250, 750, 750}));

        link.clear();
        QVERIFY(link.calls().isEmpty());
    }

    void deliversPushedRepliesOnTheClock()
    {
        VirtualClock clock;
        RecordingLink link(clock);
        QStringList received;
        connect(&link, &InstrumentLink::OnReceiveData, &link,
                [&] { received << link.GetReceivedText(); });
        link.deliver(QStringLiteral("37:X,VLT3303,1,1"));
        link.deliver(QStringLiteral("43:2"));
        QVERIFY(received.isEmpty());
        clock.advance(0);
        QCOMPARE(received, QStringList({"37:X,VLT3303,1,1", "43:2"}));
        QVERIFY(link.GetReceivedText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordingLink)
#include "tst_recordinglink.moc"

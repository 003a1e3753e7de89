#include "link/amperoocx.h"
#include "link/porttable.h"
#include "link/silentport.h"
#include "link/simulatedsupply.h"
#include "platform/clock.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Fetches each reply the way the main window does: once, inside the notification.
struct Receiver
{
    struct Reply
    {
        qint64 atMs;
        QString text;
    };

    Receiver(AmperoOcx& link, Clock& clock)
    {
        QObject::connect(&link, &InstrumentLink::OnReceiveData, &link, [this, &link, &clock] {
            replies.append({clock.elapsedMs(), link.GetReceivedText()});
            secondFetchWasEmpty = secondFetchWasEmpty && link.GetReceivedText().isEmpty();
        });
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Reply& reply : replies)
            result << reply.text;
        return result;
    }

    QList<Reply> replies;
    bool secondFetchWasEmpty = true;
};

// A backend that answers inside the request itself, as a serial port's buffered bytes might.
class ImmediateBackend : public SilentPort
{
public:
    void queryIdentity() override
    {
        if (isOpen())
            emit reply(QStringLiteral("37:Immediate,X1,0,0"));
    }
};

struct Rig
{
    Rig() { receiver = std::make_unique<Receiver>(link, clock); }

    void open(short port = 1)
    {
        link.ResetLink();
        link.SetPortNumber(port);
        link.SetBaudRate(9600);
        link.OpenLink();
    }

    void connect(short port = 1)
    {
        open(port);
        link.InitQuery1();
        link.InitQuery2();
        link.InitQuery3();
        link.InitQuery4();
        link.PollQuery1();
    }

    QStringList settle()
    {
        clock.advance(1000);
        QStringList texts = receiver->texts();
        receiver->replies.clear();
        return texts;
    }

    SimulatedSupply& supply() { return *link.simulatedSupply(); }

    VirtualClock clock;
    PortTable ports;
    AmperoOcx link{clock, ports};
    std::unique_ptr<Receiver> receiver;
};

QList<double> numbers(const QString& list)
{
    QList<double> values;
    for (const QString& field : list.split(QLatin1Char(',')))
        values << field.toDouble();
    return values;
}

// Drives one operation written as "Name arg" or "Name arg1|arg2".
void perform(AmperoOcx& link, const QString& step)
{
    const QString name = step.section(QLatin1Char(' '), 0, 0);
    const QString argument = step.section(QLatin1Char(' '), 1);
    if (name == QLatin1String("SetVoltage"))
        link.SetVoltage(argument.toDouble());
    else if (name == QLatin1String("SetCurrent"))
        link.SetCurrent(argument.toDouble());
    else if (name == QLatin1String("SetVoltageText"))
        link.SetVoltageText(argument);
    else if (name == QLatin1String("SetVoltageCurrentText"))
        link.SetVoltageCurrentText(argument.section(QLatin1Char('|'), 0, 0),
                                   argument.section(QLatin1Char('|'), 1));
    else if (name == QLatin1String("SelectChannel"))
        link.SelectChannel(argument);
    else if (name == QLatin1String("SetOutputState"))
        link.SetOutputState(argument);
    else
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
}

} // namespace

class TestAmperoOcx : public QObject
{
    Q_OBJECT
private slots:
    void connectionSequenceAnswersInOrderAfterTheCalls()
    {
        Rig rig;
        rig.connect();
        QVERIFY(rig.receiver->replies.isEmpty());
        rig.clock.advance(0);
        QVERIFY(rig.receiver->replies.isEmpty());

        QCOMPARE(rig.settle(), QStringList({
                                   "37:Voltaris Simulator,VLT3303,SIM00001,1.00\r\n",
                                   "43:1\r\n",
                                   "14:12.000\r\n",
                                   "13:1.000\r\n",
                                   "39:1\r\n",
                               }));
        QVERIFY(rig.receiver->secondFetchWasEmpty);
    }

    void repliesQueueBehindEachOther()
    {
        Rig rig;
        rig.connect();
        rig.clock.advance(1000);
        QList<qint64> times;
        for (const Receiver::Reply& reply : rig.receiver->replies)
            times << reply.atMs;
        QCOMPARE(times, QList<qint64>({20, 40, 60, 80, 100}));
    }

    void aReplyWithoutLatencyStillComesAfterTheCall()
    {
        Rig rig;
        rig.supply().setLatencyMs(0);
        rig.open();
        rig.link.InitQuery2();
        QVERIFY(rig.receiver->replies.isEmpty());
        rig.clock.advance(0);
        QCOMPARE(rig.receiver->texts(), QStringList({"43:1\r\n"}));
    }

    void aPollReadsConstantVoltageAndConstantCurrent()
    {
        Rig rig;
        rig.connect();
        rig.settle();
        rig.link.PollQuery1();
        rig.link.PollQuery2();
        const QStringList replies = rig.settle();
        QCOMPARE(replies.size(), 1);
        QVERIFY(replies[0].startsWith(QLatin1String("67:")));
        QVERIFY(replies[0].endsWith(QLatin1String("\r\n")));
        const QStringList lines = replies[0].mid(3).trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        const QList<double> volts = numbers(lines[0]);
        const QList<double> amperes = numbers(lines[1]);
        // ch1 24 Ω and ch2 10 Ω stay within their limits; ch3 at 5 Ω would draw 1 A and is held
        // at its 0.3 A limit, which leaves 1.5 V across the load.
        const QList<double> expectedVolts{12.0, 5.0, 1.5};
        const QList<double> expectedAmperes{0.5, 0.5, 0.3};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(qAbs(volts[i] - expectedVolts[i]) < 0.01, qPrintable(lines[0]));
            QVERIFY2(qAbs(amperes[i] - expectedAmperes[i]) < 0.002, qPrintable(lines[1]));
        }
    }

    void aPollNeedsBothHalvesInOrder()
    {
        Rig rig;
        rig.open();
        rig.link.PollQuery1();
        QCOMPARE(rig.settle(), QStringList());
        rig.link.PollQuery2();
        rig.link.PollQuery2(); // the first completed the poll; the second has no first half
        QCOMPARE(rig.settle().size(), 1);
        rig.link.PollQuery2();
        QCOMPARE(rig.settle(), QStringList());
    }

    void splitModeAnswersVoltagesThenCurrents()
    {
        Rig rig;
        rig.supply().setSplitReadings(true);
        rig.open();
        rig.link.PollQuery1();
        rig.link.PollQuery2();
        const QStringList replies = rig.settle();
        QCOMPARE(replies.size(), 2);
        QVERIFY(replies[0].startsWith(QLatin1String("65:")));
        QVERIFY(replies[1].startsWith(QLatin1String("66:")));
        QCOMPARE(numbers(replies[0].mid(3).trimmed()).size(), 3);
        QCOMPARE(numbers(replies[1].mid(3).trimmed()).value(2), 0.3);
    }

    void anOutputThatIsOffReadsZero()
    {
        Rig rig;
        rig.open();
        rig.link.SelectChannel(QStringLiteral("2"));
        rig.link.SetOutputState(QStringLiteral("0"));
        rig.link.InitQuery4();
        QCOMPARE(rig.settle(), QStringList({"43:2\r\n", "14:5.000\r\n", "13:2.000\r\n",
                                             "39:1\r\n", "39:0\r\n", "39:0\r\n"}));
        rig.link.PollQuery1();
        rig.link.PollQuery2();
        const QStringList lines = rig.settle().value(0).mid(3).trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0).section(QLatin1Char(','), 1, 1), QStringLiteral("0.000"));
        QCOMPARE(lines.value(1).section(QLatin1Char(','), 1, 1), QStringLiteral("0.000"));
        QVERIFY(numbers(lines.value(0)).value(0) > 11.9);
        QVERIFY(!rig.supply().state(2).outputOn);
        QVERIFY(rig.supply().state(1).outputOn);
    }

    void setpointRequests_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<double>("setV"); // selected channel afterwards
        QTest::addColumn<double>("limitA");

        QTest::newRow("voltage above rating")
            << QStringList{"SetVoltage 40"} << QStringList{"14:30.000"} << 30.0 << 1.0;
        QTest::newRow("negative voltage")
            << QStringList{"SetVoltage -1"} << QStringList{"14:0.000"} << 0.0 << 1.0;
        QTest::newRow("current above rating")
            << QStringList{"SetCurrent 3.5"} << QStringList{"13:3.000"} << 12.0 << 3.0;
        QTest::newRow("comma text")
            << QStringList{"SetVoltageText 12,5"} << QStringList{"14:12.500"} << 12.5 << 1.0;
        QTest::newRow("blanks around text")
            << QStringList{"SetVoltageText  7.25 "} << QStringList{"14:7.250"} << 7.25 << 1.0;
        QTest::newRow("text no number")
            << QStringList{"SetVoltageText abc"} << QStringList{} << 12.0 << 1.0;
        QTest::newRow("text two separators")
            << QStringList{"SetVoltageText 1,2.3"} << QStringList{} << 12.0 << 1.0;
        QTest::newRow("voltage and current text")
            << QStringList{"SetVoltageCurrentText 5,5|0,25"} << QStringList{"14:5.500", "13:0.250"}
            << 5.5 << 0.25;
        QTest::newRow("pair with a bad current")
            << QStringList{"SetVoltageCurrentText 5|x"} << QStringList{} << 12.0 << 1.0;
        QTest::newRow("channel 3 rating") << QStringList{"SelectChannel 3", "SetVoltage 6"}
                                          << QStringList{"43:3", "14:5.000", "13:0.300", "39:1", "14:5.000"}
                                          << 5.0 << 0.3;
        QTest::newRow("channel out of range") << QStringList{"SelectChannel 4", "SetCurrent 2"}
                                              << QStringList{"13:2.000"} << 12.0 << 2.0;
        QTest::newRow("output state not 0 or 1")
            << QStringList{"SetOutputState 2"} << QStringList{} << 12.0 << 1.0;
    }

    void setpointRequests()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, replies);
        QFETCH(double, setV);
        QFETCH(double, limitA);
        Rig rig;
        rig.open();
        for (const QString& step : steps)
            perform(rig.link, step);
        QStringList expected;
        for (const QString& reply : replies)
            expected << reply + QStringLiteral("\r\n");
        QCOMPARE(rig.settle(), expected);
        const SimulatedSupply::ChannelState state =
            rig.supply().state(rig.supply().selectedChannel());
        QCOMPARE(state.setV, setV);
        QCOMPARE(state.limitA, limitA);
    }

    void silentPorts_data()
    {
        QTest::addColumn<short>("port");
        QTest::newRow("COM2, nothing attached") << short(2);
        QTest::newRow("COM7, not in the table") << short(7);
    }

    void silentPorts()
    {
        QFETCH(short, port);
        Rig rig;
        rig.connect(port);
        QVERIFY(rig.link.isOpen());
        QVERIFY(!rig.link.simulatedSupply());
        rig.link.PollQuery2();
        rig.clock.advance(60000);
        QVERIFY(rig.receiver->replies.isEmpty());
    }

    void operationsWithoutAnOpenPortDoNothing()
    {
        Rig rig;
        rig.link.InitQuery1();
        rig.link.SetVoltage(3);
        QCOMPARE(rig.settle(), QStringList());
        QCOMPARE(rig.supply().state(1).setV, 12.0);

        rig.open();
        rig.link.CloseLink();
        rig.link.SetVoltage(3);
        QCOMPARE(rig.settle(), QStringList());
        QCOMPARE(rig.supply().state(1).setV, 12.0);
    }

    void anUnpluggedSupplyAnswersNothing()
    {
        Rig rig;
        rig.open();
        rig.link.InitQuery1();
        rig.supply().setUnplugged(true); // loses the identity on its way
        rig.link.SetVoltage(3);
        rig.link.PollQuery1();
        rig.link.PollQuery2();
        QCOMPARE(rig.settle(), QStringList());
        QCOMPARE(rig.supply().state(1).setV, 12.0);

        rig.supply().setUnplugged(false);
        rig.link.InitQuery2();
        QCOMPARE(rig.settle(), QStringList({"43:1\r\n"}));
    }

    void closingLosesRepliesOnTheirWay()
    {
        Rig rig;
        rig.connect();
        rig.clock.advance(50); // 37 and 43 are in, 14, 13 and 39 still on the line
        rig.link.ResetLink();
        rig.link.OpenLink();
        rig.link.InitQuery2();
        QCOMPARE(rig.settle(), QStringList({"37:Voltaris Simulator,VLT3303,SIM00001,1.00\r\n",
                                            "43:1\r\n", "43:1\r\n"}));
    }

    void resetDropsReceivedRepliesButCloseDeliversThem()
    {
        VirtualClock clock;
        PortTable ports;
        ports.setPort(3, [](Clock&) { return std::make_unique<ImmediateBackend>(); });
        AmperoOcx link(clock, ports);
        Receiver receiver(link, clock);
        link.SetPortNumber(3);
        link.OpenLink();

        link.InitQuery1();
        QVERIFY(receiver.replies.isEmpty());
        link.ResetLink();
        clock.advance(0);
        QVERIFY(receiver.replies.isEmpty());

        link.OpenLink();
        link.InitQuery1();
        link.CloseLink();
        clock.advance(0);
        QCOMPARE(receiver.texts(), QStringList({"37:Immediate,X1,0,0"}));
    }

    void theSupplyKeepsItsStateAcrossReconnects()
    {
        Rig rig;
        rig.open();
        rig.link.SelectChannel(QStringLiteral("2"));
        rig.link.SetVoltageText(QStringLiteral("7"));
        rig.settle();
        rig.connect();
        QCOMPARE(rig.settle(),
                 QStringList({"37:Voltaris Simulator,VLT3303,SIM00001,1.00\r\n", "43:2\r\n",
                              "14:7.000\r\n", "13:2.000\r\n", "39:1\r\n"}));
    }

    void mangledReplies_data()
    {
        QTest::addColumn<SimulatedSupply::Mangle>("mangle");
        QTest::addColumn<QString>("expected"); // empty: checked by shape only
        QTest::newRow("partial") << SimulatedSupply::Mangle::Partial << QStringLiteral("14:1");
        QTest::newRow("no colon") << SimulatedSupply::Mangle::NoColon
                                  << QStringLiteral("1412.000\r\n");
        QTest::newRow("garbled") << SimulatedSupply::Mangle::Garbled << QString();
    }

    void mangledReplies()
    {
        QFETCH(SimulatedSupply::Mangle, mangle);
        QFETCH(QString, expected);
        Rig rig;
        rig.open();
        rig.supply().mangleNextReply(mangle);
        rig.link.InitQuery3();
        const QStringList replies = rig.settle();
        QCOMPARE(replies.size(), 2);
        if (expected.isEmpty()) {
            QCOMPARE(replies[0].size(), QStringLiteral("14:12.000\r\n").size());
            QVERIFY(!replies[0].contains(QLatin1Char(':')));
            QVERIFY(replies[0].endsWith(QLatin1String("\r\n")));
            for (QChar c : replies[0].chopped(2))
                QVERIFY(c.unicode() >= ' ' && c.unicode() <= '~');
        } else {
            QCOMPARE(replies[0], expected);
        }
        QCOMPARE(replies[1], QStringLiteral("13:1.000\r\n"));
    }

    void theFrontPanelReportsItsChannel()
    {
        Rig rig;
        rig.open();
        rig.supply().reportChannel(2);
        rig.link.InitQuery3();
        QCOMPARE(rig.settle(), QStringList({"43:2\r\n", "14:5.000\r\n", "13:2.000\r\n"}));

        rig.supply().reportChannel(4);
        QCOMPARE(rig.settle(), QStringList({"43:4\r\n"}));
        QCOMPARE(rig.supply().selectedChannel(), 2);
    }

    void eachNotificationHasItsOwnText()
    {
        VirtualClock clock;
        PortTable ports;
        AmperoOcx link(clock, ports);
        int notifications = 0;
        QStringList fetched;
        QObject::connect(&link, &InstrumentLink::OnReceiveData, &link, [&] {
            // The first notification is left unfetched: the second must not bring back its text.
            if (++notifications > 1)
                fetched << link.GetReceivedText() << link.GetReceivedText();
        });
        QVERIFY(link.GetReceivedText().isEmpty());
        link.OpenLink();
        link.InitQuery1();
        link.InitQuery2();
        link.InitQuery4();
        clock.advance(1000);
        QCOMPARE(notifications, 3);
        QCOMPARE(fetched, QStringList({"43:1\r\n", "", "39:1\r\n", ""}));
        QVERIFY(link.GetReceivedText().isEmpty());
    }

    void thePortIsBusyWhileALinkHoldsIt()
    {
        VirtualClock clock;
        PortTable ports;
        QVERIFY(ports.portExists(1) && ports.portExists(2));
        for (int n : {0, 3, 36, 37})
            QVERIFY2(!ports.portExists(n) && !ports.portIsFree(n), qPrintable(QString::number(n)));
        QVERIFY(ports.portIsFree(1));

        auto first = std::make_unique<AmperoOcx>(clock, ports);
        first->OpenLink();
        QVERIFY(first->isOpen());
        QVERIFY(!ports.portIsFree(1));
        QVERIFY(ports.portIsFree(2));

        AmperoOcx second(clock, ports);
        second.OpenLink();
        QVERIFY(!second.isOpen());

        first->CloseLink();
        QVERIFY(ports.portIsFree(1));
        first->OpenLink();
        first->ResetLink();
        QVERIFY(ports.portIsFree(1));
        first->OpenLink();
        first.reset();
        QVERIFY(ports.portIsFree(1));
        second.OpenLink();
        QVERIFY(second.isOpen());
    }

    void aTableWithOtherPorts()
    {
        VirtualClock clock;
        PortTable ports;
        ports.clear();
        ports.setPort(5, PortTable::simulatedSupply());
        QVERIFY(!ports.portExists(1));
        QVERIFY(ports.portExists(5));
        AmperoOcx link(clock, ports);
        Receiver receiver(link, clock);

        link.SetPortNumber(1);
        link.OpenLink();
        link.InitQuery1();
        link.SetPortNumber(5);
        link.OpenLink();
        QVERIFY(!ports.portIsFree(5));
        link.InitQuery2();
        clock.advance(1000);
        QCOMPARE(receiver.texts(), QStringList({"43:1\r\n"}));
    }
};

QTEST_GUILESS_MAIN(TestAmperoOcx)
#include "tst_amperoocx.moc"

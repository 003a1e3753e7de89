#include "link/simulatedsupply.h"
#include "platform/clock.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

// One poll straight on the backend; returns the six numbers v1, v2, v3, c1, c2, c3.
QList<double> poll(SimulatedSupply& supply, VirtualClock& clock)
{
    clock.advance(1000); // replies to earlier requests are out of the way
    QSignalSpy spy(&supply, &LinkBackend::reply);
    supply.beginPoll();
    supply.endPoll();
    clock.advance(1000);
    if (spy.count() != 1)
        return {};
    const QString text = spy.at(0).at(0).toString();
    QList<double> values;
    for (const QString& field : text.mid(3).trimmed().split(QRegularExpression("[,\n]")))
        values << field.toDouble();
    return values;
}

} // namespace

class TestSimulatedSupply : public QObject
{
    Q_OBJECT
private slots:
    void startsInTheDocumentedState()
    {
        VirtualClock clock;
        SimulatedSupply supply(clock);
        QCOMPARE(supply.selectedChannel(), 1);
        const double setV[] = {12, 5, 5};
        const double limitA[] = {1, 2, 0.3};
        const double loadOhms[] = {24, 10, 5};
        for (int ch = 1; ch <= 3; ++ch) {
            const SimulatedSupply::ChannelState state = supply.state(ch);
            QCOMPARE(state.setV, setV[ch - 1]);
            QCOMPARE(state.limitA, limitA[ch - 1]);
            QCOMPARE(state.loadOhms, loadOhms[ch - 1]);
            QVERIFY(state.outputOn);
        }
        QCOMPARE(SimulatedSupply::ratedVolts(3), 5.0);
        QCOMPARE(SimulatedSupply::ratedAmperes(2), 3.0);
    }

    void followsConstantVoltageOrConstantCurrent_data()
    {
        QTest::addColumn<double>("setV");
        QTest::addColumn<double>("limitA");
        QTest::addColumn<double>("loadOhms");
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("amperes");
        const double open = std::numeric_limits<double>::infinity();
        QTest::newRow("CV well within the limit") << 12.0 << 1.0 << 24.0 << 12.0 << 0.5;
        QTest::newRow("CV exactly at the limit") << 10.0 << 1.0 << 10.0 << 10.0 << 1.0;
        QTest::newRow("CC") << 10.0 << 1.0 << 4.0 << 4.0 << 1.0;
        QTest::newRow("short circuit") << 10.0 << 2.0 << 0.0 << 0.0 << 2.0;
        QTest::newRow("short circuit at 0 V") << 0.0 << 2.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("open circuit") << 10.0 << 2.0 << open << 10.0 << 0.0;
        QTest::newRow("zero limit") << 10.0 << 0.0 << 10.0 << 0.0 << 0.0;
    }

    void followsConstantVoltageOrConstantCurrent()
    {
        QFETCH(double, setV);
        QFETCH(double, limitA);
        QFETCH(double, loadOhms);
        QFETCH(double, volts);
        QFETCH(double, amperes);
        VirtualClock clock;
        SimulatedSupply supply(clock);
        supply.open(9600);
        supply.setVoltage(setV);
        supply.setCurrent(limitA);
        supply.setLoad(1, loadOhms);
        const SimulatedSupply::Reading reading = supply.idealReading(1);
        QCOMPARE(reading.volts, volts);
        QCOMPARE(reading.amperes, amperes);

        const QList<double> measured = poll(supply, clock);
        QCOMPARE(measured.size(), 6);
        QVERIFY(qAbs(measured[0] - volts) <= volts * 0.0005 + 0.001 + 0.0005);
        QVERIFY(qAbs(measured[3] - amperes) <= amperes * 0.0005 + 0.0001 + 0.0005);
    }

    void noiseIsSmallSeededAndNeverNegative()
    {
        VirtualClock clock;
        SimulatedSupply supply(clock);
        supply.open(9600);
        supply.setVoltage(0); // channel 1 at 0 V: noise must not push it below 0
        QList<double> first;
        bool varied = false;
        for (int i = 0; i < 200; ++i) {
            const QList<double> values = poll(supply, clock);
            QCOMPARE(values.size(), 6);
            QVERIFY(values[0] >= 0 && values[0] <= 0.0015);
            QVERIFY(qAbs(values[1] - 5.0) <= 5.0 * 0.0005 + 0.001 + 0.0005);
            if (first.isEmpty())
                first = values;
            varied = varied || values[1] != first[1];
        }
        QVERIFY(varied);

        SimulatedSupply again(clock);
        again.open(9600);
        again.setVoltage(0);
        QCOMPARE(poll(again, clock), first);
        again.setSeed(SimulatedSupply::DefaultSeed + 1);
        QVERIFY(poll(again, clock) != first);
    }

    void requestsNeedAnOpenPort()
    {
        VirtualClock clock;
        SimulatedSupply supply(clock);
        QSignalSpy spy(&supply, &LinkBackend::reply);
        supply.setVoltage(1);
        supply.selectChannel(2);
        supply.reportChannel(3);
        clock.advance(1000);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(supply.state(1).setV, 12.0);
        QCOMPARE(supply.selectedChannel(), 3); // the front panel works without a cable
        QVERIFY(supply.open(9600));
        QVERIFY(!supply.open(9600));
    }

    void mangledRepliesComeInTurn()
    {
        VirtualClock clock;
        SimulatedSupply supply(clock);
        supply.open(9600);
        QSignalSpy spy(&supply, &LinkBackend::reply);
        supply.mangleNextReply(SimulatedSupply::Mangle::NoColon);
        supply.mangleNextReply(SimulatedSupply::Mangle::Partial);
        supply.queryIdentity();
        supply.querySelectedChannel();
        supply.queryOutputState();
        clock.advance(1000);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toString(),
                 QStringLiteral("37Voltaris Simulator,VLT3303,SIM00001,1.00\r\n"));
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("43"));
        QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("39:1\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedSupply)
#include "tst_simulatedsupply.moc"

#include "platform/clock.h"
#include "widgets/knob.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

// A voltage knob as on a channel tab, with the positions seen at each change and at each
// finished change (the latter being what the main window sends to the instrument).
struct KnobProbe
{
    explicit KnobProbe(double positionMax = 31.0)
    {
        knob.setPositionMax(positionMax);
        knob.setUnit(QStringLiteral("V"));
        knob.setClock(&clock);
        knob.resize(200, 200);
        QObject::connect(&knob, &Knob::OnPositionChange, &knob,
                         [this] { changes.append(knob.position()); });
        QObject::connect(&knob, &Knob::OnPositionChangeFinished, &knob,
                         [this] { finished.append(knob.position()); });
    }

    // A program change that is not part of what the test watches.
    void startAt(double position)
    {
        knob.setPosition(position);
        changes.clear();
        finished.clear();
    }

    void key(QEvent::Type type, int key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&knob, &event);
    }

    void wheel(int deltaY)
    {
        const QPointF at = QRectF(knob.rect()).center();
        QWheelEvent event(at, knob.mapToGlobal(at), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&knob, &event);
    }

    // The point at angleDegrees (mathematical: counter-clockwise from the right, y up) and the
    // given distance from the knob's centre.
    QPoint around(double angleDegrees, double radius) const
    {
        const double a = qDegreesToRadians(angleDegrees);
        const QPointF centre = QRectF(knob.rect()).center();
        return (centre + QPointF(radius * std::cos(a), -radius * std::sin(a))).toPoint();
    }

    VirtualClock clock;
    Knob knob;
    QList<double> changes;
    QList<double> finished;
};

// Degrees the pointer turns for a change of position on a 0..31 knob.
double degreesFor(double change)
{
    return change * 270.0 / 31.0;
}

} // namespace

class TestKnob : public QObject
{
    Q_OBJECT
private slots:
    void designSettings()
    {
        Knob knob;
        QCOMPARE(knob.positionMin(), 0.0);
        QCOMPARE(knob.positionMax(), 10.0);
        QCOMPARE(knob.keyArrowStepSize(), 0.1);
        QCOMPARE(knob.keyPageStepSize(), 1.0);
        QCOMPARE(knob.mouseWheelStepSize(), 0.1);
        QCOMPARE(knob.decimals(), 2);
        QCOMPARE(knob.focusPolicy(), Qt::StrongFocus);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("positionMax");
        QTest::addColumn<double>("expected");

        QTest::newRow("Left lowers by the arrow step") << int(Qt::Key_Left) << 5.0 << 31.0 << 4.9;
        QTest::newRow("Down lowers by the arrow step") << int(Qt::Key_Down) << 5.0 << 31.0 << 4.9;
        QTest::newRow("Right raises by the arrow step") << int(Qt::Key_Right) << 5.0 << 31.0 << 5.1;
        QTest::newRow("Up raises by the arrow step") << int(Qt::Key_Up) << 5.0 << 31.0 << 5.1;
        QTest::newRow("PageUp raises by the page step")
            << int(Qt::Key_PageUp) << 5.0 << 31.0 << 6.0;
        QTest::newRow("PageDown lowers by the page step")
            << int(Qt::Key_PageDown) << 5.0 << 31.0 << 4.0;
        QTest::newRow("Home goes to the minimum") << int(Qt::Key_Home) << 5.0 << 31.0 << 0.0;
        QTest::newRow("End on channel 3 goes to 6.0") << int(Qt::Key_End) << 0.0 << 6.0 << 6.0;
        QTest::newRow("PageDown stops at the minimum")
            << int(Qt::Key_PageDown) << 0.5 << 31.0 << 0.0;
        QTest::newRow("PageUp stops at the maximum") << int(Qt::Key_PageUp) << 5.5 << 6.0 << 6.0;
        QTest::newRow("Up at the maximum stays") << int(Qt::Key_Up) << 6.0 << 6.0 << 6.0;
        QTest::newRow("Home at the minimum stays") << int(Qt::Key_Home) << 0.0 << 31.0 << 0.0;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(double, start);
        QFETCH(double, positionMax);
        QFETCH(double, expected);
        KnobProbe probe(positionMax);
        probe.startAt(start);

        probe.key(QEvent::KeyPress, key);
        QVERIFY2(probe.knob.position() == expected,
                 qPrintable(QString::number(probe.knob.position(), 'g', 17)));
        QVERIFY(probe.finished.isEmpty());
        probe.key(QEvent::KeyRelease, key);

        const QList<double> moved = expected == start ? QList<double>() : QList<double>{expected};
        QCOMPARE(probe.changes, moved);
        QCOMPARE(probe.finished, moved);
    }

    void pageUpFiveTimesFinishesOncePerRelease()
    {
        KnobProbe probe;
        for (int i = 1; i <= 5; ++i) {
            QTest::keyPress(&probe.knob, Qt::Key_PageUp);
            QCOMPARE(probe.finished.size(), i - 1);
            QTest::keyRelease(&probe.knob, Qt::Key_PageUp);
            QCOMPARE(probe.finished.size(), i);
        }
        QCOMPARE(probe.finished, QList<double>({1.0, 2.0, 3.0, 4.0, 5.0}));
    }

    void autoRepeatStepsButOnlyTheRealReleaseFinishes()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        probe.key(QEvent::KeyPress, Qt::Key_Up);
        for (int i = 0; i < 3; ++i) {
            probe.key(QEvent::KeyRelease, Qt::Key_Up, true);
            probe.key(QEvent::KeyPress, Qt::Key_Up, true);
        }
        QCOMPARE(probe.changes, QList<double>({5.1, 5.2, 5.3, 5.4}));
        QVERIFY(probe.finished.isEmpty());
        probe.key(QEvent::KeyRelease, Qt::Key_Up);
        QCOMPARE(probe.finished, QList<double>({5.4}));
    }

    void repeatedStepsLandOnRoundValues()
    {
        KnobProbe probe;
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(&probe.knob, Qt::Key_Up);
        QVERIFY(probe.knob.position() == 1.0);
        probe.knob.setKeyArrowStepSize(0.01);
        for (int i = 0; i < 70; ++i)
            QTest::keyClick(&probe.knob, Qt::Key_Down);
        QVERIFY(probe.knob.position() == 0.3);
        QCOMPARE(probe.finished.size(), 80);
    }

    void dragFrom5To7_5FinishesOnceOnRelease()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::mousePress(&probe.knob, Qt::LeftButton, {}, probe.around(90.0, 80.0));
        // Clockwise raises; the last point lies far out, where a pixel is a fine step.
        const double turn = degreesFor(2.5);
        for (int i = 1; i <= 3; ++i)
            QTest::mouseMove(&probe.knob, probe.around(90.0 - turn * i / 4.0, 80.0));
        QTest::mouseMove(&probe.knob, probe.around(90.0 - turn, 2000.0));
        QCOMPARE(probe.changes.size(), 4);
        QVERIFY(std::is_sorted(probe.changes.cbegin(), probe.changes.cend()));
        QVERIFY(probe.finished.isEmpty());
        QVERIFY2(probe.knob.position() == 7.5, qPrintable(QString::number(probe.knob.position())));

        QTest::mouseRelease(&probe.knob, Qt::LeftButton, {}, probe.around(90.0 - turn, 2000.0));
        QCOMPARE(probe.finished, QList<double>({7.5}));
    }

    void dragStopsAtTheLimitAndTurnsBackAtOnce()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::mousePress(&probe.knob, Qt::LeftButton, {}, probe.around(90.0, 80.0));
        // A full clockwise turn in 10 degree moves: far past the maximum.
        for (int i = 1; i <= 36; ++i)
            QTest::mouseMove(&probe.knob, probe.around(90.0 - 10.0 * i, 80.0));
        QCOMPARE(probe.knob.position(), 31.0);
        QTest::mouseMove(&probe.knob, probe.around(90.0 - 350.0, 2000.0));
        QCOMPARE(probe.knob.position(), 29.85);
        QTest::mouseRelease(&probe.knob, Qt::LeftButton, {}, probe.around(100.0, 80.0));
        QCOMPARE(probe.finished, QList<double>({29.85}));
    }

    void dragBackToTheStartFinishesNothing()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::mousePress(&probe.knob, Qt::LeftButton, {}, probe.around(90.0, 80.0));
        QTest::mouseMove(&probe.knob, probe.around(60.0, 80.0));
        QTest::mouseMove(&probe.knob, probe.around(90.0, 80.0));
        QTest::mouseRelease(&probe.knob, Qt::LeftButton, {}, probe.around(90.0, 80.0));
        QCOMPARE(probe.changes.size(), 2);
        QCOMPARE(probe.knob.position(), 5.0);
        QVERIFY(probe.finished.isEmpty());
    }

    void otherButtonsDoNotTurn()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::mousePress(&probe.knob, Qt::RightButton, {}, probe.around(90.0, 80.0));
        QTest::mouseMove(&probe.knob, probe.around(30.0, 80.0));
        QTest::mouseRelease(&probe.knob, Qt::RightButton, {}, probe.around(30.0, 80.0));
        QVERIFY(probe.changes.isEmpty());
        QVERIFY(probe.finished.isEmpty());
    }

    void disablingMidDragFinishesTheMove()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::mousePress(&probe.knob, Qt::LeftButton, {}, probe.around(90.0, 80.0));
        QTest::mouseMove(&probe.knob, probe.around(90.0 - degreesFor(1.0), 2000.0));
        probe.knob.setEnabled(false);
        QCOMPARE(probe.finished, QList<double>({6.0}));
    }

    void wheelNotchesWithin30MsMoveOneStep()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        probe.wheel(120);
        QCOMPARE(probe.finished, QList<double>({5.1}));
        probe.clock.advance(10);
        probe.wheel(120);
        QCOMPARE(probe.knob.position(), 5.1);
        // 30 ms after the last step that was taken, not after the dropped notch.
        probe.clock.advance(20);
        probe.wheel(120);
        QCOMPARE(probe.finished, QList<double>({5.1, 5.2}));
        // Two notches in one event are also within 30 ms of each other.
        probe.clock.advance(30);
        probe.wheel(240);
        QCOMPARE(probe.finished, QList<double>({5.1, 5.2, 5.3}));
        probe.clock.advance(30);
        probe.wheel(-120);
        QCOMPARE(probe.finished, QList<double>({5.1, 5.2, 5.3, 5.2}));
        QCOMPARE(probe.changes, probe.finished);
    }

    void highResolutionWheelStepsPerFullNotch()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        for (int i = 0; i < 5; ++i) {
            probe.wheel(40);
            probe.clock.advance(30);
        }
        QCOMPARE(probe.finished, QList<double>({5.1}));
        // Turning back starts counting afresh: the 80 left over upwards do not swallow the
        // 120 downwards.
        probe.wheel(-40);
        probe.wheel(-80);
        QCOMPARE(probe.finished, QList<double>({5.1, 5.0}));
    }

    void wheelAtTheLimitFinishesNothing()
    {
        KnobProbe probe(6.0);
        probe.startAt(6.0);
        probe.wheel(120);
        QVERIFY(probe.changes.isEmpty());
        QVERIFY(probe.finished.isEmpty());
    }

    void programChangeRaisesNoFinished()
    {
        KnobProbe probe;
        probe.knob.setPosition(12.5);
        probe.knob.setPosition(12.5);
        QCOMPARE(probe.changes, QList<double>({12.5}));
        probe.knob.setPosition(40.0);
        probe.knob.setPosition(-1.0);
        QCOMPARE(probe.changes, QList<double>({12.5, 31.0, 0.0}));
        QVERIFY(probe.finished.isEmpty());
    }

    void limitsClampThePosition()
    {
        KnobProbe probe;
        probe.startAt(10.0);
        probe.knob.setPositionMax(6.0);
        QCOMPARE(probe.knob.position(), 6.0);
        probe.knob.setPositionMax(31.0);
        QCOMPARE(probe.knob.position(), 6.0);
        probe.knob.setPositionMin(8.0);
        QCOMPARE(probe.knob.position(), 8.0);
        probe.knob.setPositionMin(40.0);
        QCOMPARE(probe.knob.positionMax(), 40.0);
        QCOMPARE(probe.changes, QList<double>({6.0, 8.0, 40.0}));
        QVERIFY(probe.finished.isEmpty());
        QTest::keyClick(&probe.knob, Qt::Key_Down);
        QCOMPARE(probe.knob.position(), 40.0);
    }

    void operatorChangeIsJudgedAgainstTheLastProgramChange()
    {
        KnobProbe probe;
        probe.startAt(5.0);
        QTest::keyClick(&probe.knob, Qt::Key_PageUp);
        // The instrument reports back a different set-point; the operator's next PageUp comes
        // back to 6.0, which differs from what the instrument now holds, so it is sent.
        probe.knob.setPosition(5.0);
        QTest::keyClick(&probe.knob, Qt::Key_PageUp);
        QCOMPARE(probe.finished, QList<double>({6.0, 6.0}));
        // A program change to where the knob stands leaves nothing to send either.
        probe.knob.setPosition(7.0);
        QTest::keyClick(&probe.knob, Qt::Key_End);
        probe.knob.setPosition(31.0);
        QTest::keyClick(&probe.knob, Qt::Key_End);
        QCOMPARE(probe.finished, QList<double>({6.0, 6.0, 31.0}));
    }

    void clickGivesKeyboardFocus()
    {
        Knob knob;
        knob.resize(120, 120);
        knob.show();
        QVERIFY(QTest::qWaitForWindowActive(&knob));
        knob.clearFocus();
        QVERIFY(!knob.hasFocus());
        QTest::mouseClick(&knob, Qt::LeftButton, {}, QPoint(60, 30));
        QVERIFY(knob.hasFocus());
    }

    void paintsAtAnySize()
    {
        KnobProbe probe;
        probe.startAt(12.5);
        QVERIFY(!probe.knob.grab().isNull());
        probe.knob.resize(3, 3);
        probe.knob.grab();
    }
};

QTEST_MAIN(TestKnob)
#include "tst_knob.moc"

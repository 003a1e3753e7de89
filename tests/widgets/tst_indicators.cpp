#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using Release = QPair<Qt::MouseButton, bool>;

class TestIndicators : public QObject
{
    Q_OBJECT
private slots:
    void displayText_data()
    {
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("five digits") << 6 << 3 << 12.345 << "12.345";
        QTest::newRow("zero") << 6 << 3 << 0.0 << "0.000";
        QTest::newRow("rounded to the decimals") << 6 << 3 << 1.23456 << "1.235";
        QTest::newRow("whole number") << 6 << 3 << 40.0 << "40.000";
        QTest::newRow("all six digits") << 6 << 3 << 999.999 << "999.999";
        QTest::newRow("rounding up past the digits") << 6 << 3 << 999.9996 << "999.999";
        QTest::newRow("too large") << 6 << 3 << 1234.5 << "999.999";
        QTest::newRow("infinite") << 6 << 3 << std::numeric_limits<double>::infinity() << "999.999";
        QTest::newRow("negative") << 6 << 3 << -1.5 << "-1.500";
        QTest::newRow("minus takes a digit") << 6 << 3 << -99.999 << "-99.999";
        QTest::newRow("too negative") << 6 << 3 << -100.0 << "-99.999";
        QTest::newRow("negative rounding to zero") << 6 << 3 << -0.0004 << "0.000";
        QTest::newRow("no decimals") << 4 << 0 << 12.7 << "13";
        QTest::newRow("no decimals, too large") << 4 << 0 << 12345.0 << "9999";
        QTest::newRow("decimals held below the digits") << 3 << 5 << 0.123 << "0.12";
    }

    void displayText()
    {
        QFETCH(int, digits);
        QFETCH(int, decimals);
        QFETCH(double, value);
        QFETCH(QString, text);
        SevenSegmentDisplay display;
        display.setDigits(digits);
        display.setDecimals(decimals);
        display.setValue(value);
        QCOMPARE(display.text(), text);
    }

    void displayKeepsTheValueAsSet()
    {
        SevenSegmentDisplay display;
        QCOMPARE(display.digits(), 6);
        QCOMPARE(display.decimals(), 3);
        QSignalSpy changed(&display, &SevenSegmentDisplay::valueChanged);
        display.setValue(40.0004);
        display.setValue(40.0004);
        // The knob takes the display's value, so it must not be the rounded one.
        QVERIFY(display.value() == 40.0004);
        QCOMPARE(display.text(), QStringLiteral("40.000"));
        display.setValue(std::nan(""));
        QVERIFY(display.value() == 40.0004);
        QCOMPARE(changed.count(), 1);
    }

    void ledToggles()
    {
        LedRectangle led;
        QVERIFY(!led.isActive());
        led.toggle();
        QVERIFY(led.isActive());
        led.toggle();
        QVERIFY(!led.isActive());
        led.setActive(true);
        QVERIFY(led.isActive());
    }

    void switchButtons_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("startOn");
        QTest::addColumn<bool>("endOn");

        QTest::newRow("left turns on") << Qt::LeftButton << false << true;
        QTest::newRow("left turns off") << Qt::LeftButton << true << false;
        QTest::newRow("right keeps off") << Qt::RightButton << false << false;
        QTest::newRow("right keeps on") << Qt::RightButton << true << true;
        QTest::newRow("middle keeps off") << Qt::MiddleButton << false << false;
    }

    void switchButtons()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, startOn);
        QFETCH(bool, endOn);
        SwitchToggle toggle;
        toggle.resize(toggle.sizeHint());
        toggle.setOn(startOn);
        // The state is read inside the handler, as the main window does to send it.
        QList<Release> releases;
        connect(&toggle, &SwitchToggle::released, this, [&](Qt::MouseButton b) {
            releases.append({b, toggle.isOn()});
        });

        QTest::mouseClick(&toggle, button, {}, QPoint(10, 10));
        QCOMPARE(toggle.isOn(), endOn);
        QCOMPARE(releases, QList<Release>({{button, endOn}}));
    }

    void switchIgnoresAReleaseOutside()
    {
        SwitchToggle toggle;
        toggle.resize(toggle.sizeHint());
        QSignalSpy released(&toggle, &SwitchToggle::released);
        QTest::mousePress(&toggle, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&toggle, Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(!toggle.isOn());
        QCOMPARE(released.count(), 0);
    }

    void switchProgramChangeEmitsNothing()
    {
        SwitchToggle toggle;
        QSignalSpy released(&toggle, &SwitchToggle::released);
        toggle.setOn(true);
        QVERIFY(toggle.isOn());
        toggle.setOn(false);
        QVERIFY(!toggle.isOn());
        QCOMPARE(released.count(), 0);
    }

    void switchKeysActAsALeftClick()
    {
        SwitchToggle toggle;
        QCOMPARE(toggle.focusPolicy(), Qt::StrongFocus);
        QList<Release> releases;
        connect(&toggle, &SwitchToggle::released, this, [&](Qt::MouseButton b) {
            releases.append({b, toggle.isOn()});
        });
        QTest::keyClick(&toggle, Qt::Key_Space);
        QTest::keyClick(&toggle, Qt::Key_Return);
        QTest::keyClick(&toggle, Qt::Key_A);
        QCOMPARE(releases, QList<Release>({{Qt::LeftButton, true}, {Qt::LeftButton, false}}));
    }

    void paintAtAnySize()
    {
        SevenSegmentDisplay display;
        display.setValue(-12.345);
        LedRectangle led;
        led.setActive(true);
        SwitchToggle upright;
        SwitchToggle lying;
        lying.resize(60, 24);
        for (QWidget* widget : {static_cast<QWidget*>(&display), static_cast<QWidget*>(&led),
                                static_cast<QWidget*>(&upright)}) {
            widget->resize(widget->sizeHint());
            QVERIFY(!widget->grab().isNull());
            widget->resize(2, 2);
            widget->grab();
        }
        QVERIFY(!lying.grab().isNull());
    }
};

QTEST_MAIN(TestIndicators)
#include "tst_indicators.moc"

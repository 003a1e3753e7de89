#include "charts/liveplot.h"
#include "platform/clock.h"
#include "sequencing/dlgfastkey.h"
#include "sequencing/dlgscanvoltage.h"
#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestDialogs : public QObject
{
    Q_OBJECT
private:
    TLoadSource m_texts;

private slots:
    void initTestCase() { m_texts.LoadBuiltInEnglish(); }

    void fastKeyCaptionAndPair_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("amps");

        QTest::newRow("never edited") << "0" << 4 << "0.0000/0.0000" << 0.0 << 0.0;
        QTest::newRow("edited pair") << "12.0000/1.5000" << 4 << "12.0000/1.5000" << 12.0 << 1.5;
        QTest::newRow("shown at the precision") << "12/1.5" << 2 << "12.00/1.50" << 12.0 << 1.5;
        QTest::newRow("comma decimals") << "3,25/0,5" << 2 << "3.25/0.50" << 3.25 << 0.5;
        QTest::newRow("only the first slash splits") << "1/2/3" << 1 << "1.0/0.0" << 1.0 << 0.0;
        QTest::newRow("no voltage text") << "/2" << 0 << "0/2" << 0.0 << 2.0;
        QTest::newRow("no number") << "abc/2" << 0 << "0/2" << 0.0 << 2.0;
        QTest::newRow("above the limits") << "50/5" << 1 << "32.0/3.1" << 32.0 << 3.1;
    }

    void fastKeyCaptionAndPair()
    {
        QFETCH(QString, caption);
        QFETCH(int, precision);
        QFETCH(QString, shown);
        QFETCH(double, volts);
        QFETCH(double, amps);

        TFormFastKey dialog(m_texts);
        dialog.setPrecision(precision);
        dialog.setLimits(32, 3.1);
        // Values of an earlier edit must not show through.
        dialog.loadCaption("9/9");
        dialog.loadCaption(caption);
        QCOMPARE(dialog.caption(), shown);
        QCOMPARE(dialog.pair().Voltage, volts);
        QCOMPARE(dialog.pair().Current, amps);
    }

    void fastKeyStartsAtFourDecimalsWithItsTexts()
    {
        TFormFastKey dialog(m_texts);
        QCOMPARE(dialog.windowTitle(), m_texts.GetText(28));
        QCOMPARE(dialog.StaticText7->text(), m_texts.GetText(7));
        QCOMPARE(dialog.StaticText1->text(), m_texts.GetText(8));
        QCOMPARE(dialog.tbOk->text(), m_texts.GetText(71));
        QCOMPARE(dialog.iAnalogOutput1->unit(), QStringLiteral("V"));
        QCOMPARE(dialog.iAnalogOutput2->unit(), QStringLiteral("A"));
        QCOMPARE(dialog.iAnalogOutput1->precision(), 4);
        QCOMPARE(dialog.iAnalogOutput2->precision(), 4);
        QVERIFY(dialog.tbOk->isDefault());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    }

    void typedPairIsTakenByEnter()
    {
        TFormFastKey dialog(m_texts);
        dialog.loadCaption("0");
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* voltage = dialog.iAnalogOutput1->findChild<QLineEdit*>();
        auto* current = dialog.iAnalogOutput2->findChild<QLineEdit*>();
        QVERIFY(voltage && current);
        voltage->selectAll();
        QTest::keyClicks(voltage, "12");
        current->setFocus();
        current->selectAll();
        QTest::keyClicks(current, "1,5");
        QTest::keyClick(current, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.caption(), QStringLiteral("12.0000/1.5000"));
        QCOMPARE(dialog.pair().Voltage, 12.0);
        QCOMPARE(dialog.pair().Current, 1.5);
    }

    void scanPlotWindow()
    {
        VirtualClock clock;
        TFormScanVoltage window(clock, m_texts);
        QCOMPARE(window.windowTitle(), m_texts.GetText(41));
        QCOMPARE(window.autoScaleAction->toolTip(), m_texts.GetText(96));
        QCOMPARE(window.cancelButton->text(), m_texts.GetText(72));
        QVERIFY(!window.isModal());

        window.setYSpan(33);
        QCOMPARE(window.iPlotScanVoltage->yRange().size(), 33.0);
        window.addVoltages(1, 2, 3);
        clock.advance(2000);
        window.addVoltages(4, 5, 6);
        for (int channel = 0; channel < 3; ++channel)
            QCOMPARE(window.iPlotScanVoltage->pointCount(channel), 2);
        QCOMPARE(window.iPlotScanVoltage->point(2, 1), QPointF(2.0, 6.0));
        window.autoScaleAction->trigger();
        QCOMPARE(window.iPlotScanVoltage->yRange().lower, 1.0);
        QCOMPARE(window.iPlotScanVoltage->yRange().upper, 6.0);

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.cancelButton, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

#include "widgets/analogoutput.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class TestAnalogOutput : public QObject
{
    Q_OBJECT
private slots:
    void typedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");

        QTest::newRow("point") << "12.5" << 12.5 << "12.50";
        QTest::newRow("comma") << "12,5" << 12.5 << "12.50";
        QTest::newRow("whole") << "7" << 7.0 << "7.00";
        QTest::newRow("trailing separator") << "7," << 7.0 << "7.00";
        QTest::newRow("fraction only") << ",25" << 0.25 << "0.25";
        QTest::newRow("negative") << "-3,25" << -3.25 << "-3.25";
        QTest::newRow("taken at the shown decimals") << "1.236" << 1.24 << "1.24";
        QTest::newRow("above the maximum") << "40" << 31.0 << "31.00";
        QTest::newRow("letters are refused") << "1a2" << 12.0 << "12.00";
        QTest::newRow("a lone sign keeps the value") << "-" << 5.0 << "5.00";
        QTest::newRow("nothing keeps the value") << "" << 5.0 << "5.00";
        QTest::newRow("a lone separator keeps the value") << "." << 5.0 << "5.00";
    }

    void typedText()
    {
        QFETCH(QString, typed);
        QFETCH(double, value);
        QFETCH(QString, shown);
        AnalogOutput entry;
        entry.setMaximum(31.0);
        entry.setValue(5.0);
        QSignalSpy changed(&entry, &AnalogOutput::valueChanged);
        auto* edit = entry.findChild<QLineEdit*>();
        QVERIFY(edit);

        edit->clear();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY2(entry.value() == value, qPrintable(QString::number(entry.value(), 'g', 17)));
        QCOMPARE(entry.text(), shown);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(changed.count(), value == 5.0 ? 0 : 1);
    }

    void programValueIsHeldExactly()
    {
        AnalogOutput entry;
        QCOMPARE(entry.precision(), 2);
        QSignalSpy changed(&entry, &AnalogOutput::valueChanged);
        // A knob step read from the configuration file and shown with 2 decimals must be
        // written back unchanged when the dialog is confirmed unedited.
        entry.setValue(0.005);
        QVERIFY(entry.value() == 0.005);
        QCOMPARE(entry.text(), QStringLiteral("0.01"));
        entry.setPrecision(4);
        QCOMPARE(entry.text(), QStringLiteral("0.0050"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toDouble(), 0.005);
    }

    void setTextTakesItAsTyped()
    {
        AnalogOutput entry;
        entry.setPrecision(4);
        QVERIFY(entry.setText(QStringLiteral("12")));
        QCOMPARE(entry.value(), 12.0);
        QCOMPARE(entry.text(), QStringLiteral("12.0000"));
        QVERIFY(entry.setText(QStringLiteral(" 1,5 ")));
        QCOMPARE(entry.value(), 1.5);
        QVERIFY(!entry.setText(QStringLiteral("1.5 V")));
        QVERIFY(!entry.setText(QStringLiteral("1e3")));
        QCOMPARE(entry.value(), 1.5);
    }

    void limitsBoundTheValue()
    {
        AnalogOutput entry;
        entry.setValue(-2e9);
        QCOMPARE(entry.value(), -1e9);
        entry.setValue(20.0);
        QSignalSpy changed(&entry, &AnalogOutput::valueChanged);
        entry.setMaximum(6.0);
        QCOMPARE(entry.value(), 6.0);
        entry.setMinimum(8.0);
        QCOMPARE(entry.maximum(), 8.0);
        QCOMPARE(entry.value(), 8.0);
        QCOMPARE(changed.count(), 2);
    }

    void unitIsShownAsASuffix()
    {
        AnalogOutput entry;
        auto* label = entry.findChild<QLabel*>();
        QVERIFY(label);
        QVERIFY(label->isHidden());
        entry.setUnit(QStringLiteral("V"));
        QCOMPARE(label->text(), QStringLiteral("V"));
        QVERIFY(!label->isHidden());
    }
};

QTEST_MAIN(TestAnalogOutput)
#include "tst_analogoutput.moc"

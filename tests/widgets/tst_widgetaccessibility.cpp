#include "widgets/analogoutput.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

// What the widgets told assistive technology, in order.
struct Notice
{
    QObject* object;
    QAccessible::Event type;
    QVariant value; // the new value of a value change
    bool checkedChanged;
};
QList<Notice> g_notices;

void recordNotice(QAccessibleEvent* event)
{
    Notice notice{event->object(), event->type(), {}, false};
    if (event->type() == QAccessible::ValueChanged)
        notice.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    if (event->type() == QAccessible::StateChanged)
        notice.checkedChanged =
            static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked;
    g_notices.append(notice);
}

} // namespace

class TestWidgetAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(&recordNotice);
        QAccessible::setActive(true);
    }

    void init() { g_notices.clear(); }

    // Qt hands change notices on only while an assistive tool is attached, which the offscreen
    // platform never reports; where one is, this checks what reaches it.
    void changesAreAnnounced()
    {
        if (!QAccessible::isActive())
            QSKIP("no assistive technology is active on this platform");
        Knob knob;
        SevenSegmentDisplay display;
        LedRectangle led;
        SwitchToggle toggle;
        knob.setPosition(7.5);
        display.setValue(12.345);
        // A change hidden by the rounding is no change to the reader.
        display.setValue(12.3451);
        led.toggle();
        toggle.setOn(true);
        QCOMPARE(g_notices.size(), 4);
        QCOMPARE(g_notices[0].object, &knob);
        QCOMPARE(g_notices[0].type, QAccessible::ValueChanged);
        QCOMPARE(g_notices[0].value.toDouble(), 7.5);
        QCOMPARE(g_notices[1].object, &display);
        QCOMPARE(g_notices[1].value.toString(), QStringLiteral("12.345"));
        QCOMPARE(g_notices[2].object, &led);
        QCOMPARE(g_notices[2].type, QAccessible::StateChanged);
        QVERIFY(g_notices[2].checkedChanged);
        QCOMPARE(g_notices[3].object, &toggle);
        QVERIFY(g_notices[3].checkedChanged);
    }

    void nameComesFromAccessibleNameElseObjectName()
    {
        Knob knob;
        knob.setObjectName(QStringLiteral("iKnobVoltage_2"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&knob);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("iKnobVoltage_2"));
        knob.setAccessibleName(QStringLiteral("Channel 2 voltage"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Channel 2 voltage"));
    }

    void knobIsADialWithItsValue()
    {
        Knob knob;
        knob.setPositionMax(31.0);
        knob.setKeyArrowStepSize(0.05);
        knob.setUnit(QStringLiteral("V"));
        knob.setPosition(12.5);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&knob);
        QCOMPARE(iface->role(), QAccessible::Dial);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("12.50 V"));
        QAccessibleValueInterface* value = iface->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toDouble(), 12.5);
        QCOMPARE(value->minimumValue().toDouble(), 0.0);
        QCOMPARE(value->maximumValue().toDouble(), 31.0);
        QCOMPARE(value->minimumStepSize().toDouble(), 0.05);
    }

    void knobValueSetByAssistiveToolIsAnOperatorChange()
    {
        Knob knob;
        QSignalSpy finished(&knob, &Knob::OnPositionChangeFinished);
        QAccessible::queryAccessibleInterface(&knob)->valueInterface()->setCurrentValue(7.5);
        QCOMPARE(knob.position(), 7.5);
        QCOMPARE(finished.count(), 1);
    }

    void displayShowsItsText()
    {
        SevenSegmentDisplay display;
        display.setValue(12.345);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&display);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("12.345"));
    }

    void ledIsACheckedIndicator()
    {
        LedRectangle led;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&led);
        QCOMPARE(iface->role(), QAccessible::Indicator);
        QVERIFY(!iface->state().checked);
        led.toggle();
        QVERIFY(iface->state().checked);
    }

    void switchIsACheckBoxThatToggles()
    {
        SwitchToggle toggle;
        QList<Qt::MouseButton> released;
        connect(&toggle, &SwitchToggle::released, this,
                [&](Qt::MouseButton b) { released.append(b); });
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&toggle);
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QVERIFY(iface->state().checkable);
        QVERIFY(!iface->state().checked);
        toggle.setOn(true);
        QVERIFY(iface->state().checked);

        QAccessibleActionInterface* actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!toggle.isOn());
        QCOMPARE(released, QList<Qt::MouseButton>({Qt::LeftButton}));
    }

    void entryIsASpinBoxWithItsValue()
    {
        AnalogOutput entry;
        entry.setUnit(QStringLiteral("A"));
        entry.setMaximum(3.1);
        entry.setValue(1.5);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&entry);
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("1.50 A"));
        QCOMPARE(iface->valueInterface()->currentValue().toDouble(), 1.5);
        QCOMPARE(iface->valueInterface()->maximumValue().toDouble(), 3.1);
    }
};

QTEST_MAIN(TestWidgetAccessibility)
#include "tst_widgetaccessibility.moc"

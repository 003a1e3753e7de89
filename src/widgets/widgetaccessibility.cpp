#include "widgetaccessibility.h"

#include "widgets/analogoutput.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <cmath>

namespace {

// The name an assistive tool reads out: the one given for it, else the component's name.
QString accessibleNameOf(const QWidget* widget)
{
    const QString name = widget->accessibleName();
    return name.isEmpty() ? widget->objectName() : name;
}

} // namespace

class KnobAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit KnobAccessible(Knob* knob) : QAccessibleWidget(knob, QAccessible::Dial) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return accessibleNameOf(knob());
        case QAccessible::Value:
            return knob()->positionText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return knob()->position(); }
    // A value set by an assistive tool is the operator's own change: it is sent on like one.
    void setCurrentValue(const QVariant& value) override
    {
        knob()->moveTo(value.toDouble());
        knob()->finishAction();
    }
    QVariant maximumValue() const override { return knob()->positionMax(); }
    QVariant minimumValue() const override { return knob()->positionMin(); }
    QVariant minimumStepSize() const override { return knob()->keyArrowStepSize(); }

private:
    Knob* knob() const { return static_cast<Knob*>(widget()); }
};

class SevenSegmentDisplayAccessible : public QAccessibleWidget
{
public:
    explicit SevenSegmentDisplayAccessible(SevenSegmentDisplay* display)
        : QAccessibleWidget(display, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const auto* display = static_cast<const SevenSegmentDisplay*>(widget());
        switch (t) {
        case QAccessible::Name:
            return accessibleNameOf(display);
        case QAccessible::Value:
            return display->text();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

class LedRectangleAccessible : public QAccessibleWidget
{
public:
    explicit LedRectangleAccessible(LedRectangle* led)
        : QAccessibleWidget(led, QAccessible::Indicator)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return accessibleNameOf(widget());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checked = static_cast<const LedRectangle*>(widget())->isActive();
        return s;
    }
};

class SwitchToggleAccessible : public QAccessibleWidget
{
public:
    explicit SwitchToggleAccessible(SwitchToggle* toggle)
        : QAccessibleWidget(toggle, QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return accessibleNameOf(widget());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = toggle()->isOn();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList(toggleAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == toggleAction() && widget()->isEnabled())
            toggle()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    SwitchToggle* toggle() const { return static_cast<SwitchToggle*>(widget()); }
};

class AnalogOutputAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AnalogOutputAccessible(AnalogOutput* entry)
        : QAccessibleWidget(entry, QAccessible::SpinBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return accessibleNameOf(entry());
        case QAccessible::Value:
            return entry()->unit().isEmpty() ? entry()->text()
                                             : entry()->text() + QLatin1Char(' ') + entry()->unit();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return entry()->value(); }
    void setCurrentValue(const QVariant& value) override { entry()->setValue(value.toDouble()); }
    QVariant maximumValue() const override { return entry()->maximum(); }
    QVariant minimumValue() const override { return entry()->minimum(); }
    QVariant minimumStepSize() const override { return std::pow(10.0, -entry()->precision()); }

private:
    AnalogOutput* entry() const { return static_cast<AnalogOutput*>(widget()); }
};

namespace {

QAccessibleInterface* createWidgetAccessible(const QString&, QObject* object)
{
    if (auto* knob = qobject_cast<Knob*>(object))
        return new KnobAccessible(knob);
    if (auto* display = qobject_cast<SevenSegmentDisplay*>(object))
        return new SevenSegmentDisplayAccessible(display);
    if (auto* led = qobject_cast<LedRectangle*>(object))
        return new LedRectangleAccessible(led);
    if (auto* toggle = qobject_cast<SwitchToggle*>(object))
        return new SwitchToggleAccessible(toggle);
    if (auto* entry = qobject_cast<AnalogOutput*>(object))
        return new AnalogOutputAccessible(entry);
    return nullptr;
}

} // namespace

void installWidgetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createWidgetAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

#include "ledrectangle.h"

#include "widgets/widgetaccessibility.h"

#include <QAccessible>
#include <QLinearGradient>
#include <QPainter>

LedRectangle::LedRectangle(QWidget* parent) : QWidget(parent)
{
    installWidgetAccessibility();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LedRectangle::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent accessibleEvent(this, changed);
    QAccessible::updateAccessibility(&accessibleEvent);
}

void LedRectangle::setColor(const QColor& color)
{
    m_color = color;
    update();
}

QSize LedRectangle::sizeHint() const
{
    return {28, 16};
}

QSize LedRectangle::minimumSizeHint() const
{
    return {6, 4};
}

void LedRectangle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor base = m_active ? m_color : m_color.darker(400);
    // Lit from above: lighter at the top edge, the glass darker towards the bottom.
    QLinearGradient glass(frame.topLeft(), frame.bottomLeft());
    glass.setColorAt(0.0, base.lighter(m_active ? 160 : 130));
    glass.setColorAt(0.45, base);
    glass.setColorAt(1.0, base.darker(m_active ? 130 : 110));
    painter.setPen(QPen(palette().color(QPalette::Shadow), 1.0));
    painter.setBrush(glass);
    painter.drawRoundedRect(frame, 2.0, 2.0);
}

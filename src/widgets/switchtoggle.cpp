#include "switchtoggle.h"

#include "widgets/widgetaccessibility.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

SwitchToggle::SwitchToggle(QWidget* parent) : QWidget(parent)
{
    installWidgetAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SwitchToggle::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent accessibleEvent(this, changed);
    QAccessible::updateAccessibility(&accessibleEvent);
}

void SwitchToggle::click()
{
    setOn(!m_on);
    emit released(Qt::LeftButton);
}

QSize SwitchToggle::sizeHint() const
{
    return {34, 56};
}

QSize SwitchToggle::minimumSizeHint() const
{
    return {14, 14};
}

void SwitchToggle::mousePressEvent(QMouseEvent* event)
{
    // Taking the press keeps the release here, where it is judged.
    event->accept();
}

void SwitchToggle::mouseReleaseEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton)
        setOn(!m_on);
    emit released(event->button());
    event->accept();
}

void SwitchToggle::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SwitchToggle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    // Upright when taller than wide (on = lever up), lying when wider (on = lever right).
    const bool upright = height() >= width();
    const QRectF track = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const double radius = std::min(track.width(), track.height()) * 0.25;
    if (track.width() < 4.0 || track.height() < 4.0)
        return;

    painter.setPen(QPen(hasFocus() ? pal.color(QPalette::Highlight) : pal.color(QPalette::Shadow),
                        hasFocus() ? 1.5 : 1.0));
    painter.setBrush(m_on ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid));
    painter.drawRoundedRect(track, radius, radius);

    const double inset = std::max(2.0, std::min(track.width(), track.height()) * 0.1);
    QRectF lever = track.adjusted(inset, inset, -inset, -inset);
    if (upright) {
        const double half = lever.height() / 2.0;
        lever.setHeight(half);
        if (!m_on)
            lever.translate(0.0, half);
    } else {
        const double half = lever.width() / 2.0;
        lever.setWidth(half);
        if (m_on)
            lever.translate(half, 0.0);
    }
    const QColor button = pal.color(QPalette::Button);
    QLinearGradient shade(lever.topLeft(), upright ? lever.bottomLeft() : lever.topRight());
    shade.setColorAt(0.0, button.lighter(120));
    shade.setColorAt(1.0, button.darker(125));
    painter.setPen(QPen(pal.color(QPalette::Shadow), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(lever, radius * 0.7, radius * 0.7);

    // Grip lines across the lever.
    painter.setPen(QPen(button.darker(150), 1.0));
    const QPointF c = lever.center();
    for (int i = -1; i <= 1; ++i) {
        if (upright) {
            const double y = c.y() + i * lever.height() * 0.16;
            painter.drawLine(QPointF(lever.left() + inset, y), QPointF(lever.right() - inset, y));
        } else {
            const double x = c.x() + i * lever.width() * 0.16;
            painter.drawLine(QPointF(x, lever.top() + inset), QPointF(x, lever.bottom() - inset));
        }
    }
}

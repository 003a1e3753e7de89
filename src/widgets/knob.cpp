#include "knob.h"

#include "platform/clock.h"
#include "widgets/widgetaccessibility.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// The knob turns through 270 degrees, from the lower left (minimum) clockwise to the lower
// right (maximum); angles here are mathematical (counter-clockwise, y up).
constexpr double kSweepDegrees = 270.0;
constexpr double kMinimumAngleDegrees = 225.0;
constexpr int kWheelNotch = 120;
constexpr qint64 kWheelStepPeriodMs = 30;
// Steps are rounded to this many decimals so that repeated 0.1 steps land on 1.0 and not on
// 0.9999999999999999, which would then be sent to the instrument as such.
constexpr int kStepDecimals = 9;
// Pointer positions this close to the centre give no usable angle.
constexpr double kDeadRadius = 3.0;

double roundToDecimals(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

bool isKnobKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

QPointF onCircle(QPointF centre, double radius, double angleDegrees)
{
    const double a = qDegreesToRadians(angleDegrees);
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

} // namespace

Knob::Knob(QWidget* parent) : QWidget(parent), m_clock(&Clock::system())
{
    installWidgetAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void Knob::setPosition(double position)
{
    if (std::isnan(position))
        return;
    m_finishedPosition = std::clamp(position, m_positionMin, m_positionMax);
    moveTo(position);
    m_dragPosition = m_position;
}

void Knob::setPositionMin(double positionMin)
{
    if (std::isnan(positionMin))
        return;
    m_positionMin = positionMin;
    m_positionMax = std::max(m_positionMax, positionMin);
    if (m_position < m_positionMin)
        setPosition(m_position);
    update();
}

void Knob::setPositionMax(double positionMax)
{
    if (std::isnan(positionMax))
        return;
    m_positionMax = positionMax;
    m_positionMin = std::min(m_positionMin, positionMax);
    if (m_position > m_positionMax)
        setPosition(m_position);
    update();
}

void Knob::setUnit(const QString& unit)
{
    m_unit = unit;
    update();
}

void Knob::setDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, kStepDecimals);
    update();
}

QString Knob::positionText() const
{
    const QString number = QString::number(m_position, 'f', m_decimals);
    return m_unit.isEmpty() ? number : number + QLatin1Char(' ') + m_unit;
}

void Knob::setClock(Clock* clock)
{
    m_clock = clock ? clock : &Clock::system();
}

QSize Knob::sizeHint() const
{
    return {120, 120};
}

QSize Knob::minimumSizeHint() const
{
    return {48, 48};
}

bool Knob::moveTo(double position)
{
    if (std::isnan(position))
        return false;
    position = std::clamp(position, m_positionMin, m_positionMax);
    if (position == m_position)
        return false;
    m_position = position;
    update();
    QAccessibleValueChangeEvent accessibleEvent(this, m_position);
    QAccessible::updateAccessibility(&accessibleEvent);
    emit OnPositionChange();
    return true;
}

void Knob::finishAction()
{
    if (m_position == m_finishedPosition)
        return;
    m_finishedPosition = m_position;
    emit OnPositionChangeFinished();
}

void Knob::endHeldActions()
{
    const bool pending = m_keyHeld || m_dragging;
    m_keyHeld = false;
    m_dragging = false;
    if (pending)
        finishAction();
}

void Knob::keyPressEvent(QKeyEvent* event)
{
    double target = m_position;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        target = roundToDecimals(m_position - m_keyArrowStepSize, kStepDecimals);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        target = roundToDecimals(m_position + m_keyArrowStepSize, kStepDecimals);
        break;
    case Qt::Key_PageUp:
        target = roundToDecimals(m_position + m_keyPageStepSize, kStepDecimals);
        break;
    case Qt::Key_PageDown:
        target = roundToDecimals(m_position - m_keyPageStepSize, kStepDecimals);
        break;
    case Qt::Key_Home:
        target = m_positionMin;
        break;
    case Qt::Key_End:
        target = m_positionMax;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // Auto-repeated presses step too; only the real release ends the action.
    m_keyHeld = true;
    moveTo(target);
    event->accept();
}

void Knob::keyReleaseEvent(QKeyEvent* event)
{
    if (!isKnobKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        m_keyHeld = false;
        finishAction();
    }
    event->accept();
}

void Knob::wheelEvent(QWheelEvent* event)
{
    int delta = event->angleDelta().y();
    if (event->inverted())
        delta = -delta;
    if (delta == 0) {
        event->ignore();
        return;
    }
    // High-resolution wheels send fractions of a notch; a turn back starts counting afresh.
    if ((delta > 0) != (m_wheelRemainder > 0))
        m_wheelRemainder = 0;
    m_wheelRemainder += delta;
    while (std::abs(m_wheelRemainder) >= kWheelNotch) {
        const int direction = m_wheelRemainder > 0 ? 1 : -1;
        m_wheelRemainder -= direction * kWheelNotch;
        const qint64 nowMs = m_clock->elapsedMs();
        if (m_wheelStepped && nowMs - m_lastWheelStepMs < kWheelStepPeriodMs)
            continue;
        m_wheelStepped = true;
        m_lastWheelStepMs = nowMs;
        moveTo(roundToDecimals(m_position + direction * m_mouseWheelStepSize, kStepDecimals));
        finishAction();
    }
    event->accept();
}

double Knob::pointerAngleDegrees(QPointF point) const
{
    const QPointF fromCentre = point - QRectF(rect()).center();
    return qRadiansToDegrees(std::atan2(-fromCentre.y(), fromCentre.x()));
}

void Knob::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The knob turns by as much as the pointer turns around its centre, so it never jumps on
    // the press, and moving the pointer further out gives a finer hand.
    m_dragging = true;
    m_dragAngleDegrees = pointerAngleDegrees(event->position());
    m_dragPosition = m_position;
    event->accept();
}

void Knob::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF fromCentre = event->position() - QRectF(rect()).center();
    if (std::hypot(fromCentre.x(), fromCentre.y()) < kDeadRadius)
        return;
    const double angle = pointerAngleDegrees(event->position());
    double turned = angle - m_dragAngleDegrees;
    if (turned > 180.0)
        turned -= 360.0;
    else if (turned <= -180.0)
        turned += 360.0;
    m_dragAngleDegrees = angle;
    // Clockwise raises. The running value is held to the limits so that turning back from an
    // end stop moves the knob at once.
    const double range = m_positionMax - m_positionMin;
    m_dragPosition =
        std::clamp(m_dragPosition - turned * range / kSweepDegrees, m_positionMin, m_positionMax);
    // A dragged position keeps the decimals shown on the knob, so what is sent is what was read.
    moveTo(roundToDecimals(m_dragPosition, m_decimals));
    event->accept();
}

void Knob::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    finishAction();
    event->accept();
}

void Knob::focusOutEvent(QFocusEvent* event)
{
    // A key released after focus moved on goes elsewhere; end the action here instead.
    if (m_keyHeld) {
        m_keyHeld = false;
        finishAction();
    }
    QWidget::focusOutEvent(event);
}

void Knob::changeEvent(QEvent* event)
{
    // A disabled knob receives no release; do not lose the operator's last move.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endHeldActions();
    QWidget::changeEvent(event);
}

void Knob::paintEvent(QPaintEvent*)
{
    const double side = std::min(width(), height()) - 4.0;
    if (side < 8.0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QPointF centre = QRectF(rect()).center();
    const double outer = side / 2.0;
    const double range = m_positionMax - m_positionMin;
    const double fraction = range > 0.0 ? (m_position - m_positionMin) / range : 0.0;
    const double positionAngle = kMinimumAngleDegrees - kSweepDegrees * fraction;

    // Scale: 10 major divisions of 5 minor ones; the part up to the position is lit.
    constexpr int kTicks = 50;
    for (int i = 0; i <= kTicks; ++i) {
        const double tickFraction = double(i) / kTicks;
        const bool major = i % 5 == 0;
        const double angle = kMinimumAngleDegrees - kSweepDegrees * tickFraction;
        QColor colour = tickFraction <= fraction + 1e-9 && fraction > 0.0
                            ? pal.color(QPalette::Highlight)
                            : pal.color(QPalette::WindowText);
        if (!major)
            colour.setAlphaF(colour.alphaF() * 0.6);
        painter.setPen(
            QPen(colour, major ? std::max(1.5, outer * 0.03) : 1.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(onCircle(centre, outer * (major ? 0.84 : 0.89), angle),
                         onCircle(centre, outer * 0.97, angle));
    }

    const double body = outer * 0.76;
    const QColor button = pal.color(QPalette::Button);
    QRadialGradient rim(centre - QPointF(body * 0.35, body * 0.35), body * 1.7);
    rim.setColorAt(0.0, button.lighter(125));
    rim.setColorAt(1.0, button.darker(150));
    painter.setPen(QPen(pal.color(QPalette::Shadow), 1.0));
    painter.setBrush(rim);
    painter.drawEllipse(centre, body, body);

    // The face is shaded the other way round, so it reads as a dished top.
    const double face = body * 0.8;
    QRadialGradient dish(centre + QPointF(face * 0.3, face * 0.3), face * 1.6);
    dish.setColorAt(0.0, button.lighter(115));
    dish.setColorAt(1.0, button.darker(120));
    painter.setPen(QPen(button.darker(140), 1.0));
    painter.setBrush(dish);
    painter.drawEllipse(centre, face, face);

    painter.setPen(Qt::NoPen);
    painter.setBrush(pal.color(QPalette::Highlight));
    const double pointer = (body - face) * 0.38;
    painter.drawEllipse(onCircle(centre, (body + face) / 2.0, positionAngle), pointer, pointer);

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(pal.color(QPalette::Highlight), 1.5));
        const double ring = body + outer * 0.035;
        painter.drawEllipse(centre, ring, ring);
    }

    const QString text = positionText();
    QFont font = this->font();
    font.setPixelSize(std::max(6, int(face * 0.36)));
    while (font.pixelSize() > 6 && QFontMetricsF(font).horizontalAdvance(text) > face * 1.7)
        font.setPixelSize(font.pixelSize() - 1);
    painter.setFont(font);
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.drawText(QRectF(centre.x() - face, centre.y() - face, 2 * face, 2 * face),
                     Qt::AlignCenter, text);
}

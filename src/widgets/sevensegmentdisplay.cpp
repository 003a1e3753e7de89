#include "sevensegmentdisplay.h"

#include "widgets/widgetaccessibility.h"

#include <QAccessible>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Segment bits: a top, b upper right, c lower right, d bottom, e lower left, f upper left,
// g middle.
enum Segment : unsigned
{
    A = 1,
    B = 2,
    C = 4,
    D = 8,
    E = 16,
    F = 32,
    G = 64
};

unsigned segmentsOf(QChar ch)
{
    switch (ch.unicode()) {
    case '0':
        return A | B | C | D | E | F;
    case '1':
        return B | C;
    case '2':
        return A | B | G | E | D;
    case '3':
        return A | B | G | C | D;
    case '4':
        return F | G | B | C;
    case '5':
        return A | F | G | C | D;
    case '6':
        return A | F | G | E | D | C;
    case '7':
        return A | B | C;
    case '8':
        return A | B | C | D | E | F | G;
    case '9':
        return A | B | C | D | F | G;
    case '-':
        return G;
    default:
        return 0;
    }
}

QPolygonF horizontalSegment(double x0, double x1, double y, double thickness)
{
    const double h = thickness / 2.0;
    return QPolygonF(
        {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
}

QPolygonF verticalSegment(double x, double y0, double y1, double thickness)
{
    const double h = thickness / 2.0;
    return QPolygonF(
        {{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

struct Glyph
{
    QChar ch = QLatin1Char(' ');
    bool point = false;
};

} // namespace

SevenSegmentDisplay::SevenSegmentDisplay(QWidget* parent) : QWidget(parent)
{
    installWidgetAccessibility();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void SevenSegmentDisplay::setValue(double value)
{
    if (std::isnan(value) || value == m_value)
        return;
    m_value = value;
    refreshText();
    emit valueChanged(m_value);
}

void SevenSegmentDisplay::setDigits(int digits)
{
    m_digits = std::max(1, digits);
    m_decimals = std::clamp(m_decimals, 0, m_digits - 1);
    refreshText();
    updateGeometry();
}

void SevenSegmentDisplay::setDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, m_digits - 1);
    refreshText();
}

void SevenSegmentDisplay::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void SevenSegmentDisplay::refreshText()
{
    const bool negative = m_value < 0.0;
    QString text = QString::number(m_value, 'f', m_decimals);
    // A value that rounds to zero shows no sign.
    if (negative && std::all_of(text.cbegin() + 1, text.cend(), [](QChar ch) {
            return ch == QLatin1Char('0') || ch == QLatin1Char('.');
        })) {
        text.remove(0, 1);
    }
    const qsizetype shownDigits = text.size() - (m_decimals > 0 ? 1 : 0);
    if (std::isinf(m_value) || shownDigits > m_digits) {
        const int integerDigits = m_digits - m_decimals - (negative ? 1 : 0);
        if (integerDigits < 1) {
            text = QString(m_digits, QLatin1Char('-'));
        } else {
            text = QString(integerDigits, QLatin1Char('9'));
            if (m_decimals > 0)
                text += QLatin1Char('.') + QString(m_decimals, QLatin1Char('9'));
            if (negative)
                text.prepend(QLatin1Char('-'));
        }
    }
    if (text == m_text)
        return;
    m_text = text;
    update();
    QAccessibleValueChangeEvent accessibleEvent(this, m_text);
    QAccessible::updateAccessibility(&accessibleEvent);
}

QSize SevenSegmentDisplay::sizeHint() const
{
    return {m_digits * 22 + 12, 44};
}

QSize SevenSegmentDisplay::minimumSizeHint() const
{
    return {m_digits * 8 + 6, 18};
}

void SevenSegmentDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(area, 3.0, 3.0);

    const double margin = std::max(2.0, std::min(area.height(), area.width()) * 0.12);
    const double cellWidth = (area.width() - 2.0 * margin) / m_digits;
    const double digitHeight = area.height() - 2.0 * margin;
    if (cellWidth < 3.0 || digitHeight < 5.0)
        return;
    const double digitWidth = std::min(cellWidth * 0.74, digitHeight * 0.55);
    const double thickness = std::max(1.0, digitWidth * 0.18);
    const double gap = thickness * 0.12;

    std::vector<Glyph> glyphs;
    for (QChar ch : m_text) {
        if (ch == QLatin1Char('.')) {
            if (glyphs.empty())
                glyphs.push_back({});
            glyphs.back().point = true;
        } else {
            glyphs.push_back({ch, false});
        }
    }
    while (glyphs.size() < size_t(m_digits))
        glyphs.insert(glyphs.begin(), Glyph{});
    glyphs.erase(glyphs.begin(), glyphs.end() - m_digits);

    QColor unlit = m_color;
    unlit.setAlphaF(0.12);
    // Digits sit to the left of their cell, the decimal point in the space to their right.
    for (int i = 0; i < m_digits; ++i) {
        const double x = margin + i * cellWidth + (cellWidth - digitWidth) * 0.3;
        const double left = x + thickness / 2.0;
        const double right = x + digitWidth - thickness / 2.0;
        const double top = margin + thickness / 2.0;
        const double bottom = margin + digitHeight - thickness / 2.0;
        const double middle = (top + bottom) / 2.0;
        const QPolygonF segments[7] = {
            horizontalSegment(left + gap, right - gap, top, thickness),
            verticalSegment(right, top + gap, middle - gap, thickness),
            verticalSegment(right, middle + gap, bottom - gap, thickness),
            horizontalSegment(left + gap, right - gap, bottom, thickness),
            verticalSegment(left, middle + gap, bottom - gap, thickness),
            verticalSegment(left, top + gap, middle - gap, thickness),
            horizontalSegment(left + gap, right - gap, middle, thickness),
        };
        const unsigned lit = segmentsOf(glyphs[size_t(i)].ch);
        for (int s = 0; s < 7; ++s) {
            painter.setBrush((lit & (1u << s)) ? m_color : unlit);
            painter.drawPolygon(segments[s]);
        }
        const double pointX = std::min(x + digitWidth + thickness * 0.9,
                                       margin + (i + 1) * cellWidth - thickness * 0.6);
        painter.setBrush(glyphs[size_t(i)].point ? m_color : unlit);
        painter.drawEllipse(QPointF(pointX, bottom), thickness * 0.55, thickness * 0.55);
    }
}

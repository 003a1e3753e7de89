#include "analogoutput.h"

#include "widgets/widgetaccessibility.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QRegularExpression& numberPattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(\s*[+-]?\d*(?:[.,]\d*)?\s*)"));
    return pattern;
}

// A signed decimal with "." or "," as separator, and at least one digit.
std::optional<double> parseTyped(const QString& text)
{
    const QString trimmed = text.trimmed();
    const auto match = numberPattern().match(trimmed, 0, QRegularExpression::NormalMatch,
                                             QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch() || match.capturedLength() != trimmed.size())
        return std::nullopt;
    if (!std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar ch) { return ch.isDigit(); }))
        return std::nullopt;
    QString normal = trimmed;
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    if (normal.endsWith(QLatin1Char('.')))
        normal.chop(1);
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

AnalogOutput::AnalogOutput(QWidget* parent) : QWidget(parent)
{
    installWidgetAccessibility();
    m_edit = new QLineEdit(this);
    m_edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_edit->setValidator(new QRegularExpressionValidator(numberPattern(), m_edit));
    m_unitLabel = new QLabel(this);
    m_unitLabel->setVisible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_unitLabel);
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_edit, &QLineEdit::editingFinished, this, &AnalogOutput::commitEditedText);
    showValue();
}

void AnalogOutput::setValue(double value)
{
    take(value);
    showValue();
}

bool AnalogOutput::take(double value)
{
    if (std::isnan(value))
        return false;
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return false;
    m_value = value;
    QAccessibleValueChangeEvent accessibleEvent(this, m_value);
    QAccessible::updateAccessibility(&accessibleEvent);
    emit valueChanged(m_value);
    return true;
}

void AnalogOutput::setPrecision(int decimals)
{
    m_precision = std::clamp(decimals, 0, 15);
    showValue();
}

void AnalogOutput::setMinimum(double minimum)
{
    if (std::isnan(minimum))
        return;
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    setValue(m_value);
}

void AnalogOutput::setMaximum(double maximum)
{
    if (std::isnan(maximum))
        return;
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    setValue(m_value);
}

void AnalogOutput::setUnit(const QString& unit)
{
    m_unit = unit;
    m_unitLabel->setText(unit);
    m_unitLabel->setVisible(!unit.isEmpty());
}

QString AnalogOutput::text() const
{
    return QString::number(m_value, 'f', m_precision);
}

bool AnalogOutput::setText(const QString& text)
{
    const std::optional<double> typed = parseTyped(text);
    if (typed) {
        // Taken at the shown decimals, so the text and the value held agree.
        take(QString::number(*typed, 'f', m_precision).toDouble());
    }
    showValue();
    return typed.has_value();
}

void AnalogOutput::commitEditedText()
{
    // Text that is no number (a lone sign, nothing at all) gives way to the value held.
    setText(m_edit->text());
}

void AnalogOutput::showValue()
{
    const QString shown = text();
    if (m_edit->text() != shown)
        m_edit->setText(shown);
}

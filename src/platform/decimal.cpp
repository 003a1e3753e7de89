#include "decimal.h"

#include "errors.h"

#include <cmath>
#include <limits>

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString trimmedBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString notAnInteger(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

} // namespace

double ParseDecimal(const QString& text)
{
    const QString trimmed = trimmedBlanks(text);
    constexpr int maxFractionDigits = 6;
    constexpr double powersOfTen[maxFractionDigits + 1] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

    qint64 integerPart = 0;
    qint64 fraction = 0;
    int fractionDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (const QChar c : trimmed) {
        if (!isAsciiDigit(c)) {
            inFraction = true;
            continue;
        }
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (!inFraction) {
            integerPart = integerPart * 10 + digit;
            if (integerPart > std::numeric_limits<qint32>::max())
                throw VoltarisError(notAnInteger(text));
        } else if (fractionDigits < maxFractionDigits) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        }
    }
    if (!anyDigit)
        throw VoltarisError(QStringLiteral("'%1' is not a valid number").arg(text));
    return double(integerPart) + double(fraction) / powersOfTen[fractionDigits];
}

int parseInteger(const QString& text)
{
    const QString trimmed = trimmedBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed.at(i) == u'+' || trimmed.at(i) == u'-')) {
        negative = trimmed.at(i) == u'-';
        ++i;
    }
    if (i == trimmed.size())
        throw VoltarisError(notAnInteger(text));
    qint64 value = 0;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (!isAsciiDigit(c))
            throw VoltarisError(notAnInteger(text));
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            throw VoltarisError(notAnInteger(text));
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        throw VoltarisError(notAnInteger(text));
    return int(value);
}

QString formatNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // "d.dddddddddddddde±X": fifteen significant digits, correctly rounded.
    const QString scientific = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = scientific.indexOf(u'e');
    QString digits = scientific.left(1) + scientific.mid(2, ePos - 2);
    const int exponent = scientific.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString result = value < 0 ? QStringLiteral("-") : QString();
    // Number of digits in front of the decimal point in fixed form (may be zero or negative).
    const int integerDigits = exponent + 1;
    if (integerDigits > 15 || integerDigits < -3) {
        result += digits.left(1);
        if (digits.size() > 1)
            result += u'.' + digits.mid(1);
        result += u'E';
        if (exponent < 0)
            result += u'-';
        result += QString::number(std::abs(exponent));
    } else if (integerDigits <= 0) {
        result += QStringLiteral("0.") + QString(-integerDigits, u'0') + digits;
    } else if (integerDigits >= digits.size()) {
        result += digits + QString(integerDigits - digits.size(), u'0');
    } else {
        result += digits.left(integerDigits) + u'.' + digits.mid(integerDigits);
    }
    return result;
}

int delayToIntervalMs(double seconds)
{
    const double ms = seconds * 1000.0;
    // Ties to even without relying on the floating-point environment's rounding mode.
    double rounded = std::round(ms);
    if (std::fabs(ms - std::trunc(ms)) == 0.5)
        rounded = 2.0 * std::round(ms / 2.0);
    if (!std::isfinite(rounded) || rounded > std::numeric_limits<int>::max() ||
        rounded < std::numeric_limits<int>::min())
        throw VoltarisError(QStringLiteral("The delay %1 s cannot be used as a timer interval")
                                .arg(formatNumber(seconds)));
    return int(rounded);
}

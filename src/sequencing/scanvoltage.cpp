#include "scanvoltage.h"

#include "platform/decimal.h"
#include "platform/errors.h"
#include "sequencing/steps.h"

#include <cmath>
#include <limits>

namespace {

// Independent of the floating-point environment's rounding mode.
double roundHalfEven(double x)
{
    const double rounded = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return rounded;
}

bool hasDigit(const QString& text)
{
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            return true;
    }
    return false;
}

} // namespace

int TScanVoltage::BuildScanPoints()
{
    const double a = roundHalfEven((stop - start) / step);
    // One more point than the count of intervals must still fit an int.
    if (!std::isfinite(a) || std::fabs(a) >= double(std::numeric_limits<int>::max()))
        throw VoltarisError(QStringLiteral("A scan from %1 to %2 in steps of %3 has no countable "
                                           "number of points")
                                .arg(formatNumber(start), formatNumber(stop), formatNumber(step)));
    const int count = int(std::fabs(a)) + 1;
    QList<double> points(count);
    if (stop < start)
        step = -step;
    for (int i = 0; i < count; ++i)
        points[i] = start + i * step;
    points[count - 1] = stop;
    Points = std::move(points);
    PointCount = count;
    return PointCount;
}

ScanEntryResult scanEntryChanged(int tag, const QString& text, double maxVoltage)
{
    ScanEntryResult result;
    if (text.isEmpty() || tag < 0 || tag > 3) {
        result.ignore = true;
        return result;
    }
    const double value = hasDigit(text) ? ParseDecimal(text) : 0.0;
    if (tag <= 2 && value > maxVoltage) {
        // The entry then shows the maximum, and the value read back from that text is stored.
        result.replacementText = formatNumber(maxVoltage);
        result.storedValue = ParseDecimal(result.replacementText);
        return result;
    }
    result.storedValue = value;
    return result;
}

void storeScanEntry(ScanSetting& setting, int tag, double value)
{
    switch (tag) {
    case 0:
        setting.ScanStart = value;
        break;
    case 1:
        setting.ScanStop = value;
        break;
    case 2:
        setting.ScanStep = value;
        break;
    case 3:
        setting.ScanDelay = value;
        break;
    default:
        break;
    }
}

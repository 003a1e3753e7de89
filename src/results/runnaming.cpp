#include "runnaming.h"

#include "platform/decimal.h"
#include "platform/errors.h"

#include <limits>

QString ComposeRunName(bool autoName, const QString& base, int counter, const QString& currentText)
{
    if (!autoName)
        return currentText;
    return base + QString::number(counter);
}

QString TrimRunName(const QString& nameBoxText)
{
    qsizetype first = 0;
    qsizetype last = nameBoxText.size();
    while (first < last && nameBoxText.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && nameBoxText.at(last - 1).unicode() <= 0x20)
        --last;
    return nameBoxText.mid(first, last - first);
}

int ClampRunCounter(int value)
{
    return value < 0 ? 0 : value;
}

int NextRunCounter(const QString& counterText)
{
    const int counter = parseInteger(counterText);
    if (counter == std::numeric_limits<int>::max())
        throw VoltarisError(QStringLiteral("'%1' is not a valid integer value")
                                .arg(QString::number(qint64(counter) + 1)));
    return counter + 1;
}

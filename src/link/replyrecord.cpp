#include "replyrecord.h"

#include <QLocale>

#include <cmath>

namespace {

// Blanks and control characters, as the reply handling trims them.
QString trimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

std::optional<ReplyRecord> splitReply(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        throw ReplyFormatError("reply without a colon");
    ReplyRecord record;
    record.code = replyInteger(text.left(colon));
    const qsizetype valueLength = trimControls(text).size() - (colon + 1);
    record.value = valueLength > 0 ? text.mid(colon + 1, valueLength) : QString();
    if (trimControls(record.value).isEmpty())
        return std::nullopt;
    return record;
}

double replyNumber(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(trimControls(text), &ok);
    if (!ok || !std::isfinite(value))
        throw ReplyFormatError("not a number");
    return value;
}

int replyInteger(const QString& text)
{
    bool ok = false;
    const int value = QLocale::c().toInt(trimControls(text), &ok);
    if (!ok)
        throw ReplyFormatError("not an integer");
    return value;
}

std::array<QString, 3> splitThree(const QString& value)
{
    std::array<QString, 3> fields;
    const qsizetype first = value.indexOf(QLatin1Char(','));
    if (first < 0) {
        fields[0] = value;
        return fields;
    }
    fields[0] = value.left(first);
    const qsizetype second = value.indexOf(QLatin1Char(','), first + 1);
    if (second < 0)
        return fields;  // a second field needs the comma that ends it
    fields[1] = value.mid(first + 1, second - first - 1);
    fields[2] = value.mid(second + 1);
    return fields;
}

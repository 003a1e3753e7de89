#include "textsources.h"

#include "platform/decimal.h"
#include "platform/errors.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

struct SourceLine
{
    int number = 0;
    QString text;
};

[[noreturn]] void failAt(const QString& fileName, int line, const QString& message)
{
    throw VoltarisError(QStringLiteral("%1, line %2: %3")
                            .arg(QDir::toNativeSeparators(fileName))
                            .arg(line)
                            .arg(message));
}

// The lines that carry content, with their 1-based numbers; comments and empty lines dropped.
QList<SourceLine> contentLines(const QByteArray& utf8, const QString& fileName)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text = decoder.decode(utf8);
    if (decoder.hasError())
        throw VoltarisError(
            QStringLiteral("%1 is not valid UTF-8 text").arg(QDir::toNativeSeparators(fileName)));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QList<SourceLine> lines;
    const QStringList all = text.split(u'\n');
    for (qsizetype i = 0; i < all.size(); ++i) {
        QString line = all.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        lines.append({int(i + 1), line});
    }
    return lines;
}

QString unescape(const QString& text, const QString& fileName, int line)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\') {
            result += c;
            continue;
        }
        if (++i == text.size())
            failAt(fileName, line,
                   QStringLiteral("a \\ ends the text; write \\\\ for a backslash"));
        switch (text.at(i).unicode()) {
        case u't':
            result += u'\t';
            break;
        case u'n':
            result += u'\n';
            break;
        case u'r':
            result += u'\r';
            break;
        case u'\\':
            result += u'\\';
            break;
        case u'u': {
            const QString hex = text.mid(i + 1, 4);
            static const QRegularExpression fourHexDigits(QStringLiteral("^[0-9A-Fa-f]{4}$"));
            if (!fourHexDigits.match(hex).hasMatch())
                failAt(fileName, line, QStringLiteral("\\u needs four hexadecimal digits"));
            result += QChar(hex.toUShort(nullptr, 16));
            i += 4;
            break;
        }
        default:
            failAt(
                fileName, line,
                QStringLiteral("unknown escape \\%1; write \\\\ for a backslash").arg(text.at(i)));
        }
    }
    return result;
}

QString escape(const QString& text)
{
    QString result;
    result.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\t':
            result += QStringLiteral("\\t");
            break;
        case u'\n':
            result += QStringLiteral("\\n");
            break;
        case u'\r':
            result += QStringLiteral("\\r");
            break;
        case u'\\':
            result += QStringLiteral("\\\\");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                result += c;
        }
    }
    const bool needsQuotes =
        text.isEmpty() || text.front().isSpace() || text.back().isSpace() || text.startsWith(u'"');
    return needsQuotes ? u'"' + result + u'"' : result;
}

const QRegularExpression& plainDecimal()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    return pattern;
}

} // namespace

QStringList parseLanguageSource(const QByteArray& utf8, const QString& fileName)
{
    QStringList texts;
    for (const SourceLine& line : contentLines(utf8, fileName)) {
        const qsizetype tab = line.text.indexOf(u'\t');
        if (tab < 0)
            failAt(fileName, line.number, QStringLiteral("KEY<TAB>TEXT expected"));
        const QString keyText = line.text.left(tab);
        bool ok = false;
        const int key = keyText.toInt(&ok);
        if (!ok || keyText.front() == u'+' || keyText.front() == u'-')
            failAt(fileName, line.number, QStringLiteral("'%1' is not a text key").arg(keyText));
        if (key != texts.size())
            failAt(fileName, line.number,
                   QStringLiteral("key %1 expected, found %2").arg(texts.size()).arg(key));
        QString raw = line.text.mid(tab + 1);
        if (raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"'))
            raw = raw.mid(1, raw.size() - 2);
        texts.append(unescape(raw, fileName, line.number));
    }
    return texts;
}

QByteArray formatLanguageSource(const QStringList& texts)
{
    QString out = QStringLiteral(
        "# Voltaris language texts: one text per line, KEY<TAB>TEXT, keys from 0 without gaps.\n"
        "# Escapes: \\t \\n \\r \\\\ \\uXXXX. A text in double quotes keeps its outer blanks;\n"
        "# \"\" is the empty text. Lines starting with # are comments.\n");
    for (qsizetype key = 0; key < texts.size(); ++key)
        out += QString::number(key) + u'\t' + escape(texts.at(key)) + u'\n';
    return out.toUtf8();
}

QList<TPowerType> parsePowerTypeSource(const QByteArray& utf8, const QString& fileName)
{
    QList<TPowerType> types;
    for (const SourceLine& line : contentLines(utf8, fileName)) {
        const QStringList fields = line.text.split(u'\t', Qt::SkipEmptyParts);
        if (fields.size() != 8)
            failAt(fileName, line.number,
                   QStringLiteral("8 tab-separated fields expected (name, six limits, "
                                  "precision), found %1")
                       .arg(fields.size()));
        TPowerType type;
        type.Name = fields.at(0);
        for (int i = 0; i < 6; ++i) {
            const QString number = fields.at(i + 1).trimmed();
            if (!plainDecimal().match(number).hasMatch())
                failAt(fileName, line.number,
                       QStringLiteral("'%1' is not a plain decimal such as 30 or 3.5").arg(number));
            try {
                type.maxima[i] = ParseDecimal(number);
            } catch (const VoltarisError& error) {
                failAt(fileName, line.number, error.message());
            }
        }
        int precision = -1;
        try {
            precision = parseInteger(fields.at(7));
        } catch (const VoltarisError& error) {
            failAt(fileName, line.number, error.message());
        }
        if (precision < 0 || precision > 255)
            failAt(fileName, line.number,
                   QStringLiteral("the precision %1 is outside 0 to 255").arg(precision));
        type.Precision = quint8(precision);
        types.append(type);
        if (types.size() > maxPowerTypes)
            failAt(fileName, line.number,
                   QStringLiteral("more than %1 models cannot be stored").arg(maxPowerTypes));
    }
    return types;
}

QByteArray formatPowerTypeSource(const QList<TPowerType>& types)
{
    QString out = QStringLiteral(
        "# Voltaris power types: Name, ch1 V, ch1 A, ch2 V, ch2 A, ch3 V, ch3 A, precision;\n"
        "# fields separated by tabs. Lines starting with # are comments.\n");
    for (const TPowerType& type : types) {
        out += type.Name;
        for (double maximum : type.maxima)
            out += u'\t' + limitText(maximum);
        out += u'\t' + QString::number(type.Precision) + u'\n';
    }
    return out.toUtf8();
}

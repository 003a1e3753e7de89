#include "ansicodec.h"

#include "errors.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace {

std::optional<QString>& chosenCodePage()
{
    static std::optional<QString> name;
    return name;
}

bool isConvertible(const QString& name)
{
    const QByteArray latin = name.toLatin1();
    return QStringEncoder(latin.constData()).isValid() &&
           QStringDecoder(latin.constData()).isValid();
}

const QString& currentCodePage()
{
    std::optional<QString>& chosen = chosenCodePage();
    if (!chosen) {
        QString name = Ansi::codePageForLocale(QLocale::system());
        if (!isConvertible(name))
            name = QStringLiteral("windows-1252");
        if (!isConvertible(name))
            name = QStringLiteral("ISO-8859-1");
        chosen = name;
    }
    return *chosen;
}

} // namespace

namespace Ansi {

QByteArray encode(const QString& text)
{
    const QByteArray name = currentCodePage().toLatin1();
    QStringEncoder encoder(name.constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;

    // The converter marks unmappable characters with a control byte; redo the text one code
    // point at a time so that each of them becomes the '?' that Windows writes.
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        QStringEncoder single(name.constData(), QStringConverter::Flag::Stateless);
        const QByteArray piece = single.encode(QStringView(text).mid(i, length));
        bytes += single.hasError() ? QByteArray("?") : piece;
        i += length;
    }
    return bytes;
}

QString decode(const QByteArray& bytes)
{
    const QByteArray name = currentCodePage().toLatin1();
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QString codePageName()
{
    return currentCodePage();
}

void setCodePage(const QString& name)
{
    if (name.isEmpty() || !isConvertible(name))
        throw VoltarisError(
            QStringLiteral("The code page \"%1\" is not available on this system").arg(name));
    chosenCodePage() = name;
}

QString codePageForLocale(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Chinese:
        if (locale.script() == QLocale::TraditionalChineseScript ||
            (locale.script() == QLocale::AnyScript &&
             (locale.territory() == QLocale::Taiwan || locale.territory() == QLocale::HongKong ||
              locale.territory() == QLocale::Macao)))
            return QStringLiteral("Big5");
        return QStringLiteral("GBK");
    case QLocale::Japanese:
        return QStringLiteral("Shift_JIS");
    case QLocale::Korean:
        return QStringLiteral("windows-949");
    case QLocale::Thai:
        return QStringLiteral("windows-874");
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Bulgarian:
    case QLocale::Belarusian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Tatar:
    case QLocale::Bashkir:
    case QLocale::Mongolian:
        return QStringLiteral("windows-1251");
    case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? QStringLiteral("windows-1250")
                                                       : QStringLiteral("windows-1251");
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Bosnian:
    case QLocale::Romanian:
    case QLocale::Albanian:
        return QStringLiteral("windows-1250");
    case QLocale::Greek:
        return QStringLiteral("windows-1253");
    case QLocale::Turkish:
    case QLocale::Azerbaijani:
        return QStringLiteral("windows-1254");
    case QLocale::Hebrew:
        return QStringLiteral("windows-1255");
    case QLocale::Arabic:
    case QLocale::Persian:
    case QLocale::Urdu:
        return QStringLiteral("windows-1256");
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian:
        return QStringLiteral("windows-1257");
    case QLocale::Vietnamese:
        return QStringLiteral("windows-1258");
    default:
        return QStringLiteral("windows-1252");
    }
}

} // namespace Ansi

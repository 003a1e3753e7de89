#include "loadsource.h"

#include "textsources.h"

#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/binaryio.h"
#include "platform/errors.h"
#include "platform/programfolder.h"

#include <limits>

namespace {

constexpr int maxLanguageTexts = 255;
const char* const builtInEnglishResource = ":/voltaris/lang/English (United States).txt";

} // namespace

TLoadSource::TLoadSource()
{
    const QString name = FindLanguageName();
    TextFileName = name;
    LanguageName = name;
}

QString TLoadSource::FindLanguageName()
{
    Found = false;
    return QString();
}

void TLoadSource::LoadTexts()
{
    if (!Found) {
        TextFileName = QString::fromLatin1(fallbackLanguage);
        LanguageName = TextFileName;
    }
    const QString path = programFile(TextFileName);
    Texts = readLanguageTexts(readWholeFile(path), path);
}

void TLoadSource::LoadBuiltInEnglish()
{
    const QString name = QString::fromLatin1(builtInEnglishResource);
    Texts = parseLanguageSource(readWholeFile(name), name);
}

QString TLoadSource::GetText(int key) const
{
    if (key < 0 || key >= Texts.size())
        throw VoltarisError(QStringLiteral("List index out of bounds (%1)").arg(key));
    return Texts.at(key);
}

QStringList readLanguageTexts(const QByteArray& bytes, const QString& fileName)
{
    BinaryReader reader(bytes, fileName);
    const quint16 count = reader.readU16();
    int entries = quint8((count & 0xFF) - 1);
    if ((count & 0xFF) == 0 && count >= 256)
        entries = count - 1;

    QStringList texts;
    texts.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        const quint16 length = reader.readU16();
        texts.append(Ansi::decode(reader.readBytes(length)));
    }
    return texts;
}

QByteArray writeLanguageTexts(const QStringList& texts)
{
    if (texts.size() > maxLanguageTexts)
        throw VoltarisError(QStringLiteral("%1 texts cannot be stored in a language file; at most "
                                           "%2 can")
                                .arg(texts.size())
                                .arg(maxLanguageTexts));
    BinaryWriter writer;
    writer.writeU16(quint16(texts.size() + 1));
    for (const QString& text : texts) {
        const QByteArray encoded = Ansi::encode(text);
        if (encoded.size() > std::numeric_limits<quint16>::max())
            throw VoltarisError(QStringLiteral("The text \"%1...\" is too long for a language "
                                               "file (%2 bytes, at most 65535)")
                                    .arg(text.left(20))
                                    .arg(encoded.size()));
        writer.writeU16(quint16(encoded.size()));
        writer.writeBytes(encoded);
    }
    return writer.bytes();
}

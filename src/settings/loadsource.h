#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The store of the localized texts, addressed by text key. One instance lives for the whole
// program; every window takes its captions from it when it is created.
class TLoadSource
{
public:
    static constexpr const char* fallbackLanguage = "English (United States)";

    // Chooses the language (FindLanguageName) and keeps its name as text file name and
    // LanguageName.
    TLoadSource();

    // The language of the system, as listed in the program folder's language list; sets Found.
    // Not chosen from the system yet: always empty with Found false, which means English.
    QString FindLanguageName();

    // Reads the text file of the chosen language from the program folder, or of English when
    // none was found. Throws VoltarisError naming the file when it cannot be opened or ends early;
    // Texts is then left as it was.
    void LoadTexts();
    // The English texts built into the program, for when the text file cannot be read.
    // LanguageName and TextFileName are left as they are.
    void LoadBuiltInEnglish();

    // Throws VoltarisError "List index out of bounds (N)" for a key without a text.
    QString GetText(int key) const;

    QStringList Texts;
    QString LanguageCode;
    QString LanguageName;
    QString TextFileName;
    bool Found = false;
};

// The language text file: u16 count C, then C − 1 entries of u16 length and that many ANSI bytes
// (no trailing byte). As the original 8-bit reader does, only the low byte of C counts, except
// that a multiple of 256 from 256 on gives C − 1 entries. Throws VoltarisError naming the file
// when it ends early.
QStringList readLanguageTexts(const QByteArray& bytes, const QString& fileName);
// Throws VoltarisError for more than 255 texts or a text longer than 65535 bytes.
QByteArray writeLanguageTexts(const QStringList& texts);

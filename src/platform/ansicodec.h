#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

// The system's 8-bit "ANSI" code page, in which the program's own files hold their texts. It is
// chosen from the system locale's language at first use; tools and tests may set it by name.
namespace Ansi {

// Characters that the code page cannot hold become '?', as the Windows conversion does.
QByteArray encode(const QString& text);
// Bytes that are not valid in the code page become U+FFFD.
QString decode(const QByteArray& bytes);

// The name of the code page in use, e.g. "windows-1252".
QString codePageName();
// Throws VoltarisError naming the code page when this system cannot convert it; the code page
// in use then stays.
void setCodePage(const QString& name);

// The Windows ANSI code page of a locale's language, falling back to "windows-1252".
QString codePageForLocale(const QLocale& locale);

} // namespace Ansi

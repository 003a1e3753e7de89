#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole file aside and renames it over the old one, so a failed write leaves the old
// file as it was. Throws VoltarisError naming the file and the reason.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Reads a whole file. Throws VoltarisError in the form the operator knows from the file-open
// error: Cannot open file "PATH". REASON
QByteArray readWholeFile(const QString& path);

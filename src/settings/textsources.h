#pragma once

#include "powertypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The UTF-8 text forms from which the shipped binary files are built, and back.
//
// Language source: one text per line, KEY<TAB>TEXT, keys counting up from 0 without gaps. Lines
// starting with # are comments and empty lines are skipped. TEXT runs to the end of the line;
// \t, \n, \r, \\ and \uXXXX are escapes. A TEXT wrapped in double quotes stands for what lies
// between them, so that leading and trailing blanks survive editors: "" is the empty text.
//
// Power-type source: one model per line, eight fields separated by tabs (runs of tabs allowed):
// Name, ch1 V, ch1 A, ch2 V, ch2 A, ch3 V, ch3 A as plain decimals, and the precision 0..255.
// Comments and empty lines as above.
//
// The parsers throw VoltarisError naming the file and the line.
QStringList parseLanguageSource(const QByteArray& utf8, const QString& fileName);
QByteArray formatLanguageSource(const QStringList& texts);

QList<TPowerType> parsePowerTypeSource(const QByteArray& utf8, const QString& fileName);
QByteArray formatPowerTypeSource(const QList<TPowerType>& types);

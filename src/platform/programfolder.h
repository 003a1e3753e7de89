#pragma once

#include <QString>

// The folder of the running executable, where every file the program keeps lies under a fixed
// name. Tests point it at a temporary folder with setProgramFolder(); an empty path restores the
// executable's folder.
QString programFolder();
void setProgramFolder(const QString& path);

// The full path of a file of the program folder.
QString programFile(const QString& name);

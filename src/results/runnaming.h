#pragma once

#include <QString>

// The naming of GO/NG runs behind the recorder controls of the main window ("Manu Name" /
// "Auto Name", the name box and the counter box). Plain functions, so the window only wires them.

// The name box text after the GO/NG panel is opened: in "Auto Name" mode the base immediately
// followed by the counter in decimal ("GoNG" and 0 give "GoNG0"); in "Manu Name" mode the text
// that stands in the box, untouched.
QString ComposeRunName(bool autoName, const QString& base, int counter, const QString& currentText);

// The name stored for a run: the name box text without leading and trailing blanks and control
// characters (everything up to U+0020), as the operator's stray spaces are not part of the name.
QString TrimRunName(const QString& nameBoxText);

// The counter box never goes below 0: the value it is set to after a change.
int ClampRunCounter(int value);

// The counter after a run was recorded in "Auto Name" mode: the counter box text read as a whole
// number, plus 1. Throws VoltarisError quoting the text when it is not a whole number or the sum
// does not fit a signed 32-bit integer.
int NextRunCounter(const QString& counterText);

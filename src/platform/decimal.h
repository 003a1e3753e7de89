#pragma once

#include <QString>

// The lenient decimal reader of limits and typed-in numbers, independent of the locale's decimal
// separator: the digits before the first non-digit are the integer part, every later digit is a
// fraction digit (at most six are kept), anything else is skipped. There is no sign, so "-1.5"
// reads as 0.15. Throws VoltarisError quoting the text when it has no digit at all or when the
// integer part does not fit a signed 32-bit integer.
double ParseDecimal(const QString& text);

// The strict text-to-integer conversion: optional blanks around an optional sign and decimal
// digits, within the signed 32-bit range. Anything else throws VoltarisError quoting the text
// ("'12a' is not a valid integer value").
int parseInteger(const QString& text);

// The general text form of a number that the program shows, stores or sends: at most 15
// significant digits, no trailing zeros, "." as decimal point. Exponent form ("1E-5", "1.5E20")
// for magnitudes below 1E-4 and from 1E15 on.
QString formatNumber(double value);

// A delay in seconds as a timer interval in milliseconds: seconds × 1000 rounded to the nearest
// integer, ties to even (0.0025 s gives 2 ms). Throws VoltarisError when the result is not a
// number or does not fit an int.
int delayToIntervalMs(double seconds);

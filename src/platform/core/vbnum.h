#pragma once
// The numeric conversions every text field of the protocol and of the files goes through.
#include <QString>
#include <cstdint>

// The leading number of a text: blanks are skipped, an optional sign, digits with an optional
// decimal point and exponent; 0 when the text does not start with a number ("12ab" -> 12, "x" -> 0).
double Val(const QString& text);

// Round to a 32-bit integer, half to even (2.5 -> 2, 3.5 -> 4); values beyond the 32-bit range
// are clamped to it instead of failing.
int32_t CLng(double v);

// Val then CLng: the usual "numeric value rounded to a 32-bit integer".
inline int32_t ValLng(const QString& text) { return CLng(Val(text)); }

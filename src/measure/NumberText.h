#pragma once
// Reading numbers the way the measurement texts and boxes were always read: the
// leading numeric part of a text counts, anything else gives 0.
#include <QString>

// Leading blanks are skipped, then the longest prefix that reads as a decimal number
// is taken; no number, or one that is not finite, gives 0.
double ParseLeadingNumber(const QString& text);

#include "measure/NumberText.h"

#include <charconv>
#include <cmath>

double ParseLeadingNumber(const QString& text)
{
    // Digits, signs, points and exponents are all ASCII; anything else ends the number.
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first == '+' || *first == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

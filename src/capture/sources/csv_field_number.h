#pragma once

#include <QStringView>

#include <optional>

namespace gainbook {

// The number a whole csv field holds: digits with an optional sign, point
// and exponent, blanks around them allowed, read exactly as
// QString::toDouble reads them. Nothing for any other text, and for "inf",
// "nan" or a value too large for a double.
std::optional<double> csvFieldNumber(QStringView field);

} // namespace gainbook

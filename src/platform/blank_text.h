#pragma once

#include <QString>

namespace gainbook {

// Removes leading and trailing blanks only: page texts and TXF lines keep
// their tabs and line breaks, which the readers compare exactly.
QString trimBlanks(const QString& text);

} // namespace gainbook

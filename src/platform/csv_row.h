#pragma once

#include <QStringList>
#include <QTextStream>

namespace gainbook {

// RFC 4180 output: comma separated, a field quoted when it holds a comma,
// quote or line break, LF line ends.
void writeCsvRow(QTextStream& out, const QStringList& fields);

} // namespace gainbook

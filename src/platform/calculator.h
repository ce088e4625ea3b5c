#pragma once

#include <QString>
#include <QStringList>

namespace gainbook {

// The desktop calculators looked for, in order of preference.
QStringList calculatorPrograms();

// Starts the first installed calculator without waiting for it. Returns an
// empty text, or the message to show when none could be started.
QString startCalculator(const QStringList& programs = calculatorPrograms());

} // namespace gainbook

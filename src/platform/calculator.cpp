#include "platform/calculator.h"

#include <QProcess>
#include <QStandardPaths>

namespace gainbook {

QStringList calculatorPrograms() {
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
            QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

QString startCalculator(const QStringList& programs) {
    for (const QString& program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, {}))
            return {};
        return QStringLiteral("The calculator %1 could not be started.").arg(path);
    }
    return QStringLiteral("No calculator was found. Install one of: ") +
           programs.join(QStringLiteral(", ")) + QLatin1Char('.');
}

} // namespace gainbook

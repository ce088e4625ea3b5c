#pragma once

#include "capture/heading_fit.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

// One layout a broker writes its realized gain/loss download in, its
// columns named as the trade-history presets name theirs: each by the
// headings the broker has given it, case and spacing aside.
struct GainsLayout {
    QString title; // "a Schwab realized gain/loss download"

    // Needed.
    QStringList symbol;
    QStringList quantity;
    QStringList sold;
    QStringList proceeds;
    QStringList cost;
    QVector<QStringList> identifying; // further columns that tell this layout from others

    // May have.
    QStringList description; // read where the symbol cell is empty
    QStringList acquired;
    QStringList wash; // the loss disallowed, an amount
    QStringList term;
    QStringList box;
    QVector<QStringList> optional;

    HeadingLayout headings() const;
};

// The brokers' realized gain/loss layouts, in the order a tie is settled.
const QVector<GainsLayout>& gainsLayouts();

} // namespace gainbook

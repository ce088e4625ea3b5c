#pragma once

#include "support/test_database.h"
#include "support/test_files.h"

#include <QByteArray>
#include <QString>

namespace gainbook::test {

// A file under tests/data/txf.
inline QString txfData(const QString& name) {
    return testData(QStringLiteral("txf/") + name);
}

// The three records of small_export.txf, spread over two accounts and
// inserted out of date order, plus records sold outside 2000.
void fillSmallExport(TestDatabase& t);

// Records sold in the year in every kind of box, two with a wash-sale
// adjustment, one with amounts beyond cents, plus one sold the year after.
void fillYearExport(TestDatabase& t, int year);

// Rows of TaxRec as "account|symbol|quantity|acquired|sold|cost|sale|memo|
// box|wash adjustment", by ID, so that a comparison shows every column.
QStringList taxRows(const TestDatabase& t);

} // namespace gainbook::test

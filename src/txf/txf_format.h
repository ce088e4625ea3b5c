#pragma once

#include "platform/tax_year.h"
#include "store/records.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// The Tax Exchange Format as written, single-byte text with CR LF after
// every line. Which layout a file gets depends on the tax year:
enum class TxfLayout {
    // Tax year 2000 and earlier: version 034, the fixed date line, amounts
    // as plain decimals, each box with its own reference number.
    Version034,
    // 2001-2010: version 042 with the short-term, long-term and unknown-term
    // numbers only (321, 323, 673), since the boxes did not exist yet.
    Version042Terms,
    // 2011 on: version 042 with a reference number per box.
    Version042Boxes,
};

inline constexpr char kTxfLineEnd[] = "\r\n";

TxfLayout txfLayoutFor(TaxYear year);

// "Kestrova Gainbook" and the program's version, the header's "A" line.
QString txfProgramName();

// The header record: version, program line, date line and "^". The date
// line is the fixed "D1/7/01" in version 034, today's date in version 042.
QByteArray txfHeader(TxfLayout layout, const QDate& today);

// The reference number of a sale in the layout: 321, 711, 712 for the
// short-term boxes A, B, C; 323, 713, 714 for the long-term boxes D, E, F
// (321 and 323 for every short- and long-term box before 2011). A sale whose
// term is unknown (no box) has no box to tell its basis, so the number tells
// it from the basis reporting of its account: 673 reported, 715 not
// reported, 716 no Form 1099-B (673 for all before 2011).
int txfReferenceNumber(const TaxRecord& record, TxfLayout layout = TxfLayout::Version042Boxes,
                       BasisReporting basis = BasisReporting::Reported);

// The box a reference number stands for: None for 673, 715 and 716,
// nothing for a number that names no box.
std::optional<Form8949Box> boxOfTxfReference(int number);

// The basis reporting a number of an unknown term stands for: 673
// Reported, 715 NotReported, 716 NoForm; nothing for any other number.
std::optional<BasisReporting> basisOfUnknownTerm(int number);

// Whether the record is one whose cost nobody knows: no date acquired and
// no cost, as the processing run writes a sell for which no buy was found
// and as the import stores a record with neither. Its date acquired and
// cost lines are written empty, for the tax program to ask about, rather
// than as a cost of zero.
bool txfCostUnknown(const TaxRecord& record);

// The lines of one record, each ending with CR LF. A record with a wash-sale
// adjustment gets a third "$" line (record format 5). The basis is that of
// the record's account; it counts only for a record of unknown term.
QByteArray txfRecord(const TaxRecord& record, TxfLayout layout = TxfLayout::Version034,
                     BasisReporting basis = BasisReporting::Reported);

// The same lines added to the end of out, for a file of many records.
void appendTxfRecord(QByteArray& out, const TaxRecord& record, TxfLayout layout,
                     BasisReporting basis = BasisReporting::Reported);

// About the size of a record, to reserve room for a file of them.
inline constexpr qsizetype kTxfRecordBytes = 112;

// An amount with two decimals, as version 042 wants it: "1234.50", "-0.25".
QString txfAmount(Money amount);

} // namespace gainbook

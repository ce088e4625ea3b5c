#pragma once

#include "store/records.h"

#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

// Why an action cannot be kept, as the user reads it; empty when it can.
// `others` are the actions already kept; the one with the action's own ID
// (an edit) is passed over. Refused: an empty symbol, a date that is not a
// date, a ratio that is not above 0 or 1:1, a change without a new symbol
// or to the same symbol (first 12 characters), a second change of one
// symbol on one day or one that loops back on that day, and a second split
// of one symbol on one day.
QString corpActionProblem(const CorpActionRecord& action, const QVector<CorpActionRecord>& others);

// Reads "10:1", "1:4" or "3:2" (N shares after for M before). No value when
// the text is not two numbers around a colon; the numbers themselves are
// left to corpActionProblem.
std::optional<std::pair<double, double>> ratioFromText(const QString& text);

// "10:1"
QString ratioText(double ratioNew, double ratioOld);

// "Not a date: 13/45/2024"
QString notADateText(const QString& text);

// "Not a ratio: 10/1 (write it as N:M, such as 10:1)"
QString notARatioText(const QString& text);

// "split 10:1" or "symbol change to XYZ", as lists show an action.
QString actionDescription(const CorpActionRecord& action);

} // namespace gainbook

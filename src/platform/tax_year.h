#pragma once

#include <QDate>

namespace gainbook {

// The program works on one fixed tax year; the processing grid, the tax view
// and the TXF export select records sold in it.
inline constexpr int ProcessYear = 2000;

inline QDate taxYearFirstDay() {
    return QDate(ProcessYear, 1, 1);
}
inline QDate taxYearLastDay() {
    return QDate(ProcessYear, 12, 31);
}

} // namespace gainbook

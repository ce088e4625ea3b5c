#pragma once

#include <QString>
#include <QtGlobal>

namespace gainbook {

// Which records the main window's grid shows.
enum class RecordView { Transactions, Tax };

// The ID cell of a row that has no record yet.
inline constexpr int kNewRowId = 9999;

// Text colour of a row that could not be written (a QRgb: opaque red).
inline constexpr quint32 kErrorColor = 0xFFFF0000u;

// The outline item the grid is filled for: its text, its level and the
// account at or above it.
struct OutlineSelection {
    int index = -1;
    QString text;
    int level = 0;
    QString account;

    bool isValid() const { return index >= 0 && !account.isEmpty(); }
    bool isAccount() const { return level == 1; }
};

} // namespace gainbook

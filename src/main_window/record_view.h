#pragma once

#include <QString>
#include <QtGlobal>

namespace gainbook {

// Which records the main window's grid shows.
enum class RecordView { Transactions, Tax };

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

#pragma once

#include "main_window/record_view.h"

#include <QObject>

#include <functional>

class QWidget;

namespace gainbook {

class AppContext;
class Outline;
class Prompter;
class RecordGridPane;

// The outline of accounts and months on the main window's left: rebuilt
// from the database, selecting an item fills the grid, Delete removes an
// item's records.
class AccountOutlinePane : public QObject {
    Q_OBJECT

public:
    AccountOutlinePane(AppContext& context, Prompter& prompter, RecordGridPane& grid,
                       QWidget* parent);

    Outline* Outline1 = nullptr;

    OutlineSelection selection() const;
    // Selects the item that names the same account or month again after a
    // rebuild; false when it is gone.
    bool reselect(const OutlineSelection& item);

    // Called once when a rebuild finds no account at all (the capture
    // screen, when it is there).
    void setFirstEmptyRebuild(std::function<void()> action) { onFirstEmpty_ = std::move(action); }

public slots:
    void DisplayList();
    void Outline1_Click(int index);
    void Outline1_KeyDown(int key, Qt::KeyboardModifiers shift);

signals:
    void statusText(const QString& text);

private:
    AppContext& context_;
    Prompter& prompter_;
    RecordGridPane& grid_;
    std::function<void()> onFirstEmpty_;
    bool emptyActionDone_ = false;
};

} // namespace gainbook

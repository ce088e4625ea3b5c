#pragma once

#include <QDialog>
#include <QObject>

#include <functional>

class QAction;
class QListWidget;
class QMenu;
class QPoint;

namespace gainbook {

class AppContext;
class Prompter;
class RecordGridPane;
struct Outcome;

// The user's pick among the rows a send or a receive may be linked to.
class TransferPickDialog : public QDialog {
    Q_OBJECT

public:
    TransferPickDialog(const QString& prompt, const QStringList& choices, QWidget* parent);

    QListWidget* lstChoices = nullptr; // nearest first; the first is picked
};

// "Link Transfer..." on the transactions grid: a send or a receive of
// another account's row linked by hand, or "Unlink Transfer" on a linked
// one, through the same core commands as gainbook-cli's transfer-link and
// transfer-unlink. It sits in the grid's context menu and in the Tool menu.
class TransferLinkCommands : public QObject {
    Q_OBJECT

public:
    TransferLinkCommands(AppContext& context, Prompter& prompter, RecordGridPane& grid,
                         QMenu* toolMenu, QWidget* window);

    QAction* actLinkTransfer = nullptr; // "Link &Transfer..." or "Unlink &Transfer"

    // Runs the pick; tests replace it. Accepted with the list's current row
    // picked.
    std::function<int(TransferPickDialog&)> runPick;

    // Asked before the grid is read again over its unsaved edits: false
    // leaves everything as it is.
    std::function<bool()> mayLeaveEdits;

public slots:
    // Names the action after the grid's current row and enables it on a
    // stored send or receive in the transactions view.
    void updateAction();
    void actLinkTransfer_Click();

signals:
    void statusText(const QString& text);

private:
    void showContextMenu(const QPoint& at);
    // Tells how it went and shows the grid afresh on the row.
    void tellAndRefill(Outcome outcome, qint64 rowId);

    AppContext& context_;
    Prompter& prompter_;
    RecordGridPane& grid_;
    QWidget* window_;
};

} // namespace gainbook

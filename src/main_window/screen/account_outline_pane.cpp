#include "main_window/screen/account_outline_pane.h"

#include "main_window/account_outline.h"
#include "main_window/delete_list.h"
#include "main_window/screen/record_grid_pane.h"
#include "platform/prompter.h"
#include "startup/app_context.h"
#include "store/store_error.h"
#include "widgets/outline.h"

namespace gainbook {

AccountOutlinePane::AccountOutlinePane(AppContext& context, Prompter& prompter,
                                       RecordGridPane& grid, QWidget* parent)
    : QObject(parent), context_(context), prompter_(prompter), grid_(grid) {
    Outline1 = new Outline(parent);
    Outline1->setObjectName(QStringLiteral("Outline1"));
    connect(Outline1, &Outline::listClicked, this, &AccountOutlinePane::Outline1_Click);
    connect(Outline1, &Outline::keyDown, this, &AccountOutlinePane::Outline1_KeyDown);
}

OutlineSelection AccountOutlinePane::selection() const {
    OutlineSelection s;
    s.index = Outline1->listIndex();
    if (s.index < 0)
        return s;
    s.text = Outline1->itemText(s.index);
    s.level = Outline1->itemLevel(s.index);
    for (int i = s.index; i >= 0; --i) {
        if (Outline1->itemLevel(i) == 1) {
            s.account = Outline1->itemText(i);
            break;
        }
    }
    return s;
}

bool AccountOutlinePane::reselect(const OutlineSelection& item) {
    if (!item.isValid())
        return false;
    int account = -1;
    for (int i = 0; i < Outline1->listCount(); ++i) {
        if (Outline1->itemLevel(i) == 1)
            account = Outline1->itemText(i) == item.account ? i : -1;
        if (account < 0 || Outline1->itemLevel(i) != item.level ||
            Outline1->itemText(i) != item.text)
            continue;
        if (item.level != 1)
            Outline1->setItemExpanded(account, true);
        Outline1->setListIndex(i);
        return true;
    }
    return false;
}

void AccountOutlinePane::DisplayList() {
    QVector<OutlineItem> items;
    try {
        items = loadOutline(context_.database().connection());
    } catch (const StoreError& e) {
        emit statusText(QStringLiteral("Accounts could not be read: ") + e.message());
    }
    Outline1->clearItems();
    for (const OutlineItem& item : items)
        Outline1->addItem(item.text, item.level);
    if (items.isEmpty() && onFirstEmpty_ && !emptyActionDone_) {
        emptyActionDone_ = true;
        onFirstEmpty_();
    }
}

void AccountOutlinePane::Outline1_Click(int index) {
    if (index < 0)
        return;
    if (grid_.hasUnsavedEdits()) {
        if (!prompter_.ask(QStringLiteral("Are you sure you want to ignore changes?"))) {
            // The highlight goes back to the item whose edits are kept.
            reselect(grid_.filledFor());
            return;
        }
        grid_.setUnsavedEdits(false);
    }
    Outline1->toggleInPlace(index);
    grid_.ClearGrid();
    grid_.fill();
}

void AccountOutlinePane::Outline1_KeyDown(int key, Qt::KeyboardModifiers) {
    const OutlineSelection s = selection();
    if (key != Qt::Key_Delete || s.index < 0)
        return;
    QString question;
    try {
        question = deleteListQuestion(context_.database().connection(), grid_.view(), s);
    } catch (const StoreError& e) {
        emit statusText(
            QStringLiteral("Records of %1 were not deleted: %2").arg(s.text, e.message()));
        return;
    }
    if (!prompter_.ask(question))
        return;
    const QString failure = DeleteList(context_.database().connection(), grid_.view(), s);
    if (!failure.isEmpty())
        emit statusText(failure);
    grid_.setUnsavedEdits(false);
    grid_.ClearGrid();
    DisplayList();
}

} // namespace gainbook

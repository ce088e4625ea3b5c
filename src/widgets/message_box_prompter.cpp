#include "widgets/message_box_prompter.h"

#include <QInputDialog>
#include <QMessageBox>

namespace gainbook {

void MessageBoxPrompter::message(const QString& text) {
    QMessageBox::information(parent_, title(), text, QMessageBox::Ok);
}

bool MessageBoxPrompter::ask(const QString& question) {
    return QMessageBox::question(parent_, title(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> MessageBoxPrompter::askText(const QString& question,
                                                   const QString& proposed) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, title(), question, QLineEdit::Normal, proposed, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace gainbook

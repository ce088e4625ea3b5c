#include "widgets/message_box_prompter.h"

#include <QMessageBox>

namespace gainbook {

void MessageBoxPrompter::message(const QString& text) {
    QMessageBox::information(parent_, title(), text, QMessageBox::Ok);
}

bool MessageBoxPrompter::ask(const QString& question) {
    return QMessageBox::question(parent_, title(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace gainbook

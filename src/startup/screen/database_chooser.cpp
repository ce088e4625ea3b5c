#include "startup/screen/database_chooser.h"

#include "startup/database_location.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace gainbook {

DatabaseChoice chooseDatabaseFile(QWidget* parent, const QString& directory) {
    const QString filter = QStringLiteral("Gainbook database (*.db);;All files (*)");
    for (;;) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Gainbook"),
                        QStringLiteral("No database file was found. Open an existing Gainbook "
                                       "database, or create a new, empty one?"),
                        QMessageBox::NoButton, parent);
        QPushButton* open =
            box.addButton(QStringLiteral("&Open Existing..."), QMessageBox::AcceptRole);
        QPushButton* create =
            box.addButton(QStringLiteral("Create &New..."), QMessageBox::ActionRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(open);
        box.exec();
        if (box.clickedButton() == open) {
            const QString path = QFileDialog::getOpenFileName(
                parent, QStringLiteral("Open Database"), directory, filter);
            if (!path.isEmpty())
                return {DatabaseChoice::OpenExisting, path};
        } else if (box.clickedButton() == create) {
            QFileDialog dialog(parent, QStringLiteral("New Database"),
                               QDir(directory).filePath(kDefaultDatabaseName), filter);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("db"));
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
                return {DatabaseChoice::CreateNew, dialog.selectedFiles().constFirst()};
        } else {
            return {};
        }
    }
}

} // namespace gainbook

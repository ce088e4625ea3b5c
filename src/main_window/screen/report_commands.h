#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace gainbook {

class AppContext;
class Prompter;

// "File > Tax Report...": the tax year's report of every account, written
// as a PDF or a CSV file chosen in a save dialog.
class ReportCommands : public QObject {
    Q_OBJECT

public:
    ReportCommands(AppContext& context, Prompter& prompter, QWidget* window);

    // Asks for the file to write; empty when the user cancelled. Tests
    // replace it.
    std::function<QString()> chooseFile;

public slots:
    void mnuReport_Click();

signals:
    void statusText(const QString& text);

private:
    AppContext& context_;
    Prompter& prompter_;
    QWidget* window_;
};

} // namespace gainbook

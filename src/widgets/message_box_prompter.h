#pragma once

#include "platform/prompter.h"

#include <QPointer>
#include <QWidget>

namespace gainbook {

// Questions and messages as message boxes over a window, titled with the
// application's name.
class MessageBoxPrompter final : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void message(const QString& text) override;
    bool ask(const QString& question) override;
    std::optional<QString> askText(const QString& question, const QString& proposed) override;

    static QString title() { return QStringLiteral("Gainbook"); }

private:
    QPointer<QWidget> parent_;
};

} // namespace gainbook

#pragma once

#include "platform/prompter.h"

#include <QTextStream>

#include <optional>

namespace gainbook {

// Answers every question from the command line: --yes, --no, or No with the
// question printed, so a script never writes behind an unanswered question.
class CliPrompter final : public Prompter {
public:
    CliPrompter(QTextStream& out, std::optional<bool> answer);

    void message(const QString& text) override;
    bool ask(const QString& question) override;

    // Whether a message was shown; commands use it to pick their exit code.
    int messageCount() const { return messages_; }

private:
    QTextStream& out_;
    std::optional<bool> answer_;
    int messages_ = 0;
};

} // namespace gainbook

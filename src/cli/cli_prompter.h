#pragma once

#include "platform/prompter.h"

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace gainbook {

// Answers every question from the command line: --yes, --no, or No with the
// question printed, so a script never writes behind an unanswered question.
//
// A command's messages are held until it ends and then printed where they
// belong: with the results on standard output when the command did what was
// asked, on standard error with the other refusals and failures when it did
// not. The questions are printed when they are asked.
class CliPrompter final : public Prompter {
public:
    CliPrompter(QTextStream& out, std::optional<bool> answer);

    void message(const QString& text) override;
    bool ask(const QString& question) override;

    // Whether a message was shown; commands use it to pick their exit code.
    int messageCount() const { return int(held_.size()); }

    // Prints the messages held so far to the stream and lets them go.
    void flushMessages(QTextStream& stream);

private:
    QTextStream& out_;
    std::optional<bool> answer_;
    QStringList held_;
};

} // namespace gainbook

#include "cli/cli_prompter.h"

namespace gainbook {

CliPrompter::CliPrompter(QTextStream& out, std::optional<bool> answer)
    : out_(out), answer_(answer) {}

void CliPrompter::message(const QString& text) {
    held_ << text;
}

void CliPrompter::flushMessages(QTextStream& stream) {
    for (const QString& text : std::as_const(held_))
        stream << text << '\n';
    stream.flush();
    held_.clear();
}

bool CliPrompter::ask(const QString& question) {
    if (!answer_) {
        out_ << question << '\n' << "No\n";
        out_.flush();
    }
    return answer_.value_or(false);
}

} // namespace gainbook

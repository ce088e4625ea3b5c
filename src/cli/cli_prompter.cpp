#include "cli/cli_prompter.h"

namespace gainbook {

CliPrompter::CliPrompter(QTextStream& out, std::optional<bool> answer)
    : out_(out), answer_(answer) {}

void CliPrompter::message(const QString& text) {
    ++messages_;
    out_ << text << '\n';
    out_.flush();
}

bool CliPrompter::ask(const QString& question) {
    if (!answer_) {
        out_ << question << '\n' << "No\n";
        out_.flush();
    }
    return answer_.value_or(false);
}

} // namespace gainbook

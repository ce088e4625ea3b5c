#pragma once

#include <QString>

namespace gainbook {

// How a matching command ended. A command that stopped with one of the
// system's messages has already shown it through the Prompter; a failure of
// the database has been rolled back and its text is left to the caller to
// report (a message box on screen, standard error in the command-line tool).
struct MatchOutcome {
    enum class Status { Done, Stopped, Failed };

    Status status = Status::Done;
    QString message; // the text shown, or the failure

    bool done() const { return status == Status::Done; }
    bool failed() const { return status == Status::Failed; }

    static MatchOutcome stopped(QString text) { return {Status::Stopped, std::move(text)}; }
    static MatchOutcome failure(QString text) { return {Status::Failed, std::move(text)}; }
};

} // namespace gainbook

#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <utility>

namespace gainbook {

// How a command ended, the one shape every core command reports in. Screens
// show the message in a message box (and the details below it); the
// command-line tool prints it and maps the status to its exit code.
struct Outcome {
    enum class Status {
        Done,    // everything asked was done; message may confirm it
        Stopped, // ended with one of the system's messages: nothing, or not
                 // everything, was done (the user said No, no data, a refused input)
        Failed   // the database or a file failed; what could be was rolled back
    };

    Status status = Status::Done;
    QString message;     // for the user; empty when there is nothing to say
    qint64 count = 0;    // rows added, records written, lots detached, ...
    QStringList details; // further lines a screen or the tool shows below the message

    bool done() const { return status == Status::Done; }
    bool stopped() const { return status == Status::Stopped; }
    bool failed() const { return status == Status::Failed; }

    static Outcome ok(qint64 count = 0, QString message = {}) {
        return {Status::Done, std::move(message), count, {}};
    }
    static Outcome stop(QString message, qint64 count = 0) {
        return {Status::Stopped, std::move(message), count, {}};
    }
    static Outcome failure(QString message, qint64 count = 0) {
        return {Status::Failed, std::move(message), count, {}};
    }
};

} // namespace gainbook

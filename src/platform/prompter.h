#pragma once

#include <QString>

#include <optional>

namespace gainbook {

// Every question a core routine puts to the user goes through here: screens
// pass one backed by message boxes, the command-line tool one that answers
// from its flags, tests one that records the texts and gives scripted answers.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box with an OK button.
    virtual void message(const QString& text) = 0;

    // A message box with Yes and No buttons; true for Yes.
    virtual bool ask(const QString& question) = 0;

    // A box to type a name in, filled with the proposed one; nothing when
    // it is cancelled or there is no one to ask, which leaves the caller's
    // own choice standing.
    virtual std::optional<QString> askText(const QString& question, const QString& proposed) {
        Q_UNUSED(question);
        Q_UNUSED(proposed);
        return std::nullopt;
    }
};

} // namespace gainbook

#pragma once

#include <QString>

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
};

} // namespace gainbook

#pragma once

#include "platform/prompter.h"

#include <QQueue>
#include <QStringList>

namespace gainbook::test {

// Records every text shown and answers questions from a script (No when the
// script has run out).
class RecordingPrompter final : public Prompter {
public:
    void message(const QString& text) override { messages << text; }
    bool ask(const QString& question) override {
        questions << question;
        return answers.isEmpty() ? false : answers.dequeue();
    }

    QStringList messages;
    QStringList questions;
    QQueue<bool> answers;
};

} // namespace gainbook::test

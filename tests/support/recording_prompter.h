#pragma once

#include "platform/prompter.h"

#include <QQueue>
#include <QStringList>

#include <functional>
#include <optional>

namespace gainbook::test {

// Records every text shown and answers questions from a script (No when the
// script has run out). onMessage and onQuestion, when set, run as each
// message is shown and each question asked.
class RecordingPrompter final : public Prompter {
public:
    void message(const QString& text) override {
        messages << text;
        if (onMessage)
            onMessage();
    }
    bool ask(const QString& question) override {
        questions << question;
        if (onQuestion)
            onQuestion();
        return answers.isEmpty() ? false : answers.dequeue();
    }
    // Records "question [proposed]" among the questions.
    std::optional<QString> askText(const QString& question, const QString& proposed) override {
        questions << question + QStringLiteral(" [") + proposed + u']';
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.dequeue();
    }

    QStringList messages;
    QStringList questions;
    QQueue<bool> answers;
    QQueue<std::optional<QString>> textAnswers;
    std::function<void()> onMessage;
    std::function<void()> onQuestion;
};

} // namespace gainbook::test

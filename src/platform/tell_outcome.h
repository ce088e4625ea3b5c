#pragma once

#include "platform/outcome.h"
#include "platform/prompter.h"

namespace gainbook {

// Shows how a command ended: its message, then each detail line, one
// message box each; nothing for an empty message.
inline void tellOutcome(Prompter& prompter, const Outcome& outcome) {
    if (!outcome.message.isEmpty())
        prompter.message(outcome.message);
    for (const QString& line : outcome.details)
        prompter.message(line);
}

} // namespace gainbook

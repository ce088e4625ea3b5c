#pragma once

namespace gainbook {

// For a process that runs one large batch and ends (the command-line tool):
// memory freed by one step of the batch stays with the process and goes to
// the next step, instead of going back to the system and being asked for
// again. A capture frees its read sheet just before the store builds its
// pages and sorts its indexes; each page asked for anew costs a fault, which
// at a million rows is a good part of the run. Does nothing where the C
// library offers no such setting. Where the system has large pages, the
// memory the batch is about to touch is asked for in them.
void keepFreedMemoryForNextSteps();

} // namespace gainbook

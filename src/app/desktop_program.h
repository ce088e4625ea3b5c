#pragma once

namespace gainbook {

// The desktop program: start sequence, then the main window until it
// closes. Returns the process exit code.
int runDesktopProgram(int argc, char** argv);

} // namespace gainbook

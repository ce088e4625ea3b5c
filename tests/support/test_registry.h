#pragma once

// The test classes a test program holds, as main() (support/test_main.cpp)
// finds them. Test files do not use this directly: support/test_main.h
// registers a class for them.

namespace gainbook::test {

// Runs one class as Qt Test's own main would, with argv holding only Qt
// Test's options; Qt Test's exit code.
using RunTestClass = int (*)(int argc, char** argv);

// Adds a class to those main() knows, before main() runs; always true, so
// that a static initializer can call it.
bool registerTestClass(const char* name, RunTestClass run);

} // namespace gainbook::test

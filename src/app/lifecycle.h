#pragma once
// Ending the program from any window: the request is remembered (tests read it)
// and the application's event loop is told to quit.
namespace orv {
void terminateProgram();
bool programTerminated();
void resetProgramTerminated();
} // namespace orv

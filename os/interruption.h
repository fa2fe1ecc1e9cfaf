// The user's request to stop a program run from a terminal: SIGINT and
// SIGTERM on POSIX; Ctrl-C, Ctrl-Break and closing the console on Windows.
// One file per platform (interruption_posix.cpp, interruption_win32.cpp).
#pragma once

// From here on the first request sets the flag that interruptionRequested
// reads, and the program goes on to finish its work in order; a second one
// ends the process at once with exitStatus.
void catchInterruptions(int exitStatus);

// Whether the first request has come. Any thread may ask.
bool interruptionRequested();

// The program has told everything: a console that is being closed may go
// (Windows waits for this before it ends the process); nothing on POSIX.
void interruptionsHandled();

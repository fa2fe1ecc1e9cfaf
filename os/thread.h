// A thread that runs one function to its end: one file per platform
// (thread_posix.cpp with pthreads, thread_win32.cpp with _beginthreadex, as
// the win32 thread model of MinGW has no std::thread).
#pragma once

#include <cstdint>

#include "os/result.h"

struct OsThread {
  void (*run)(void* argument) = nullptr;
  void* argument = nullptr;
  intptr_t handle = 0;  // a pthread_t or a Win32 HANDLE; 0 when not started
};

// Starts run(argument) on a new thread. thread must stay in place until
// joinThread or releaseThread. Fails when the system refuses a thread
// (nothing runs then).
OsResult startThread(OsThread& thread, void (*run)(void* argument), void* argument);

// Waits for the thread's end and releases it; nothing when not started.
void joinThread(OsThread& thread);

// Pauses the calling thread, through interruptions by signals.
void sleepMilliseconds(uint32_t milliseconds);

// Lets go of a thread that has ended (waited for by other means); nothing
// when not started.
void releaseThread(OsThread& thread);

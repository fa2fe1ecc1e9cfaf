// A thread that runs one function to its end, for the reader's per-port
// workers: one file per platform (worker_thread_posix.cpp with pthreads,
// worker_thread_win32.cpp with _beginthreadex, as the win32 thread model of
// MinGW has no std::thread).
#pragma once

#include <cstdint>

struct WorkerThread {
  void (*run)(void* argument) = nullptr;
  void* argument = nullptr;
  intptr_t handle = 0;  // a pthread_t or a Win32 HANDLE; 0 when not started
};

// Starts run(argument) on a new thread. thread must stay in place until
// joinWorkerThread. false when the system refuses a thread (nothing runs).
bool startWorkerThread(WorkerThread& thread, void (*run)(void* argument), void* argument);

// Waits for the thread's end and releases it; nothing when not started.
void joinWorkerThread(WorkerThread& thread);

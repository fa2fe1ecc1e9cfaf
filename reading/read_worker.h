// The worker thread that runs the read cycles beside the dialog, and the
// requests the dialog's Read button makes of it. The thread and its events
// are the platform's (read_worker_win32.cpp); what the dialog shows around a
// cycle is told through ReadWorkerView, which the user interface implements.
#pragma once

#include "protocol/results.h"
#include "protocol/status.h"
#include "os/thread.h"
#include "reading/control_flags.h"
#include "reading/read_cycle.h"

// What the worker tells the dialog, in this order for each cycle:
// cycleStarting, cycleWaiting, statusText for each progress text, then
// cycleEnded. Every call is made on the worker thread and returns only once
// the dialog has carried it out.
struct ReadWorkerView {
  void* context;
  // A cycle begins: the last cycle's results are no longer to be exported.
  void (*cycleStarting)(void* context);
  // The first request is about to go out: show that the worker waits.
  void (*cycleWaiting)(void* context);
  // A progress text for the status line (Windows-1251).
  void (*statusText)(void* context, const char* text);
  // The cycle returned result; when it is 0, results hold the six value
  // texts and may be read by the dialog until the next cycleStarting.
  void (*cycleEnded)(void* context, StatusCode result, const ResultStore& results);
};

// A Win32 HANDLE, kept opaque so that callers need no platform header.
using WorkerHandle = void*;

struct ReadWorker {
  ControlFlags* flags;
  WorkerHandle startedEvent;  // WorkerStartedEvent: signalled on every pass of the loop
  WorkerHandle wakeEvent;     // auto-reset: a read was requested, or the shell quits
  OsThread thread;            // not started until the first Read press
  ReadWorkerView view;
  ReadContext read;
};

// Creates the two events (auto-reset, not signalled, unnamed). False when
// either cannot be created.
bool createWorkerEvents(ReadWorker& worker);

// The Read button was released during a cycle: the cycle stops after the
// parameter in progress.
void cancelRead(ReadWorker& worker);

// The Read button was pressed again while a cancelled cycle still runs: true
// (and Busy cleared) when the worker is busy, so the press starts nothing.
bool releaseBusyPress(ReadWorker& worker);

// Requests a cycle: sets ReadRequested and wakes the worker, or, the first
// time, starts it and waits at most 1000 ms for its first signal. false when
// the thread cannot be started; the request is then withdrawn.
bool requestRead(ReadWorker& worker);

// At shutdown: sets QuitRequested and wakes the idle worker. A cycle in
// progress runs to its end first; the caller then waits for worker.thread
// (when not null) and closes it with closeWorkerThread.
void requestWorkerQuit(ReadWorker& worker);
void closeWorkerThread(ReadWorker& worker);

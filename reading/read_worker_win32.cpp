#include "reading/read_worker.h"

#include <windows.h>
#include <process.h>

#include "protocol/trace.h"

namespace {

constexpr DWORD kWorkerStartWaitMs = 1000;
// Only when waiting on the wake event itself fails: the worker then looks at
// the flags this often instead of spinning.
constexpr DWORD kFallbackPollMs = 50;

void setStatusLineText(void* context, const char* text) {
  const ReadWorkerView& view = static_cast<const ReadWorker*>(context)->view;
  view.statusText(view.context, text);
}

void waitForWork(const ReadWorker& worker) {
  if (WaitForSingleObject(worker.wakeEvent, INFINITE) == WAIT_FAILED) Sleep(kFallbackPollMs);
}

// One cycle and what the dialog is told before and after it.
void runOneCycle(ReadWorker& worker) {
  ControlFlags& flags = *worker.flags;
  const ReadWorkerView& view = worker.view;
  setFlag(flags, kBusy);
  clearFlag(flags, kReadRequested);
  clearFlag(flags, kCancelRequested);
  view.cycleStarting(view.context);
  writeTrace(kTraceOut, ZORT_TRACE_CYCLE_STARTED);
  SetEvent(worker.startedEvent);
  view.cycleWaiting(view.context);

  const StatusLine statusLine{setStatusLineText, &worker};
  const StatusCode result = runReadCycle(statusLine, flags, worker.read);
  view.cycleEnded(view.context, result, *worker.read.results);
}

void readWorker(void* argument) {
  ReadWorker& worker = *static_cast<ReadWorker*>(argument);
  ControlFlags& flags = *worker.flags;
  setFlag(flags, kWorkerStarted);
  writeTrace(kTraceOut, ZORT_TRACE_WORKER_STARTS, flags.load());
  while (!testFlag(flags, kQuitRequested)) {
    SetEvent(worker.startedEvent);
    // Idle: sleep until a Read press or the shell's shutdown signals the
    // wake event, rather than looking at the flags without pause.
    if (!testFlag(flags, kReadRequested)) {
      waitForWork(worker);
      continue;
    }
    runOneCycle(worker);
  }
  writeTrace(kTraceOut, ZORT_TRACE_WORKER_ENDS);
  _endthreadex(0);
}

}  // namespace

bool createWorkerEvents(ReadWorker& worker) {
  worker.startedEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  worker.wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return worker.startedEvent != nullptr && worker.wakeEvent != nullptr;
}

void cancelRead(ReadWorker& worker) { setFlag(*worker.flags, kCancelRequested); }

bool releaseBusyPress(ReadWorker& worker) {
  if (!testFlag(*worker.flags, kBusy)) return false;
  clearFlag(*worker.flags, kBusy);
  return true;
}

bool requestRead(ReadWorker& worker) {
  ControlFlags& flags = *worker.flags;
  setFlag(flags, kReadRequested);
  if (testFlag(flags, kWorkerStarted) || worker.thread.handle != 0) {
    SetEvent(worker.wakeEvent);
    return true;
  }
  if (!startThread(worker.thread, readWorker, &worker).ok()) {
    clearFlag(flags, kReadRequested);
    return false;
  }
  WaitForSingleObject(worker.startedEvent, kWorkerStartWaitMs);
  return true;
}

void requestWorkerQuit(ReadWorker& worker) {
  setFlag(*worker.flags, kQuitRequested);
  if (worker.wakeEvent != nullptr) SetEvent(worker.wakeEvent);
}

void closeWorkerThread(ReadWorker& worker) { releaseThread(worker.thread); }

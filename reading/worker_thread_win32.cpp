#include <windows.h>

#include <process.h>

#include "reading/worker_thread.h"

namespace {

unsigned __stdcall threadEntry(void* context) {
  auto& thread = *static_cast<WorkerThread*>(context);
  thread.run(thread.argument);
  return 0;
}

}  // namespace

bool startWorkerThread(WorkerThread& thread, void (*run)(void* argument), void* argument) {
  thread.run = run;
  thread.argument = argument;
  const uintptr_t handle = _beginthreadex(nullptr, 0, threadEntry, &thread, 0, nullptr);
  thread.handle = static_cast<intptr_t>(handle);
  return handle != 0;
}

void joinWorkerThread(WorkerThread& thread) {
  if (thread.handle == 0) return;
  const auto handle = reinterpret_cast<HANDLE>(thread.handle);
  WaitForSingleObject(handle, INFINITE);
  CloseHandle(handle);
  thread.handle = 0;
}

#include <windows.h>

#include <process.h>

#include <cerrno>

#include "os/thread.h"

namespace {

unsigned __stdcall threadEntry(void* context) {
  auto& thread = *static_cast<OsThread*>(context);
  thread.run(thread.argument);
  return 0;
}

}  // namespace

OsResult startThread(OsThread& thread, void (*run)(void* argument), void* argument) {
  thread.run = run;
  thread.argument = argument;
  const uintptr_t handle = _beginthreadex(nullptr, 0, threadEntry, &thread, 0, nullptr);
  thread.handle = static_cast<intptr_t>(handle);
  if (handle != 0) return osSuccess();
  // _beginthreadex tells the system's code through _doserrno.
  return osFailure(static_cast<SystemErrorCode>(_doserrno != 0 ? _doserrno : ERROR_NOT_ENOUGH_MEMORY));
}

void joinThread(OsThread& thread) {
  if (thread.handle == 0) return;
  const auto handle = reinterpret_cast<HANDLE>(thread.handle);
  WaitForSingleObject(handle, INFINITE);
  CloseHandle(handle);
  thread.handle = 0;
}

void releaseThread(OsThread& thread) {
  if (thread.handle == 0) return;
  CloseHandle(reinterpret_cast<HANDLE>(thread.handle));
  thread.handle = 0;
}

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

#include <pthread.h>
#include <time.h>

#include <cerrno>

#include "os/thread.h"

namespace {

void* threadEntry(void* context) {
  auto& thread = *static_cast<OsThread*>(context);
  thread.run(thread.argument);
  return nullptr;
}

}  // namespace

OsResult startThread(OsThread& thread, void (*run)(void* argument), void* argument) {
  thread.run = run;
  thread.argument = argument;
  pthread_t id{};
  const int failure = pthread_create(&id, nullptr, threadEntry, &thread);
  if (failure != 0) {
    thread.handle = 0;
    return osFailure(static_cast<SystemErrorCode>(failure));
  }
  thread.handle = static_cast<intptr_t>(id);
  return osSuccess();
}

void joinThread(OsThread& thread) {
  if (thread.handle == 0) return;
  pthread_join(static_cast<pthread_t>(thread.handle), nullptr);
  thread.handle = 0;
}

void releaseThread(OsThread& thread) {
  if (thread.handle == 0) return;
  pthread_detach(static_cast<pthread_t>(thread.handle));
  thread.handle = 0;
}

void sleepMilliseconds(uint32_t milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

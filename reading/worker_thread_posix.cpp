#include <pthread.h>

#include "reading/worker_thread.h"

namespace {

void* threadEntry(void* context) {
  auto& thread = *static_cast<WorkerThread*>(context);
  thread.run(thread.argument);
  return nullptr;
}

}  // namespace

bool startWorkerThread(WorkerThread& thread, void (*run)(void* argument), void* argument) {
  thread.run = run;
  thread.argument = argument;
  pthread_t id{};
  if (pthread_create(&id, nullptr, threadEntry, &thread) != 0) {
    thread.handle = 0;
    return false;
  }
  thread.handle = static_cast<intptr_t>(id);
  return true;
}

void joinWorkerThread(WorkerThread& thread) {
  if (thread.handle == 0) return;
  pthread_join(static_cast<pthread_t>(thread.handle), nullptr);
  thread.handle = 0;
}

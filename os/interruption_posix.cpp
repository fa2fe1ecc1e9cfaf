#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "os/interruption.h"

namespace {

std::atomic<bool> requested{false};
int secondExitStatus = 1;

static_assert(std::atomic<bool>::is_always_lock_free, "read and set in a signal handler");

void onSignal(int) {
  if (requested.exchange(true)) _exit(secondExitStatus);
}

}  // namespace

void catchInterruptions(int exitStatus) {
  secondExitStatus = exitStatus;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  // Calls under way go on (reads, waits, joins) rather than fail with EINTR.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool interruptionRequested() { return requested.load(); }

void interruptionsHandled() {}

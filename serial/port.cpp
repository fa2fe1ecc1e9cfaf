#include "serial/port.h"

#include <cstring>

#include "os/system_error.h"
#include "os/thread.h"

namespace {

// A close waits this long before it releases the port, as the dialog always
// has. Nothing relies on the pause for safety: a close during a transaction
// is deferred (PortConnection).
constexpr uint32_t kClosePauseMs = 1;

// Called by exactly one side: the one that saw the port unused last. The
// state drops to 0 only after the handle is gone, so an open that follows
// never meets a handle still being released.
void releaseHandle(PortConnection& connection) {
  const PortHandle handle = connection.handle.exchange(kNoPort);
  if (handle != kNoPort) backendClose(handle);
  connection.state.store(0);
}

// The reason given for a port that another program holds, in UTF-8 like the
// system's reasons it stands in for.
constexpr char8_t kPortBusyReason[] = u8"порт занят другой программой";

// Keeps the system's reason for a failure, then returns its code.
StatusCode openFailed(PortConnection& connection, StatusCode status) {
  const SystemErrorCode error = lastSystemError();
  if (status == kStatusOpenFailed && backendPortBusy(error)) {
    static_assert(sizeof kPortBusyReason <= sizeof connection.openFailure);
    std::memcpy(connection.openFailure.data(), kPortBusyReason, sizeof kPortBusyReason);
    return status;
  }
  systemErrorText(error, connection.openFailure.data(), connection.openFailure.size());
  return status;
}

}  // namespace

StatusCode openPort(PortConnection& connection, const char* name, const char* mode) {
  connection.openFailure[0] = '\0';
  if (connection.state.load() != 0) {
    closePort(connection);
    // Still in use by a transaction: its handle is released when it ends.
    if (connection.state.load() != 0) return kStatusOpenFailed;
  }
  if (name == nullptr || name[0] == '\0') return kStatusOpenFailed;

  PortHandle handle = kNoPort;
  if (!backendOpenDevice(name, &handle)) return openFailed(connection, kStatusOpenFailed);
  if (!backendApplyLineMode(handle, mode)) {
    const StatusCode status = openFailed(connection, kStatusDcbFailed);
    backendClose(handle);
    return status;
  }
  if (!backendApplyTimeouts(handle)) {
    const StatusCode status = openFailed(connection, kStatusTimeoutsFailed);
    backendClose(handle);
    return status;
  }
  backendSetupQueues(handle);

  connection.handle.store(handle);
  connection.state.store(kPortOpen);
  return kStatusOk;
}

const char* openFailureText(const PortConnection& connection) {
  return connection.openFailure.data();
}

void raiseControlLines(PortConnection& connection) {
  if (!isPortOpen(connection)) return;
  const PortHandle handle = connection.handle.load();
  backendRaiseRts(handle);
  backendRaiseDtr(handle);
}

void closePort(PortConnection& connection) {
  sleepMilliseconds(kClosePauseMs);
  uint32_t state = connection.state.load();
  do {
    if ((state & kPortOpen) == 0 || (state & kPortCloseRequested) != 0) return;
  } while (!connection.state.compare_exchange_weak(state, state | kPortCloseRequested));
  // A transaction in progress releases the handle when it ends; none can
  // start any more.
  if ((state & kPortInUse) == 0) releaseHandle(connection);
}

bool isPortOpen(const PortConnection& connection) {
  const uint32_t state = connection.state.load();
  return (state & kPortOpen) != 0 && (state & kPortCloseRequested) == 0;
}

PortHandle acquirePortUse(PortConnection& connection) {
  uint32_t state = connection.state.load();
  do {
    if (state != kPortOpen) return kNoPort;
  } while (!connection.state.compare_exchange_weak(state, kPortOpen | kPortInUse));
  return connection.handle.load();
}

void releasePortUse(PortConnection& connection) {
  const uint32_t before = connection.state.fetch_and(~static_cast<uint32_t>(kPortInUse));
  if ((before & kPortCloseRequested) != 0) releaseHandle(connection);
}

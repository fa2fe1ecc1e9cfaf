#include "reading/read_port.h"

#include "serial/port.h"

PortReadOutcome readOnePort(const PortReadRequest& request) {
  PortReadOutcome outcome;
  PortConnection connection;
  outcome.openStatus = openPort(connection, request.port, kLineMode);
  if (outcome.openStatus != kStatusOk) {
    outcome.reason = openFailureText(connection);
    outcome.ended = zonedTimeNow();
    return outcome;
  }
  raiseControlLines(connection);

  ReceiveBuffer receive{};
  if (request.statusLine.setText != nullptr)
    request.statusLine.setText(request.statusLine.context, kWaitingText);
  ControlFlags flags{kBusy};
  LinkFailure failure;
  ReadContext context = {&connection, &receive, &outcome.results, request.observer,
                         request.retries, &failure};
  context.stopRequested = request.stopRequested;
  const auto start = std::chrono::steady_clock::now();
  if (request.cycleStart != nullptr) *request.cycleStart = start;
  outcome.cycleStatus = runReadCycle(request.statusLine, flags, context);
  outcome.cycleMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
  outcome.cycleRan = true;
  outcome.mostTries = context.mostTries;
  outcome.ended = zonedTimeNow();
  // A cycle that failed where the system refused a write or a read.
  if (outcome.cycleStatus != kStatusOk) outcome.reason = failure.reason.data();
  closePort(connection);
  return outcome;
}

StatusCode readStatus(const PortReadOutcome& outcome) {
  return outcome.openStatus != kStatusOk ? outcome.openStatus : outcome.cycleStatus;
}

#include "serial/transaction.h"

#include <cstring>

#include "os/system_error.h"
#include "os/thread.h"

namespace {

// After the write: 9 ms a request character plus 40 ms, long enough for the
// request to cross the line at 1200 baud and the instrument to answer.
constexpr uint32_t kPacingPerCharacterMs = 9;
constexpr uint32_t kPacingExtraMs = 40;

// Keeps the system's reason for the failed call just made and tells the
// observer.
void linkFailed(LinkContext& link, const char* operation) {
  const SystemErrorCode code = lastSystemError();
  LinkFailure unused;
  LinkFailure& failure = link.failure != nullptr ? *link.failure : unused;
  systemErrorText(code, failure.reason.data(), failure.reason.size());
  if (link.observer != nullptr && link.observer->onFailure != nullptr)
    link.observer->onFailure(link.observer->context, operation, failure.reason.data());
}

bool writeAll(PortHandle handle, LinkContext& link, const char* request, size_t length) {
  size_t written = 0;
  while (written < length) {
    size_t count = 0;
    if (!backendWrite(handle, request + written, length - written, &count)) {
      linkFailed(link, "write");
      return false;
    }
    // A write that reports no character written has failed too.
    if (count == 0) return false;
    written += count;
  }
  return true;
}

// Reads until a read of up to 40 ms brings nothing, a read fails, or the
// buffer is full; what does not fit stays for the next transaction's purge.
void receiveReply(PortHandle handle, LinkContext& link, ReceiveBuffer& receive) {
  receive.count = 0;
  while (receive.count < receive.bytes.size()) {
    size_t got = 0;
    if (!backendRead(handle, receive.bytes.data() + receive.count,
                     receive.bytes.size() - receive.count, &got)) {
      linkFailed(link, "read");
      break;
    }
    if (got == 0) break;
    receive.count += got;
  }
}

StatusCode exchange(PortHandle handle, LinkContext& link, const char* request, size_t length,
                    uint16_t* decodedLength) {
  backendPurge(handle);
  if (!writeAll(handle, link, request, length)) return kStatusSendFailed;
  if (link.observer != nullptr && link.observer->onSent != nullptr)
    link.observer->onSent(link.observer->context, request, length);

  sleepMilliseconds(kPacingPerCharacterMs * static_cast<uint32_t>(length) + kPacingExtraMs);
  ReceiveBuffer& receive = *link.receive;
  receiveReply(handle, link, receive);
  if (link.observer != nullptr && link.observer->onReceived != nullptr)
    link.observer->onReceived(link.observer->context, receive.bytes.data(), receive.count);
  if (receive.count == 0) return kStatusNoAnswer;

  // The line's echo of the request comes first; data that differs from the
  // request anywhere in its first characters is a reply as it stands.
  size_t start = 0;
  if (receive.count >= length && std::memcmp(receive.bytes.data(), request, length) == 0) {
    start = length;
    if (start == receive.count) return kStatusNoAnswer;
  }

  ReplyStore& store = *link.store;
  const size_t room = store.cursor < store.bytes.size() ? store.bytes.size() - store.cursor : 0;
  const DecodedReply decoded = decodeReplyFrame(receive.bytes.data() + start,
                                                receive.count - start,
                                                store.bytes.data() + store.cursor, room);
  if (decoded.status != kStatusOk) return decoded.status;
  *decodedLength = static_cast<uint16_t>(decoded.length);
  return kStatusOk;
}

}  // namespace

StatusCode transact(LinkContext& link, const char* request, size_t length,
                    uint16_t* decodedLength) {
  *decodedLength = 0;
  if (link.failure != nullptr) link.failure->reason[0] = '\0';
  // A closed port, or one the user is closing, cannot take a request.
  const PortHandle handle = acquirePortUse(*link.port);
  if (handle == kNoPort) return kStatusSendFailed;
  const StatusCode status = exchange(handle, link, request, length, decodedLength);
  releasePortUse(*link.port);
  return status;
}

ReplySlot requestParameter(LinkContext& link, uint8_t code) {
  const RequestFrame frame = buildRequestFrame(code);
  uint16_t length = 0;
  const StatusCode status = transact(link, frame.data(), frame.size(), &length);
  if (status != kStatusOk) return {0, nullptr, status};
  ReplyStore& store = *link.store;
  const ReplySlot slot = {length, store.bytes.data() + store.cursor, kStatusOk};
  store.cursor += static_cast<size_t>(length) + 1;
  return slot;
}

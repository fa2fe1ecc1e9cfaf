// One request/reply exchange on the open port.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/frame.h"
#include "protocol/results.h"
#include "serial/port.h"

// The raw characters of one reply; reused by every transaction.
struct ReceiveBuffer {
  std::array<char, kMaxReplyCharacters> bytes;
  size_t count;
};

// Optional observer of each exchange (the reader's --trace).
struct ExchangeObserver {
  // sent: after the request is written; received: after the reception ends,
  // with the raw characters as they arrived (echo included).
  void (*onSent)(void* context, const char* characters, size_t count);
  void (*onReceived)(void* context, const char* characters, size_t count);
  void* context;
  // Before a further try of the same request, after an exchange that ended
  // with status (7 or 8); attempt counts the tries, the first being 1.
  void (*onRetry)(void* context, uint32_t attempt, StatusCode status) = nullptr;
  // When the system refused a write or a read ("write" or "read"), with its
  // reason (UTF-8); the exchange ends there.
  void (*onFailure)(void* context, const char* operation, const char* reason) = nullptr;
};

// Why the last exchange's write or read failed, in the system's words
// (UTF-8, "Input/output error"); empty when neither did.
struct LinkFailure {
  std::array<char, 160> reason{};
};

struct LinkContext {
  PortConnection* port;
  ReceiveBuffer* receive;
  ReplyStore* store;
  const ExchangeObserver* observer;  // may be null
  LinkFailure* failure = nullptr;    // may be null
};

// Purges, writes, waits 9 ms a character + 40 ms, reads until a read of up to
// 40 ms brings nothing, drops the echo, decodes at the store's cursor.
// 0 with *decodedLength set, or 6, 7, 8. A write the system refuses, or
// one that times out, is 6; a read it refuses ends the reception as a read
// that brought nothing would. Either way the system's reason goes to the
// observer and into link.failure.
StatusCode transact(LinkContext& link, const char* request, size_t length,
                    uint16_t* decodedLength);

// Builds the frame for code and files the outcome; on success the store's
// cursor moves past the reply and its NUL.
ReplySlot requestParameter(LinkContext& link, uint8_t code);

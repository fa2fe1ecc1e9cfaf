// Turns one decoded reply into the value text of its position.
#pragma once

#include <cstddef>

#include "protocol/results.h"
#include "protocol/status.h"

// Decoded reply: 5 header bytes, flags (bit 0: a second text follows), the
// first text and, if flagged, the second (both NUL-terminated, skipped), the
// type byte, the value bytes, and the LRC byte last.
//
// Returns 8 for a reply under 10 bytes or one whose texts, type byte or value
// bytes would reach the LRC byte; nothing is written then. Otherwise returns 0
// (for every type, known or not) and writes the value text of position, and
// for a software version (type 1 at position 0) above 20 also the checksum
// preset of position 2.
StatusCode formatParameter(const ReplySlot& slot, size_t position, ResultStore& results);

// Feeds arbitrary characters through the reply decoder and the parser at
// every position, and the raw bytes straight into the parser too, since
// random characters seldom pass the LRC test.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "protocol/frame.h"
#include "protocol/reply_parser.h"
#include "protocol/results.h"
#include "protocol/trace.h"

namespace {

void formatEveryPosition(const ReplySlot& slot) {
  ResultStore results{};
  for (size_t position = 0; position < kParameterCount; ++position) {
    formatParameter(slot, position, results);
    for (size_t i = 0; i < kParameterCount; ++i)
      if (std::memchr(results[i].text.data(), 0, results[i].text.size()) == nullptr)
        __builtin_trap();  // every value text stays terminated
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  redirectTrace(kTraceOut, nullptr);
  if (size > kMaxReplyCharacters) size = kMaxReplyCharacters;

  // Exactly as large as the input, so the sanitizer sees any read beyond it.
  std::vector<char> characters(data, data + size);
  std::vector<uint8_t> share(kReplyShare);
  const DecodedReply decoded =
      decodeReplyFrame(characters.data(), characters.size(), share.data(), share.size());
  if (decoded.status == kStatusOk) {
    if (decoded.length == 0 || decoded.length + 1 > share.size()) __builtin_trap();
    share.resize(decoded.length);  // the parser must not need the NUL after it
    formatEveryPosition({static_cast<uint16_t>(decoded.length), share.data(), kStatusOk});
  }

  std::vector<uint8_t> raw(data, data + size);
  formatEveryPosition({static_cast<uint16_t>(raw.size()), raw.data(), kStatusOk});
  return 0;
}

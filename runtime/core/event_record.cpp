#include "runtime/core/event_record.h"

#include "runtime/lib/values.h"

namespace zl {

void AppendHandlerWords(const TypedEventArg& arg, std::vector<uint32_t>& words) {
  const auto low = static_cast<uint32_t>(arg.value);
  if (arg.flags & kTypedArgFirstWordOnly) {
    words.push_back(low);
    return;
  }
  const bool twoWords = (arg.flags & kTypedArgBothWords) || arg.type == 0x00010003u ||
                        arg.type == kTypeDateTime || arg.type == 0x80000008u ||
                        arg.type == kTypeLongInt || arg.type == kTypeDouble;
  if (twoWords) {
    words.push_back(low);
    words.push_back(static_cast<uint32_t>(arg.value >> 32));
  } else if (arg.type == kTypeByte) {
    words.push_back(low & 0xFFu);
  } else if (arg.type == kTypeShortInt) {
    words.push_back(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(low & 0xFFFFu))));
  } else {
    words.push_back(low);
  }
}

}  // namespace zl

// The runtime's service entry for support libraries and components.
#pragma once

#include <cstdint>

namespace zl {

inline constexpr int32_t kRuntimeInterfaceVersion = 0x00030005;

// Answers a numbered service request; codes it does not know answer 0.
intptr_t __stdcall Notify(int32_t code, intptr_t arg1, intptr_t arg2);

}  // namespace zl

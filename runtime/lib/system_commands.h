// The core library's commands that meet the system: the message box, reading a
// file, and the delay.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Message (any value), style (Int), caption (optional Text), parent (optional window
// component or Int handle) → the index of the pressed button (IDOK 0 ... IDNO 6).
void MsgBox(ResultRecord* result, int32_t count, ArgRecord* args);
// File name → the whole file as a byte set (empty when it cannot be opened or read).
void ReadFileBytes(ResultRecord* result, int32_t count, ArgRecord* args);
// Milliseconds → sleeps that long without pumping messages (negative: 0).
void Delay(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl

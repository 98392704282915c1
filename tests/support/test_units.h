// Unit types for tests of the unit manager: a real top-level window type and a real
// child control type (a subclassed BUTTON), registered as library 1 of a test
// program exactly as a support library registers its types. Every test unit writes
// what it sees (creation, the private load messages, the events it raises) into
// one shared log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/core/program_descriptor.h"
#include "runtime/core/test_component_blob.h"
#include "runtime/core/window_template.h"

namespace zl::test {

inline constexpr uint32_t kTestWindowTypeCode = 0x00010001;     // a top-level window
inline constexpr uint32_t kReplacedWindowTypeCode = 0x00010002; // a window a second load replaces
inline constexpr uint32_t kTestMenuItemTypeCode = 0x00010003;   // menu items
// kTestComponentTypeCode (0x00010063): the test control.
inline constexpr uint32_t kNeverShownTypeCode = 0x00010064;     // the control, state flag 0x8000
inline constexpr uint32_t kUncreatableTypeCode = 0x00010065;    // no CreateUnit operation
inline constexpr uint32_t kUndispatchedTypeCode = 0x00010066;   // the control, events not dispatched
inline constexpr uint32_t kUnknownTypeCode = 0x00010070;        // outside the table

inline constexpr char kTestWindowClass[] = "ZlTestUnitWindow";

// Component property numbers of the test control (as application code numbers them).
enum TestControlProperty : int32_t {
  kCaptionProperty = 8,   // text: the live caption
  kStyleProperty = 9,     // integer: the stored style word
  kWordProperty = 10,     // truth: a stored word (true only when it is exactly 1)
  kNumberProperty = 11,   // 8-byte number
  kDataProperty = 12,     // byte data
  kFontProperty = 13,     // font record
};

// The support library of the test types.
extern const SupportLibraryRecord kTestUnitLibrary;

// What the test units saw, in order, e.g. "create 16010003", "806F 06010000",
// "raise 16010003 0 -> 0"; the test window also notes its first messages ("minmax",
// "ncc") as its object receives them.
std::vector<std::string>& UnitLog();

// A window unit record of the test window type.
TemplateUnit TestWindowUnit(uint32_t unitId, const char* title, uint32_t flags = kUnitVisible);
// A component record of the test control type with a caption, position and flags.
TemplateUnit TestControlUnit(uint32_t unitId, const char* caption, int32_t left, int32_t top,
                             uint32_t flags = kUnitVisible);

}  // namespace zl::test

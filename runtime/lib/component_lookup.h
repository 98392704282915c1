// The native window of a component named by its identity (window id, unit id).
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

// Reads the native window of a live component object, as the runtime's component
// lookup (FindComponent) answers it. The unit manager installs the reader when it
// starts; until one is installed no component resolves.
using ComponentWindowReader = HWND (*)(void* component);

// Installs (or, with null, removes) the reader of component windows.
void SetComponentWindowReader(ComponentWindowReader reader);

// The live native window of a component, or null when it does not resolve.
HWND FindComponentWindow(uint32_t windowId, uint32_t unitId);

}  // namespace zl

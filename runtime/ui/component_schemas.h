// The blob schemas of every component type, by unit type code: what the template
// compiler and the blob fuzz target read and write without Win32. Portable.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/ui/property_record.h"

namespace zl {

struct ComponentSchema {
  uint32_t typeCode;
  const BlobSchema* schema;
};

// Every component type's schema.
std::span<const ComponentSchema> ComponentSchemas();
// The schema of a unit type code; null when the type has none.
const BlobSchema* FindComponentSchema(uint32_t typeCode);

}  // namespace zl

// Random bytes into the list view's column-table and initial-row-table readers: no
// crash, and whatever a reader accepts writes back to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/ui/list_view_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  if (const auto columns = zl::DecodeColumnTable(bytes)) {
    if (zl::DecodeColumnTable(zl::EncodeColumnTable(*columns)) != columns) std::abort();
  }
  if (const auto rows = zl::DecodeRowTable(bytes)) {
    if (zl::DecodeRowTable(zl::EncodeRowTable(*rows)) != rows) std::abort();
  }
  return 0;
}

// Random bytes into the window template reader: it must never crash, and whatever
// it accepts must write back to bytes that read to the same windows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "runtime/core/window_template.h"

namespace {

bool SameWindows(const std::vector<zl::TemplateWindow>& a, const std::vector<zl::TemplateWindow>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].windowId != b[i].windowId || a[i].reserved1 != b[i].reserved1 || a[i].reserved2 != b[i].reserved2 ||
        a[i].text1 != b[i].text1 || a[i].text2 != b[i].text2 || !(a[i].units == b[i].units)) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t routineCount = data[0] % 4;  // the first byte picks the routine table's size
  const auto windows = zl::ReadWindowTemplate({data + 1, size - 1}, routineCount);
  if (!windows) return 0;
  const std::vector<uint8_t> written = zl::WriteWindowTemplate(*windows);
  const auto again = zl::ReadWindowTemplate(written, routineCount);
  if (!again || !SameWindows(*windows, *again)) std::abort();
  if (zl::WriteWindowTemplate(*again) != written) std::abort();
  return 0;
}

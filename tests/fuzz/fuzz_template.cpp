// Random bytes into the window template reader: it must never crash, and whatever
// it accepts must write back to bytes that read to the same windows. With bit 7 of
// the first byte set, the rest patches a valid template (3 bytes per patch:
// position low, position high, value), which reaches deep fields quickly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

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

// A valid template with two windows, every kind of field and a menu item.
const std::vector<uint8_t>& Sample() {
  static const std::vector<uint8_t> sample = [] {
    zl::TemplateWindow window;
    window.windowId = 0x52010001;
    window.text1 = "t";
    zl::TemplateUnit unit;
    unit.unitId = 0x06010000;
    unit.record.typeCode = 0x00010001;
    unit.record.name = "w";
    unit.record.pageList = {1, 0, 2};
    unit.record.mousePointer = {0, 0, 0, 0};
    unit.record.tag = "tag";
    unit.record.bindings = {{0, 0}, {1, -1}};
    unit.record.propertyBlob = {1, 0, 0, 0, 2, 0, 0, 0, 'o', 'k'};
    zl::TemplateUnit menu;
    menu.unitId = 0x26010001;
    menu.menuItem.name = "m";
    menu.menuItem.caption = "c";
    menu.menuItem.handlerOffset = 1;
    window.units = {unit, menu};
    zl::TemplateWindow second = window;
    second.windowId = 0x52010002;
    second.units.resize(1);
    return zl::WriteWindowTemplate(std::vector<zl::TemplateWindow>{window, second});
  }();
  return sample;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t routineCount = data[0] % 4;  // the first byte picks the routine table's size
  std::vector<uint8_t> bytes(data + 1, data + size);
  if (data[0] & 0x80) {
    bytes = Sample();
    for (size_t i = 1; i + 3 <= size; i += 3) bytes[(data[i] | data[i + 1] << 8) % bytes.size()] = data[i + 2];
  }
  const auto windows = zl::ReadWindowTemplate(bytes, routineCount);
  if (!windows) return 0;
  const std::vector<uint8_t> written = zl::WriteWindowTemplate(*windows);
  const auto again = zl::ReadWindowTemplate(written, routineCount);
  if (!again || !SameWindows(*windows, *again)) std::abort();
  if (zl::WriteWindowTemplate(*again) != written) std::abort();
  return 0;
}

#include "tools/template_compiler/unit_types.h"

#include <algorithm>

#include "runtime/core/test_component_blob.h"

namespace zl::tools {
namespace {

// The test component: u32 version, counted text Caption, u32 Style.
std::vector<uint8_t> EncodeTestComponent(FieldReader& properties) {
  TestComponentProperties record;
  record.caption = properties.Text("Caption");
  record.style = properties.U32("Style");
  return EncodeTestComponentBlob(record);
}

constexpr UnitTypeInfo kUnitTypes[] = {
    {0x00010001, "窗口", "window", nullptr},
    {kMenuItemTypeCode, "菜单", "Menu", nullptr},
    {0x00010005, "编辑框", "EditBox", nullptr},
    {0x0001000A, "标签", "Label", nullptr},
    {0x0001000B, "按钮", "Button", nullptr},
    {0x0001001D, "超级链接框", "HyperLinker", nullptr},
    {0x00040004, "超级列表框", "ListView", nullptr},
    {kTestComponentTypeCode, "测试组件", "TestControl", &EncodeTestComponent},
};

bool SameAsciiCaseless(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
           return lower(x) == lower(y);
         });
}

}  // namespace

std::span<const UnitTypeInfo> UnitTypes() { return kUnitTypes; }

const UnitTypeInfo* FindUnitType(std::string_view name) {
  for (const UnitTypeInfo& type : kUnitTypes) {
    if (name == type.chineseName || SameAsciiCaseless(name, type.englishName)) return &type;
  }
  return nullptr;
}

const UnitTypeInfo* FindUnitType(uint32_t typeCode) {
  for (const UnitTypeInfo& type : kUnitTypes) {
    if (type.typeCode == typeCode) return &type;
  }
  return nullptr;
}

}  // namespace zl::tools

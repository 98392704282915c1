#include "runtime/core/menu_shortcuts.h"

#include <cctype>
#include <string>
#include <vector>

namespace zl {
namespace {

// Whether two names are equal regardless of letter case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

struct NamedKey {
  const char* name;
  WORD key;
};
constexpr NamedKey kNamedKeys[] = {
    {"Del", VK_DELETE},  {"Delete", VK_DELETE}, {"Ins", VK_INSERT},     {"Insert", VK_INSERT},
    {"Home", VK_HOME},   {"End", VK_END},       {"PgUp", VK_PRIOR},     {"PageUp", VK_PRIOR},
    {"PgDn", VK_NEXT},   {"PageDown", VK_NEXT}, {"Up", VK_UP},          {"Down", VK_DOWN},
    {"Left", VK_LEFT},   {"Right", VK_RIGHT},   {"Space", VK_SPACE},    {"Enter", VK_RETURN},
    {"Tab", VK_TAB},     {"Esc", VK_ESCAPE},    {"Backspace", VK_BACK},
};

// The virtual key a key name stands for; 0 when it names none.
WORD KeyOf(std::string_view name) {
  if (name.size() == 1) {
    const auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : 0;
  }
  if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
    int number = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      number = number * 10 + (c - '0');
    }
    return number >= 1 && number <= 24 ? static_cast<WORD>(VK_F1 + number - 1) : 0;
  }
  for (const NamedKey& named : kNamedKeys) {
    if (SameName(name, named.name)) return named.key;
  }
  return 0;
}

}  // namespace

std::optional<ACCEL> ParseMenuShortcut(std::string_view caption, WORD command) {
  // A tab is never the trail byte of a double-byte character, so a byte search finds it.
  const size_t tab = caption.rfind('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  std::string_view rest = caption.substr(tab + 1);
  ACCEL accel{FVIRTKEY, 0, command};
  for (;;) {
    const size_t plus = rest.find('+');
    // The last part is the key; "Ctrl++" names the plus key, which has no name here.
    if (plus == std::string_view::npos || plus + 1 == rest.size()) break;
    const std::string_view modifier = rest.substr(0, plus);
    if (SameName(modifier, "Ctrl")) {
      accel.fVirt |= FCONTROL;
    } else if (SameName(modifier, "Shift")) {
      accel.fVirt |= FSHIFT;
    } else if (SameName(modifier, "Alt")) {
      accel.fVirt |= FALT;
    } else {
      return std::nullopt;
    }
    rest.remove_prefix(plus + 1);
  }
  accel.key = KeyOf(rest);
  if (accel.key == 0) return std::nullopt;
  return accel;
}

UniqueAccelerators BuildMenuAccelerators(const TemplateWindow& window, UINT firstCommand, uint32_t hiddenFlag) {
  std::vector<ACCEL> table;
  UINT position = 0;
  for (const TemplateUnit& unit : window.units) {
    if (!unit.isMenuItem) continue;
    const auto command = static_cast<WORD>(firstCommand + position++);
    if (unit.menuItem.flags & hiddenFlag) continue;  // an item the menu does not show has no key
    if (const auto accel = ParseMenuShortcut(unit.menuItem.caption, command)) table.push_back(*accel);
  }
  if (table.empty()) return UniqueAccelerators();
  return UniqueAccelerators(CreateAcceleratorTableA(table.data(), static_cast<int>(table.size())));
}

}  // namespace zl

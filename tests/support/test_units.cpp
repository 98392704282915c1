#include "tests/support/test_units.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "runtime/core/event_numbers.h"
#include "runtime/core/event_record.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/unit_object.h"

namespace zl::test {

std::vector<std::string>& UnitLog() {
  static std::vector<std::string> log;
  return log;
}

namespace {

void Log(const char* what, uint32_t unitId, const char* tail = "") {
  char line[96];
  std::snprintf(line, sizeof line, "%s %08X%s", what, unitId, tail);
  UnitLog().emplace_back(line);
}

// Raises an event of a unit the way a component does (Notify 2008); answers Notify's answer.
intptr_t Raise(const UnitObject& unit, int32_t eventNumber, uint32_t argCount = 0, uint32_t arg = 0) {
  EventRecord event;
  event.windowId = unit.WindowId();
  event.unitId = unit.UnitId();
  event.eventNumber = eventNumber;
  event.argCount = argCount;
  event.args[0] = arg;
  return Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
}

// Logs the private load messages; answers whether the message was one of them.
bool LogPrivateMessage(UINT message, uint32_t unitId) {
  switch (message) {
    case kUnitsCreatedMessage: Log("806F", unitId); return true;
    case kWindowLoadedMessage: Log("8004", unitId); return true;
    case kWindowShownMessage: Log("8076", unitId); return true;
    default: return false;
  }
}

// A test unit: its property record beside the identity. Both test types are bound to
// their windows by the runtime's one binding scheme.
class TestUnit : public UnitObject {
 public:
  TestUnit(uint32_t windowId, uint32_t unitId, uint32_t typeCode, TestComponentProperties properties)
      : UnitObject(windowId, unitId, typeCode, false), m_properties(std::move(properties)) {}
  bool ReplacedOnLoad() const override { return m_replaced; }

  TestComponentProperties m_properties;
  bool m_replaced = false;
  uint32_t m_word = 0;
  uint64_t m_number = 0;
  std::vector<uint8_t> m_data;
  std::vector<uint8_t> m_font;
  std::string m_captionRead;  // keeps the caption handed out by GetProperty alive

 protected:
  // The window is gone: tell the unit manager, then end.
  void OnFinalMessage() override {
    Log("destroyed", UnitId());
    Notify(kNotifyComponentDestroyed, WindowId(), UnitId());
    delete this;
  }
};

// --- The window type -------------------------------------------------------------

class TestWindow : public TestUnit {
 public:
  using TestUnit::TestUnit;

  HWND Create(const char* title, DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu) {
    RegisterClass(kTestWindowClass, 0, LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateBound(0, kTestWindowClass, title, style, x, y, width, height, parent, menu);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GETMINMAXINFO || message == WM_NCCREATE) {
      Log(message == WM_NCCREATE ? "ncc" : "minmax", UnitId());
    }
    if (LogPrivateMessage(message, UnitId())) return 0;
    switch (message) {
      case WM_COMMAND:
      case WM_NOTIFY:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORSCROLLBAR:
      case WM_HSCROLL:
      case WM_VSCROLL: {
        LRESULT result = 0;
        if (ReflectNotification(message, wParam, lParam, result)) return result;
        break;
      }
      case WM_MOVE: {
        const LRESULT result = DefaultProcessing(message, wParam, lParam);
        Raise(*this, kWindowMoved);
        return result;
      }
      case WM_SIZE: {
        const LRESULT result = DefaultProcessing(message, wParam, lParam);
        Raise(*this, kWindowResized);
        return result;
      }
      default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
  }
};

template <bool Replaced>
UnitObject* CreateTestWindow(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle, HWND parent,
                             intptr_t childId, int32_t x, int32_t y, int32_t width, int32_t height,
                             uint32_t windowId, uint32_t unitId, uint32_t) {
  const auto properties = DecodeTestComponentBlob({blob, blob ? blobLength : 0});
  if (!properties) return nullptr;
  Log("create", unitId);
  auto* unit = new TestWindow(windowId, unitId, Replaced ? kReplacedWindowTypeCode : kTestWindowTypeCode,
                              *properties);
  unit->m_replaced = Replaced;
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (extraStyle & ~WS_TABSTOP) | properties->style;
  if (!unit->Create(properties->caption.c_str(), style, x, y, width, height, parent,
                    parent ? nullptr : reinterpret_cast<HMENU>(childId))) {
    delete unit;
    return nullptr;
  }
  return unit;
}

// --- The control type ------------------------------------------------------------

class TestControl : public TestUnit {
 public:
  using TestUnit::TestUnit;

  HWND Create(const char* caption, DWORD style, int x, int y, int width, int height, HWND parent, intptr_t id) {
    return CreateSubclassed(0, "BUTTON", caption, style, x, y, width, height, parent, reinterpret_cast<HMENU>(id));
  }

 protected:
  bool OnParentNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    Raise(*this, 0);
    result = 0;
    return true;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (LogPrivateMessage(message, UnitId())) return 0;
    switch (message) {
      case WM_SETFOCUS: {
        const LRESULT result = DefaultProcessing(message, wParam, lParam);
        Raise(*this, kEventGotFocus);
        return result;
      }
      default:
        return DefaultProcessing(message, wParam, lParam);
    }
  }
};

template <uint32_t TypeCode>
UnitObject* CreateTestControl(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle, HWND parent,
                              intptr_t childId, int32_t x, int32_t y, int32_t width, int32_t height,
                              uint32_t windowId, uint32_t unitId, uint32_t) {
  const auto properties = DecodeTestComponentBlob({blob, blob ? blobLength : 0});
  if (!properties) return nullptr;
  Log("create", unitId);
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | extraStyle | properties->style;
  auto* unit = new TestControl(windowId, unitId, TypeCode, *properties);
  if (!unit->Create(properties->caption.c_str(), style, x, y, width, height, parent, childId)) {
    delete unit;
    return nullptr;
  }
  // An event raised while the window is still being built.
  char tail[32];
  std::snprintf(tail, sizeof tail, " 0 -> %d", static_cast<int>(Raise(*unit, 0)));
  Log("raise", unitId, tail);
  return unit;
}

// --- Properties shared by both types ---------------------------------------------

int32_t SetTestProperty(UnitObject* object, int32_t number, const RawPropertyValue* value, uint32_t* outWord) {
  auto* unit = static_cast<TestUnit*>(object);
  if (outWord) *outWord = 0;
  const auto bytes = [&] {
    const auto* data = static_cast<const uint8_t*>(value->bytes.data);
    return data ? std::vector<uint8_t>(data, data + value->bytes.length) : std::vector<uint8_t>();
  };
  switch (number) {
    case 0: {
      const char* text = static_cast<const char*>(value->bytes.data);
      unit->m_properties.caption = text ? text : "";
      SetWindowTextA(unit->Hwnd(), unit->m_properties.caption.c_str());
      return 0;
    }
    case 1: unit->m_properties.style = static_cast<uint32_t>(value->number); return 1;
    case 2: unit->m_word = static_cast<uint32_t>(value->number); return 0;
    case 3: unit->m_number = value->number; return 0;
    case 4: unit->m_data = bytes(); return 0;
    case 5: unit->m_font = bytes(); return 0;
    default: return 0;
  }
}

HGLOBAL SaveTestUnit(UnitObject* object) {
  const std::vector<uint8_t> blob = EncodeTestComponentBlob(static_cast<TestUnit*>(object)->m_properties);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, blob.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), blob.data(), blob.size());
  GlobalUnlock(memory);
  return memory;
}

int32_t GetTestProperty(UnitObject* object, int32_t number, RawPropertyValue* value) {
  auto* unit = static_cast<TestUnit*>(object);
  switch (number) {
    case 0: {
      char caption[256] = {};
      GetWindowTextA(unit->Hwnd(), caption, sizeof caption);
      unit->m_captionRead = caption;
      value->bytes = {unit->m_captionRead.c_str(), static_cast<uint32_t>(unit->m_captionRead.size())};
      return 1;
    }
    case 1: value->number = unit->m_properties.style; return 1;
    case 2: value->number = unit->m_word; return 1;
    case 3: value->number = unit->m_number; return 1;
    case 4: value->bytes = {unit->m_data.data(), static_cast<uint32_t>(unit->m_data.size())}; return 1;
    case 5: value->bytes = {unit->m_font.data(), static_cast<uint32_t>(unit->m_font.size())}; return 1;
    default: return 0;
  }
}

// --- Descriptors -----------------------------------------------------------------

constexpr PropertyDescriptor Property(int16_t typeCode) {
  return PropertyDescriptor{nullptr, nullptr, nullptr, typeCode, 0, nullptr};
}
constexpr PropertyDescriptor kProperties[] = {
    Property(1001), Property(1001), Property(1001), Property(1001),  // Left, Top, Width, Height
    Property(1005), Property(1003), Property(1003), Property(1011),  // Tag, Visible, Disabled, MousePointer
    Property(kPropertyText), Property(kPropertyInteger), Property(kPropertyLogical),
    Property(kPropertyDouble), Property(kPropertyPicture), Property(kPropertyFont),
};

template <bool Replaced>
void* WindowSelector(int32_t operation) {
  switch (static_cast<UnitOperation>(operation)) {
    case UnitOperation::CreateUnit: return reinterpret_cast<void*>(&CreateTestWindow<Replaced>);
    case UnitOperation::SetProperty: return reinterpret_cast<void*>(&SetTestProperty);
    case UnitOperation::SaveUnitData: return reinterpret_cast<void*>(&SaveTestUnit);
    case UnitOperation::GetProperty: return reinterpret_cast<void*>(&GetTestProperty);
    default: return nullptr;
  }
}

template <uint32_t TypeCode>
void* ControlSelector(int32_t operation) {
  switch (static_cast<UnitOperation>(operation)) {
    case UnitOperation::CreateUnit: return reinterpret_cast<void*>(&CreateTestControl<TypeCode>);
    case UnitOperation::SetProperty: return reinterpret_cast<void*>(&SetTestProperty);
    case UnitOperation::SaveUnitData: return reinterpret_cast<void*>(&SaveTestUnit);
    case UnitOperation::GetProperty: return reinterpret_cast<void*>(&GetTestProperty);
    default: return nullptr;
  }
}

void* NoOperations(int32_t) { return nullptr; }

constexpr size_t kTypeCount = (kUndispatchedTypeCode & 0xFFFF);

std::array<UnitTypeDescriptor, kTypeCount> MakeTypes() {
  std::array<UnitTypeDescriptor, kTypeCount> types{};
  auto set = [&](uint32_t typeCode, const char* name, uint32_t flags, InterfaceSelector selector) {
    UnitTypeDescriptor& type = types[(typeCode & 0xFFFF) - 1];
    type.chineseName = name;
    type.englishName = name;
    type.explanation = "";
    type.stateFlags = flags;
    type.propertyCount = static_cast<uint32_t>(std::size(kProperties));
    type.properties = kProperties;
    type.selector = selector;
  };
  set(kTestWindowTypeCode, "TestWindow", 0x800000D0, &WindowSelector<false>);
  set(kReplacedWindowTypeCode, "ReplacedWindow", 0x800000D0, &WindowSelector<true>);
  set(kTestMenuItemTypeCode, "TestMenuItem", kUnitTypeDispatchesEvents, &NoOperations);
  set(kTestComponentTypeCode, "TestControl", 0x80000040, &ControlSelector<kTestComponentTypeCode>);
  set(kNeverShownTypeCode, "NeverShown", 0x80008040, &ControlSelector<kNeverShownTypeCode>);
  set(kUncreatableTypeCode, "Uncreatable", 0x80000040, &NoOperations);
  set(kUndispatchedTypeCode, "Undispatched", 0x80000000, &ControlSelector<kUndispatchedTypeCode>);
  return types;
}

const std::array<UnitTypeDescriptor, kTypeCount> kTypes = MakeTypes();

}  // namespace

const SupportLibraryRecord kTestUnitLibrary{"test units", nullptr, static_cast<uint32_t>(kTypes.size()),
                                            kTypes.data(), 0, nullptr};

TemplateUnit TestWindowUnit(uint32_t unitId, const char* title, uint32_t flags) {
  TemplateUnit unit;
  unit.unitId = unitId;
  UnitRecord& record = unit.record;
  record.typeCode = kTestWindowTypeCode;
  record.left = 40;
  record.top = 30;
  record.width = 400;
  record.height = 300;
  record.mousePointer = {0, 0, 0, 0};
  record.flags = flags;
  record.propertyBlob = EncodeTestComponentBlob({title, 0});
  return unit;
}

TemplateUnit TestControlUnit(uint32_t unitId, const char* caption, int32_t left, int32_t top, uint32_t flags) {
  TemplateUnit unit;
  unit.unitId = unitId;
  UnitRecord& record = unit.record;
  record.typeCode = kTestComponentTypeCode;
  record.left = left;
  record.top = top;
  record.width = 80;
  record.height = 24;
  record.mousePointer = {0, 0, 0, 0};
  record.flags = flags;
  record.propertyBlob = EncodeTestComponentBlob({caption, 0});
  return unit;
}

}  // namespace zl::test

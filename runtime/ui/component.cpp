#include "runtime/ui/component.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/private_messages.h"
#include "runtime/lib/heap.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/font_record.h"

namespace zl {

Component::Component(const ComponentTypeInfo& type, PropertyRecord properties, uint32_t windowId,
                     uint32_t unitId, bool designMode)
    : UnitObject(windowId, unitId, type.typeCode, designMode), m_type(type), m_properties(std::move(properties)) {}

bool Component::GetProperty(int32_t number, RawPropertyValue& out) {
  if (number < 0 || static_cast<size_t>(number) >= m_type.properties.size()) return false;
  const ComponentProperty& property = m_type.properties[static_cast<size_t>(number)];
  if (property.field < 0) return false;
  const auto field = static_cast<size_t>(property.field);
  if (IsDataKind(m_type.schema.fields[field].kind)) {
    const std::string& data = m_properties.Data(field);
    // Texts travel zero-terminated: std::string keeps its terminator after the bytes.
    out.bytes = {data.c_str(), static_cast<uint32_t>(data.size())};
  } else {
    out.number = m_properties.Word(field);
  }
  return true;
}

int32_t Component::SetProperty(int32_t number, const RawPropertyValue& value) {
  if (number < 0 || static_cast<size_t>(number) >= m_type.properties.size()) return 0;
  const ComponentProperty& property = m_type.properties[static_cast<size_t>(number)];
  if (property.field >= 0) {
    const auto field = static_cast<size_t>(property.field);
    const FieldKind kind = m_type.schema.fields[field].kind;
    if (kind == FieldKind::Text) {
      const char* text = static_cast<const char*>(value.bytes.data);
      m_properties.SetData(field, text ? std::string_view(text) : std::string_view());
    } else if (IsDataKind(kind)) {
      const char* data = static_cast<const char*>(value.bytes.data);
      m_properties.SetData(field, data ? std::string_view(data, value.bytes.length) : std::string_view());
    } else {
      m_properties.SetWord(field, static_cast<uint32_t>(value.number));
    }
  }
  return ApplyProperty(number);
}

EventRecord Component::Raise(int32_t eventNumber, std::initializer_list<uint32_t> args) {
  EventRecord event;
  event.windowId = WindowId();
  event.unitId = UnitId();
  event.eventNumber = eventNumber;
  event.argCount = static_cast<uint32_t>(std::min<size_t>(args.size(), kMaxEventArgs));
  std::copy_n(args.begin(), event.argCount, event.args);
  Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
  return event;
}

COLORREF Component::ResolveColour(uint32_t colour) {
  return colour == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE) : (colour & 0x00FFFFFFu);
}

HFONT Component::MakeFont(std::string_view fontField) {
  const auto record = DecodeFontRecord(fontField);
  if (!record) return nullptr;
  LOGFONTA font;
  std::memcpy(&font, &*record, sizeof font);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  return CreateFontIndirectA(&font);
}

void Component::ApplyFontField(size_t field) {
  UniqueGdiObject font(MakeFont(m_properties.Data(field)));
  const HGDIOBJ shown = font ? font.Get() : GetStockObject(DEFAULT_GUI_FONT);
  if (Hwnd()) SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
  m_font = std::move(font);  // the font shown before is deleted only now
}

void Component::ReleaseGdiObjects() {
  m_font.Reset();
  m_brush.Reset();
}

void Component::OnFinalMessage() {
  Notify(kNotifyComponentDestroyed, WindowId(), UnitId());
  delete this;
}

LRESULT Component::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    const LRESULT result = DefaultProcessing(message, wParam, lParam);
    ReleaseGdiObjects();
    return result;
  }
  return DefaultProcessing(message, wParam, lParam);
}

namespace {
thread_local const BackgroundRequest* t_backgroundRequest = nullptr;
}  // namespace

bool PaintParentBackground(HWND window, HDC dc, const RECT& area) {
  if (!window || !dc) return false;
  const BackgroundRequest request{window, dc, area};
  const BackgroundRequest* const outer = t_backgroundRequest;
  t_backgroundRequest = &request;
  RECT copy = area;
  const LRESULT answer = SendMessageA(window, kPaintBackgroundMessage, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(&copy));
  t_backgroundRequest = outer;
  return answer == kBackgroundPainted;
}

const BackgroundRequest* CurrentBackgroundRequest(HWND window) {
  const BackgroundRequest* request = t_backgroundRequest;
  return request && request->window == window && !InSendMessage() ? request : nullptr;
}

uint8_t* VisitTextsOfSchema(const BlobSchema& schema, const uint8_t* blob, uint32_t* length, TextVisitor visitor,
                            void* userData) {
  if (!length) return nullptr;
  try {
    const std::span<const uint8_t> bytes = blob && *length >= 1 ? std::span(blob, *length)
                                                                : std::span<const uint8_t>();
    const auto rewritten = VisitBlobTexts(schema, bytes, [&](std::string& text, bool isFaceName) {
      if (!visitor) return;
      if (const char* replacement = visitor(text.c_str(), isFaceName ? 1 : 0, userData)) text = replacement;
    });
    if (!rewritten) return nullptr;
    auto* copy = static_cast<uint8_t*>(RtTryAlloc(rewritten->size()));
    if (!copy) return nullptr;
    std::memcpy(copy, rewritten->data(), rewritten->size());
    *length = static_cast<uint32_t>(rewritten->size());
    return copy;
  } catch (...) {
    return nullptr;
  }
}

HGLOBAL BlobToGlobal(std::span<const uint8_t> blob) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, blob.empty() ? 1 : blob.size());
  if (!memory) return nullptr;
  if (void* data = GlobalLock(memory)) {
    if (!blob.empty()) std::memcpy(data, blob.data(), blob.size());
    GlobalUnlock(memory);
  }
  return memory;
}

}  // namespace zl

// The numbered operations of a component type, generated for a Component subclass T:
//   T(PropertyRecord, windowId, unitId, designMode)   the constructor
//   static const ComponentTypeInfo kTypeInfo          schema and property table
//   static constexpr uint32_t kOperations             bit n set: the type answers operation n
// The selector answers only the operations listed; nothing is thrown across them.
#pragma once

#include <windows.h>

#include <cstring>
#include <new>

#include "runtime/core/unit_object.h"
#include "runtime/lib/heap.h"
#include "runtime/ui/component.h"

namespace zl {

// Operation 9's visitor: a text (or, with isFaceName, a font's face name) → its
// replacement, or null to keep it. The replacement stays the visitor's.
using TextVisitor = const char* (*)(const char* text, uint32_t isFaceName, void* userData);
// Operation 9: blob, in/out length, visitor, user data → a new blob on the runtime heap
// (freed with the runtime's free), or null when the blob cannot be read.
using VisitTextsFn = uint8_t* (*)(const uint8_t* blob, uint32_t* length, TextVisitor visitor, void* userData);
using WantsKeyFn = int32_t (*)(UnitObject* object, uint32_t virtualKey);
using IsDefaultButtonFn = int32_t (*)(UnitObject* object);

constexpr uint32_t OperationBit(UnitOperation operation) { return 1u << static_cast<int>(operation); }
// The operations every component type answers.
inline constexpr uint32_t kBasicOperations = OperationBit(UnitOperation::CreateUnit) |
                                             OperationBit(UnitOperation::SetProperty) |
                                             OperationBit(UnitOperation::SaveUnitData) |
                                             OperationBit(UnitOperation::GetProperty) |
                                             OperationBit(UnitOperation::VisitTexts);

// Reads a blob through a type's schema and visits its texts (operation 9 of any type).
uint8_t* VisitTextsOfSchema(const BlobSchema& schema, const uint8_t* blob, uint32_t* length, TextVisitor visitor,
                            void* userData);

template <class T>
struct ComponentOperations {
  static UnitObject* CreateUnit(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle, HWND parent,
                                intptr_t childId, int32_t x, int32_t y, int32_t width, int32_t height,
                                uint32_t windowId, uint32_t unitId, uint32_t designFlag) noexcept {
    try {
      const std::span<const uint8_t> bytes = blob && blobLength >= 1 ? std::span(blob, blobLength)
                                                                     : std::span<const uint8_t>();
      auto record = PropertyRecord::Read(T::kTypeInfo.schema, bytes);
      if (!record) return nullptr;
      auto* component = new T(std::move(*record), windowId, unitId, designFlag != 0);
      if (!component->CreateControl(CreateArgs{extraStyle, parent, childId, x, y, width, height}) ||
          !component->Hwnd()) {
        delete component;  // a window that died while it was made leaves its object to us
        return nullptr;
      }
      return component;
    } catch (...) {
      return nullptr;
    }
  }

  static int32_t SetProperty(UnitObject* object, int32_t number, const RawPropertyValue* value,
                             uint32_t* outWord) noexcept {
    if (outWord) *outWord = 0;
    if (!object || !value) return 0;
    try {
      return static_cast<T*>(object)->SetProperty(number, *value);
    } catch (...) {
      return 0;
    }
  }

  static HGLOBAL SaveUnitData(UnitObject* object) noexcept {
    if (!object) return nullptr;
    try {
      return BlobToGlobal(static_cast<T*>(object)->Properties().Write());
    } catch (...) {
      return nullptr;
    }
  }

  static int32_t GetProperty(UnitObject* object, int32_t number, RawPropertyValue* value) noexcept {
    if (!object || !value) return 0;
    try {
      return static_cast<T*>(object)->GetProperty(number, *value) ? 1 : 0;
    } catch (...) {
      return 0;
    }
  }

  static int32_t WantsKey(UnitObject* object, uint32_t virtualKey) noexcept {
    return object && static_cast<T*>(object)->WantsKey(virtualKey) ? 1 : 0;
  }

  static int32_t IsDefaultButton(UnitObject* object) noexcept {
    return object && static_cast<const T*>(object)->IsDefaultButton() ? 1 : 0;
  }

  static uint8_t* VisitTexts(const uint8_t* blob, uint32_t* length, TextVisitor visitor, void* userData) noexcept {
    return VisitTextsOfSchema(T::kTypeInfo.schema, blob, length, visitor, userData);
  }

  // The interface selector: an operation's entry point, or null.
  static void* Selector(int32_t operation) noexcept {
    if (operation < 0 || operation > 31 || !(T::kOperations & (1u << operation))) return nullptr;
    switch (static_cast<UnitOperation>(operation)) {
      case UnitOperation::CreateUnit: return reinterpret_cast<void*>(&CreateUnit);
      case UnitOperation::SetProperty: return reinterpret_cast<void*>(&SetProperty);
      case UnitOperation::SaveUnitData: return reinterpret_cast<void*>(&SaveUnitData);
      case UnitOperation::GetProperty: return reinterpret_cast<void*>(&GetProperty);
      case UnitOperation::WantsKey: return reinterpret_cast<void*>(&WantsKey);
      case UnitOperation::VisitTexts: return reinterpret_cast<void*>(&VisitTexts);
      case UnitOperation::IsDefaultButton: return reinterpret_cast<void*>(&IsDefaultButton);
      default: return T::ExtraOperation(operation);
    }
  }
};

}  // namespace zl

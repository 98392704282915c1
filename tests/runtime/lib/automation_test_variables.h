// Application variables for the automation tests: ComObject, Variant and Text
// variables as application code keeps them, passed by value or by reference.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "runtime/lib/automation_values.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"

namespace zl::test {

// A by-reference member argument: the variable's address, its type with bit 29 set.
template <class T>
ArgRecord ByReference(TypeCode type, T* variable) {
  return ArgRecord::OfPointer(type | kTypeArrayFlag, variable);
}

// A ComObject variable: it points to a holder block it owns.
struct ObjectVariable {
  ComObjectBlock* holder = MakeComObject(nullptr);

  ObjectVariable() = default;
  ObjectVariable(const ObjectVariable&) = delete;
  ObjectVariable& operator=(const ObjectVariable&) = delete;
  ~ObjectVariable() { ComObjectOwner release(holder); }

  ArgRecord Value() const { return ArgRecord::OfPointer(kTypeComObject, holder); }
  ArgRecord Reference() { return ByReference(kTypeComObject, &holder); }
  IUnknown* Object() const { return holder ? holder->object : nullptr; }
};

// A Variant variable: it points to a holder block it owns.
struct VariantVariable {
  VariantBlock* holder = MakeVariantHolder(nullptr);

  VariantVariable() = default;
  VariantVariable(const VariantVariable&) = delete;
  VariantVariable& operator=(const VariantVariable&) = delete;
  ~VariantVariable() { VariantOwner release(holder); }

  ArgRecord Value() const { return ArgRecord::OfPointer(kTypeVariant, holder); }
  ArgRecord Reference() { return ByReference(kTypeVariant, &holder); }
  VARTYPE Type() const { return V_VT(holder); }
};

// A Text variable: it owns its text (null is the empty text).
struct TextVariable {
  char* text = nullptr;

  explicit TextVariable(const char* initial = nullptr) : text(CopyText(initial)) {}
  TextVariable(const TextVariable&) = delete;
  TextVariable& operator=(const TextVariable&) = delete;
  ~TextVariable() { RtFree(text); }

  ArgRecord Reference() { return ByReference(kTypeText, &text); }
};

// Initialises COM (single-threaded apartment) on the thread for its lifetime.
class ComApartment {
 public:
  ComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
  }
  bool Ok() const { return SUCCEEDED(m_hr); }

 private:
  HRESULT m_hr;
};

}  // namespace zl::test

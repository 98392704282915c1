#include "runtime/lib/variant_commands.h"

#include <cstring>

#include "runtime/lib/automation_values.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/command_args.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

VariantBlock* HolderArg(const ArgList& a, int32_t i) { return a[i].Pointer<VariantBlock>(); }

bool IsArrayValue(const ArgRecord& value) {
  return value.type == kTypeByteSet || (value.type & kTypeArrayFlag) != 0;
}

// The array a Variant holds (directly or by reference), or null.
SAFEARRAY* HeldArray(const VARIANT* v) {
  if (!(V_VT(v) & VT_ARRAY)) return nullptr;
  if (V_VT(v) & VT_BYREF) return V_ARRAYREF(v) ? *V_ARRAYREF(v) : nullptr;
  return V_ARRAY(v);
}

// Element indices of a held array for a 1-based linear index (null when out of range).
HeapPtr<LONG> ElementIndices(SAFEARRAY* array, int32_t index) {
  const UINT dimensions = array ? SafeArrayGetDim(array) : 0;
  if (dimensions == 0) return nullptr;
  HeapPtr<LONG> indices(static_cast<LONG*>(RtAlloc(sizeof(LONG) * dimensions)));
  if (!LinearIndices(array, index, indices.get())) return nullptr;
  return indices;
}

// What SafeArrayPutElement takes for a value of the array's element type.
void* ElementSource(VARIANT* v, VARTYPE elementType) {
  switch (elementType) {
    case VT_VARIANT: return v;
    case VT_BSTR: return V_BSTR(v);
    case VT_UNKNOWN: return V_UNKNOWN(v);
    case VT_DISPATCH: return V_DISPATCH(v);
    case VT_DECIMAL: return &V_DECIMAL(v);  // the whole VARIANT: its type word is the decimal's reserved word
    default: return &V_UI1(v);  // the value itself, at the start of the union
  }
}

// Stores a value into one element of the array a Variant holds.
bool SetElement(VariantBlock* holder, const ArgRecord& value, int32_t index) {
  SAFEARRAY* array = HeldArray(holder);
  const auto elementType = static_cast<VARTYPE>(V_VT(holder) & VT_TYPEMASK);
  if (!array || elementType == VT_RECORD) return false;
  HeapPtr<LONG> indices = ElementIndices(array, index);
  if (!indices) return false;
  UniqueVariant element;
  if (IsArrayValue(value)) {
    // An array fits only into an array of VARIANTs.
    if (elementType != VT_VARIANT || !ArrayToVariant(value, element.Get())) return false;
  } else if (ValueToVariant(value, elementType, element.Get()) != ValueToVariantResult::kDone) {
    return false;
  }
  if (elementType != VT_VARIANT &&
      FAILED(VariantChangeTypeEx(element.Get(), element.Get(), GetUserDefaultLCID(), 0, elementType))) {
    return false;
  }
  return SUCCEEDED(SafeArrayPutElement(array, indices.get(), ElementSource(element.Get(), elementType)));
}

// Reads one element of the array a Variant holds into `out`.
bool GetElement(const VariantBlock* holder, int32_t index, UniqueVariant& out) {
  SAFEARRAY* array = HeldArray(holder);
  const auto elementType = static_cast<VARTYPE>(V_VT(holder) & VT_TYPEMASK);
  if (!array || elementType == VT_RECORD) return false;
  HeapPtr<LONG> indices = ElementIndices(array, index);
  if (!indices) return false;
  if (elementType == VT_VARIANT) return SUCCEEDED(SafeArrayGetElement(array, indices.get(), out.Get()));
  VARIANT element;
  std::memset(&element, 0, sizeof element);
  // A decimal fills the whole VARIANT, type word included; any other value sits in the union.
  void* value = elementType == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(&element)) : &V_UI1(&element);
  if (FAILED(SafeArrayGetElement(array, indices.get(), value))) return false;
  V_VT(&element) = elementType;
  *out.Get() = element;  // `out` was empty: it owns the element from here on
  return true;
}

}  // namespace

void VarSet(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  SetIntResult(result, 0);
  VariantBlock* holder = HolderArg(a, 0);
  if (!holder) return;
  const ArgRecord value = a[1];
  if (a.Given(2)) {
    SetIntResult(result, SetElement(holder, value, a.Int(2)) ? 1 : 0);
    return;
  }
  // The new value is made before the old one is cleared: it may be made from it.
  UniqueVariant made;
  bool stored = true;
  if (IsArrayValue(value)) {
    stored = ArrayToVariant(value, made.Get());
  } else if (value.type == kTypeComObject) {
    const auto* object = value.Pointer<const ComObjectBlock>();
    if (object && object->object) ValueToVariant(value, VT_UNKNOWN, made.Get());
  } else {
    stored = ValueToVariant(value, VT_EMPTY, made.Get()) == ValueToVariantResult::kDone;
  }
  VariantClear(holder);
  std::memset(holder, 0, sizeof(VariantBlock));
  if (stored) *holder = made.Release();
  SetIntResult(result, stored ? 1 : 0);
}

void VarGetText(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  const VariantBlock* holder = HolderArg(a, 0);
  if (!holder) return;
  UniqueVariant value;
  if (a.Given(1)) {
    if (!GetElement(holder, a.Int(1), value)) return;
  } else if (FAILED(VariantCopyInd(value.Get(), const_cast<VariantBlock*>(holder)))) {
    return;
  }
  uint64_t text = 0;
  if (VariantToValue(value.Get(), kTypeText, &text)) SetPointerResult(result, reinterpret_cast<void*>(text));
}

void VarReset(ResultRecord*, int32_t count, ArgRecord* args) {
  VariantBlock* holder = HolderArg(ArgList(count, args), 0);
  if (!holder) return;
  VariantClear(holder);
  std::memset(holder, 0, sizeof(VariantBlock));
}

void VarCopy(ResultRecord*, int32_t count, ArgRecord* args) {
  const ArgList a(count, args);
  VariantBlock* target = HolderArg(a, 0);
  VariantBlock* source = HolderArg(a, 1);
  if (!target) return;
  // The fresh holder owns nothing yet: its old bytes are not cleared.
  std::memset(target, 0, sizeof(VariantBlock));
  if (source && FAILED(VariantCopy(target, source))) std::memset(target, 0, sizeof(VariantBlock));
}

}  // namespace zl

// Moving values between the runtime and OLE Automation: texts and BSTRs, runtime
// values and VARIANTs (both ways), runtime arrays and SAFEARRAYs, and the Variant
// holder block.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>

#include "runtime/lib/blocks.h"
#include "runtime/lib/values.h"

namespace zl {

// A new BSTR of a runtime text (ANSI code page → UTF-16); null gives an empty BSTR.
// Null only when memory runs out.
BSTR BstrFromText(const char* text);
// A new runtime text of a BSTR (UTF-16 → ANSI code page); empty gives null.
Text TextFromBstr(const wchar_t* s, UINT length);

// The Variant holder block a Variant variable points to: one VARIANT, all-zero is
// VT_EMPTY (the VARIANT takes the platform's size).
using VariantBlock = VARIANT;
// A new Variant holder on the runtime heap holding a copy of `source` (null: VT_EMPTY);
// a by-reference source is copied by what it refers to.
VariantBlock* MakeVariantHolder(const VARIANT* source);
// Deleter for Variant holders owned by C++ code: clears the VARIANT and frees the block.
struct VariantHolderDeleter {
  void operator()(VariantBlock* holder) const;
};
using VariantOwner = std::unique_ptr<VariantBlock, VariantHolderDeleter>;

// The value of a by-reference argument read through its variable's address, as a
// by-value record of the variable's type (null address or unknown type: omitted).
ArgRecord ReadVariable(const ArgRecord& byReference);

// Outcome of making a VARIANT from a runtime value.
enum class ValueToVariantResult { kDone, kUnsupported };

// Makes `out` (VT_EMPTY on entry) from a runtime value. `declared` is the declared
// type of the parameter it goes to (VT_EMPTY when unknown): an object goes as
// VT_UNKNOWN or VT_DISPATCH by it. Byte sets and arrays are not member values here.
ValueToVariantResult ValueToVariant(const ArgRecord& value, VARTYPE declared, VARIANT* out);

// Makes `out` (VT_EMPTY on entry) a VT_ARRAY variant from a byte set or a runtime
// array: one dimension, lower bound 1, every element; false for element types
// without an automation type.
bool ArrayToVariant(const ArgRecord& value, VARIANT* out);

// The element address of a SAFEARRAY for a 1-based linear index, first dimension
// varying fastest; false when the index lies outside the array.
bool LinearIndices(SAFEARRAY* array, int32_t index, LONG* indices);

// Converts a VARIANT into a runtime value of `type` (Text, Double, ComObject, Variant
// and the other system types): the 8-byte value, with a new heap block for texts and
// holders. False when it cannot be converted.
bool VariantToValue(const VARIANT* v, TypeCode type, uint64_t* value);

// Writes a VARIANT back into the application variable of a by-reference argument,
// converted to the variable's type (a text variable's old text is freed, a Variant
// or ComObject variable's holder is cleared and receives the value). False when the
// value does not convert; the variable is then unchanged.
bool StoreIntoVariable(const ArgRecord& byReference, const VARIANT* v);

}  // namespace zl

#include "runtime/lib/automation_values.h"

#include <cstring>

#include "runtime/lib/com_object.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

// The automation type of a runtime array's elements, and their size in the array block.
struct ElementKind {
  VARTYPE vt;
  size_t size;
};

// Element kinds of the runtime types a SAFEARRAY can hold; VT_EMPTY for the others.
ElementKind ElementKindOf(TypeCode element) {
  switch (element) {
    case kTypeByte: return {VT_UI1, 1};
    case kTypeShortInt: return {VT_I2, 2};
    case kTypeInt: return {VT_I4, 4};
    case kTypeLongInt: return {VT_I4, 8};  // passed by its low 32 bits
    case kTypeFloat: return {VT_R4, 4};
    case kTypeDouble: return {VT_R8, 8};
    case kTypeLogical: return {VT_BOOL, 4};
    case kTypeDateTime: return {VT_DATE, 8};
    case kTypeText: return {VT_BSTR, sizeof(Text)};
    case kTypeComObject: return {VT_UNKNOWN, sizeof(ComObjectBlock*)};
    case kTypeVariant: return {VT_VARIANT, sizeof(VariantBlock*)};
    default: return {VT_EMPTY, 0};
  }
}

// Fills SAFEARRAY element i of kind `vt` from the runtime element at `from`.
void FillElement(void* data, size_t i, VARTYPE vt, TypeCode element, const uint8_t* from) {
  switch (vt) {
    case VT_UI1: static_cast<uint8_t*>(data)[i] = *from; break;
    case VT_I2: std::memcpy(static_cast<int16_t*>(data) + i, from, 2); break;
    case VT_I4: std::memcpy(static_cast<int32_t*>(data) + i, from, 4); break;  // LongInt: low word first
    case VT_R4: std::memcpy(static_cast<float*>(data) + i, from, 4); break;
    case VT_R8:
    case VT_DATE: std::memcpy(static_cast<double*>(data) + i, from, 8); break;
    case VT_BOOL: {
      int32_t v;
      std::memcpy(&v, from, 4);
      static_cast<VARIANT_BOOL*>(data)[i] = v ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_BSTR: {
      const char* text;
      std::memcpy(&text, from, sizeof text);
      static_cast<BSTR*>(data)[i] = BstrFromText(text);
      break;
    }
    case VT_UNKNOWN: {
      ComObjectBlock* holder;
      std::memcpy(&holder, from, sizeof holder);
      // A record is no object: its element stays null.
      IUnknown* object = holder && !holder->record ? holder->object : nullptr;
      if (object) object->AddRef();
      static_cast<IUnknown**>(data)[i] = object;
      break;
    }
    case VT_VARIANT: {
      const VARIANT* source;
      std::memcpy(&source, from, sizeof source);
      if (source) VariantCopyInd(static_cast<VARIANT*>(data) + i, const_cast<VARIANT*>(source));
      break;
    }
    default: (void)element; break;
  }
}

// Changes a VARIANT to `vt` into `out` in the user's locale; false when it does not convert.
bool ChangeTo(const VARIANT* v, VARTYPE vt, UniqueVariant& out) {
  if ((V_VT(v) & VT_TYPEMASK) == VT_RECORD) return false;
  return SUCCEEDED(VariantChangeTypeEx(out.Get(), const_cast<VARIANT*>(v), GetUserDefaultLCID(), 0, vt));
}

}  // namespace

BSTR BstrFromText(const char* text) {
  const int length = text ? static_cast<int>(std::strlen(text)) : 0;
  if (length == 0) return SysAllocStringLen(nullptr, 0);
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(wide > 0 ? wide : 0));
  if (s && wide > 0) MultiByteToWideChar(CP_ACP, 0, text, length, s, wide);
  return s;
}

Text TextFromBstr(const wchar_t* s, UINT length) {
  if (!s || length == 0) return nullptr;
  const int n = WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return nullptr;
  auto* text = static_cast<char*>(RtAlloc(static_cast<size_t>(n) + 1));
  WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(length), text, n, nullptr, nullptr);
  text[n] = '\0';
  if (text[0] == '\0') {  // a BSTR that starts with a zero character is the empty text
    RtFree(text);
    return nullptr;
  }
  return text;
}

VariantBlock* MakeVariantHolder(const VARIANT* source) {
  auto* holder = static_cast<VariantBlock*>(RtAlloc(sizeof(VariantBlock)));
  std::memset(holder, 0, sizeof(VariantBlock));
  if (source && FAILED(VariantCopyInd(holder, const_cast<VARIANT*>(source)))) {
    std::memset(holder, 0, sizeof(VariantBlock));
  }
  return holder;
}

void VariantHolderDeleter::operator()(VariantBlock* holder) const {
  if (!holder) return;
  VariantClear(holder);
  RtFree(holder);
}

ArgRecord ReadVariable(const ArgRecord& byReference) {
  const auto* address = byReference.Pointer<const uint8_t>();
  const TypeCode type = byReference.type & kTypeElementMask;
  if (!address) return ArgRecord{};
  uint64_t value = 0;
  switch (type) {
    case kTypeByte: value = *address; break;
    case kTypeShortInt: std::memcpy(&value, address, 2); break;
    case kTypeInt:
    case kTypeLogical:
    case kTypeFloat: std::memcpy(&value, address, 4); break;
    case kTypeLongInt:
    case kTypeDouble:
    case kTypeDateTime: std::memcpy(&value, address, 8); break;
    case kTypeText:
    case kTypeByteSet:
    case kTypeComObject:
    case kTypeVariant: {
      uintptr_t pointer;
      std::memcpy(&pointer, address, sizeof pointer);
      value = pointer;
      break;
    }
    default: break;  // a type that cannot be passed: the call reports it
  }
  ArgRecord record = ArgRecord::Of(type, value);
  // Inside a variable the empty text is null; as a value it is never null.
  if (type == kTypeText && value == 0) record = ArgRecord::OfText("");
  return record;
}

ValueToVariantResult ValueToVariant(const ArgRecord& value, VARTYPE declared, VARIANT* out) {
  const VARTYPE base = declared & ~VT_BYREF;
  switch (value.type) {
    case kTypeNone:
      V_VT(out) = VT_ERROR;
      V_ERROR(out) = DISP_E_PARAMNOTFOUND;
      return ValueToVariantResult::kDone;
    case kTypeComObject: {
      const auto* holder = value.Pointer<const ComObjectBlock>();
      IUnknown* object = holder ? holder->object : nullptr;
      V_VT(out) = VT_UNKNOWN;
      V_UNKNOWN(out) = nullptr;
      if (!object) return ValueToVariantResult::kDone;
      if (holder->record) {
        // The call gets its own copy, so clearing the argument never touches the holder's record.
        auto* info = static_cast<IRecordInfo*>(static_cast<void*>(object));
        void* copy = nullptr;
        if (FAILED(info->RecordCreateCopy(holder->record, &copy)) || !copy) return ValueToVariantResult::kDone;
        info->AddRef();
        V_VT(out) = VT_RECORD;
        V_RECORDINFO(out) = info;
        V_RECORD(out) = copy;
        return ValueToVariantResult::kDone;
      }
      if (base == VT_UNKNOWN) {
        object->AddRef();
        V_UNKNOWN(out) = object;
      } else if (base == VT_DISPATCH || base == VT_VARIANT || base == VT_EMPTY) {
        IDispatch* dispatch = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
          V_VT(out) = VT_DISPATCH;
          V_DISPATCH(out) = dispatch;
        } else if (base != VT_DISPATCH) {
          // A VARIANT parameter takes any object, dispatch or not.
          object->AddRef();
          V_UNKNOWN(out) = object;
        }
      }
      return ValueToVariantResult::kDone;
    }
    case kTypeVariant: {
      const auto* holder = value.Pointer<const VARIANT>();
      if (holder && FAILED(VariantCopyInd(out, const_cast<VARIANT*>(holder)))) VariantInit(out);
      return ValueToVariantResult::kDone;
    }
    case kTypeLogical:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.low ? VARIANT_TRUE : VARIANT_FALSE;
      return ValueToVariantResult::kDone;
    case kTypeDateTime:
      V_VT(out) = VT_DATE;
      V_DATE(out) = value.Double();
      return ValueToVariantResult::kDone;
    case kTypeText:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = BstrFromText(value.Pointer<const char>());
      return ValueToVariantResult::kDone;
    case kTypeByte:
      V_VT(out) = VT_UI1;
      V_UI1(out) = static_cast<BYTE>(value.low);
      return ValueToVariantResult::kDone;
    case kTypeShortInt:
      V_VT(out) = VT_I2;
      V_I2(out) = static_cast<SHORT>(value.low);
      return ValueToVariantResult::kDone;
    case kTypeInt:
    case kTypeLongInt:  // by its low 32 bits
      V_VT(out) = VT_I4;
      V_I4(out) = value.Int();
      return ValueToVariantResult::kDone;
    case kTypeFloat:
      V_VT(out) = VT_R4;
      V_R4(out) = value.Float();
      return ValueToVariantResult::kDone;
    case kTypeDouble:
      V_VT(out) = VT_R8;
      V_R8(out) = value.Double();
      return ValueToVariantResult::kDone;
    default: return ValueToVariantResult::kUnsupported;
  }
}

bool ArrayToVariant(const ArgRecord& value, VARIANT* out) {
  const auto* block = value.Pointer<const uint8_t>();
  const uint8_t* elements = nullptr;
  size_t count = 0;
  TypeCode element = kTypeByte;
  if (value.type == kTypeByteSet) {
    elements = ByteSetData(block);
    count = ByteSetLength(block);
  } else if (value.type & kTypeArrayFlag) {
    element = value.type & kTypeElementMask;
    if (block) {
      ArrayBlock array(const_cast<uint8_t*>(block));
      elements = array.Data();
      count = array.ElementCount();
    }
  } else {
    return false;
  }
  const ElementKind kind = ElementKindOf(element);
  if (kind.vt == VT_EMPTY || count > ULONG_MAX) return false;
  SAFEARRAYBOUND bound{static_cast<ULONG>(count), 1};
  UniqueSafeArray array(SafeArrayCreate(kind.vt, 1, &bound));
  if (!array) return false;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array.Get(), &data))) return false;
  for (size_t i = 0; i < count; ++i) FillElement(data, i, kind.vt, element, elements + i * kind.size);
  SafeArrayUnaccessData(array.Get());
  V_VT(out) = static_cast<VARTYPE>(VT_ARRAY | kind.vt);
  V_ARRAY(out) = array.Release();
  return true;
}

bool LinearIndices(SAFEARRAY* array, int32_t index, LONG* indices) {
  const UINT dimensions = array ? SafeArrayGetDim(array) : 0;
  if (dimensions == 0 || index < 1) return false;
  uint64_t rest = static_cast<uint64_t>(index) - 1;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper))) return false;
    if (upper < lower) return false;
    const uint64_t size = static_cast<uint64_t>(static_cast<int64_t>(upper) - lower + 1);
    // The first dimension varies fastest, as the elements lie in memory.
    indices[d - 1] = static_cast<LONG>(lower + static_cast<int64_t>(rest % size));
    rest /= size;
  }
  return rest == 0;  // anything left over lies beyond the last element
}

bool VariantToValue(const VARIANT* v, TypeCode type, uint64_t* value) {
  UniqueVariant changed;
  switch (type) {
    case kTypeText:
      if (!ChangeTo(v, VT_BSTR, changed)) return false;
      *value = reinterpret_cast<uintptr_t>(TextFromBstr(V_BSTR(changed.Get()), SysStringLen(V_BSTR(changed.Get()))));
      return true;
    case kTypeComObject: {
      if (!ChangeTo(v, VT_UNKNOWN, changed)) return false;
      IUnknown* object = V_UNKNOWN(changed.Get());
      if (object) object->AddRef();
      *value = reinterpret_cast<uintptr_t>(MakeComObject(object));
      return true;
    }
    case kTypeVariant:
      if ((V_VT(v) & VT_TYPEMASK) == VT_RECORD) return false;
      *value = reinterpret_cast<uintptr_t>(MakeVariantHolder(v));
      return true;
    case kTypeLogical:
      if (!ChangeTo(v, VT_BOOL, changed)) return false;
      *value = V_BOOL(changed.Get()) ? 1 : 0;
      return true;
    case kTypeDateTime:
    case kTypeDouble: {
      if (!ChangeTo(v, type == kTypeDouble ? VT_R8 : VT_DATE, changed)) return false;
      std::memcpy(value, &V_R8(changed.Get()), 8);
      return true;
    }
    case kTypeFloat: {
      if (!ChangeTo(v, VT_R4, changed)) return false;
      uint32_t bits;
      std::memcpy(&bits, &V_R4(changed.Get()), 4);
      *value = bits;
      return true;
    }
    case kTypeByte:
      if (!ChangeTo(v, VT_UI1, changed)) return false;
      *value = V_UI1(changed.Get());
      return true;
    case kTypeShortInt:
      if (!ChangeTo(v, VT_I2, changed)) return false;
      *value = static_cast<uint16_t>(V_I2(changed.Get()));
      return true;
    case kTypeInt:
    case kTypeLongInt: {
      if (!ChangeTo(v, VT_I4, changed)) return false;
      const int64_t wide = V_I4(changed.Get());  // a LongInt gets it sign-extended
      *value = type == kTypeInt ? static_cast<uint32_t>(wide) : static_cast<uint64_t>(wide);
      return true;
    }
    default: return false;
  }
}

bool StoreIntoVariable(const ArgRecord& byReference, const VARIANT* v) {
  auto* address = byReference.Pointer<uint8_t>();
  const TypeCode type = byReference.type & kTypeElementMask;
  if (!address) return false;
  switch (type) {
    case kTypeText: {
      uint64_t text = 0;
      if (!VariantToValue(v, type, &text)) return false;
      auto** variable = reinterpret_cast<char**>(address);
      RtFree(*variable);
      *variable = reinterpret_cast<char*>(static_cast<uintptr_t>(text));
      return true;
    }
    case kTypeComObject: {
      UniqueVariant changed;
      if (!ChangeTo(v, VT_UNKNOWN, changed)) return false;
      auto** variable = reinterpret_cast<ComObjectBlock**>(address);
      IUnknown* object = V_UNKNOWN(changed.Get());
      if (object) object->AddRef();
      if (*variable) {
        ClearComObject(*variable);
        (*variable)->object = object;
      } else {
        *variable = MakeComObject(object);
      }
      return true;
    }
    case kTypeVariant: {
      if ((V_VT(v) & VT_TYPEMASK) == VT_RECORD) return false;
      auto** variable = reinterpret_cast<VariantBlock**>(address);
      if (!*variable) {
        *variable = MakeVariantHolder(v);
        return true;
      }
      VariantClear(*variable);
      std::memset(*variable, 0, sizeof(VariantBlock));
      if (FAILED(VariantCopyInd(*variable, const_cast<VARIANT*>(v)))) std::memset(*variable, 0, sizeof(VariantBlock));
      return true;
    }
    default: {
      const size_t width = type == kTypeLogical ? 4 : type == kTypeDateTime ? 8 : NumericSize(type);
      uint64_t value = 0;
      if (width == 0 || !VariantToValue(v, type, &value)) return false;
      std::memcpy(address, &value, width);
      return true;
    }
  }
}

}  // namespace zl

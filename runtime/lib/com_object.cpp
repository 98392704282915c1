#include "runtime/lib/com_object.h"

#include <string_view>

#include "runtime/core/com_registrations.h"
#include "runtime/lib/automation_values.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/command_args.h"
#include "runtime/lib/dbcs.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

// Class contexts of a creation: in-process server and handler, local and remote server.
constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                             CLSCTX_REMOTE_SERVER;
// Systems that know no remote server reject the whole request with E_INVALIDARG.
constexpr DWORD kLocalServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
// How many matches a type-library look-up asks for: enough to tell one from several.
constexpr USHORT kNameMatchesAsked = 2;

ComObjectBlock* HolderArg(const ArgList& a, int32_t i) { return a[i].Pointer<ComObjectBlock>(); }

// Creates the class a type library names `name` (its coclass), registering the library
// when it was given by a path; empty when the name does not name exactly one class.
ComPtr<IUnknown> CreateFromTypeLibrary(const char* name, const char* file) {
  UniqueBstr path(BstrFromText(file));
  UniqueBstr wanted(BstrFromText(name));
  if (!path.Get() || !wanted.Get() || SysStringLen(wanted.Get()) == 0) return {};
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(path.Get(), library.Put()))) return {};
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), wanted.Get());
  ITypeInfo* found[kNameMatchesAsked] = {};
  MEMBERID members[kNameMatchesAsked] = {};
  USHORT count = kNameMatchesAsked;
  // FindName may rewrite the name's letter case in place: it works on its own copy.
  if (FAILED(library->FindName(wanted.Get(), hash, found, members, &count))) count = 0;
  ComPtr<ITypeInfo> matches[kNameMatchesAsked];
  for (USHORT i = 0; i < count && i < kNameMatchesAsked; ++i) matches[i].Reset(found[i]);
  if (count != 1 || !matches[0]) return {};
  ComPtr<IUnknown> object;
  if (FAILED(matches[0]->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.Put())))) return {};
  // Only a real backslash makes a path: the trail byte of a double-byte character may be 0x5C.
  if (FindLastSingleByte(file, '\\') != std::string_view::npos) {
    RegisterTypeLibraryForRun(library.Get(), path.Get());  // best effort; undone at the end
  }
  return object;
}

// Creates the class a ProgID or a CLSID text in braces names; empty on failure.
ComPtr<IUnknown> CreateFromClassName(const char* name) {
  UniqueBstr text(BstrFromText(name));
  if (!text.Get()) return {};
  CLSID clsid;
  const HRESULT found = name[0] == '{' ? CLSIDFromString(text.Get(), &clsid) : CLSIDFromProgID(text.Get(), &clsid);
  if (FAILED(found)) return {};
  ComPtr<IUnknown> object;
  HRESULT hr = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, reinterpret_cast<void**>(object.Put()));
  if (hr == E_INVALIDARG) {
    hr = CoCreateInstance(clsid, nullptr, kLocalServer, IID_IUnknown, reinterpret_cast<void**>(object.Put()));
  }
  if (FAILED(hr)) return {};
  return object;
}

}  // namespace

void ClearComObject(ComObjectBlock* holder) {
  if (!holder) return;
  IUnknown* object = holder->object;
  void* record = holder->record;
  holder->object = nullptr;
  holder->record = nullptr;
  if (object) {
    if (record) static_cast<IRecordInfo*>(static_cast<void*>(object))->RecordDestroy(record);
    object->Release();
  } else {
    RtFree(record);
  }
}

ComObjectBlock* MakeComObject(IUnknown* object) {
  auto* holder = static_cast<ComObjectBlock*>(RtAlloc(sizeof(ComObjectBlock)));
  holder->object = object;
  holder->record = nullptr;
  return holder;
}

void ComObjectDeleter::operator()(ComObjectBlock* holder) const {
  ClearComObject(holder);
  RtFree(holder);
}

void ObjClear(ResultRecord*, int32_t count, ArgRecord* args) { ClearComObject(HolderArg(ArgList(count, args), 0)); }

void ObjCreate(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  SetIntResult(result, 0);
  ComObjectBlock* holder = HolderArg(a, 0);
  const char* name = a[1].type == kTypeText ? a[1].Pointer<const char>() : nullptr;
  if (!holder || !name) return;

  ComPtr<IUnknown> object;
  // A CLSID in braces names its class by itself; only a name is looked up in a type library.
  if (name[0] != '{' && a.Count() >= 3 && a[2].type == kTypeText && a[2].Pointer<const char>()) {
    object = CreateFromTypeLibrary(name, a[2].Pointer<const char>());
  }
  if (!object) object = CreateFromClassName(name);
  if (!object || FAILED(OleRun(object.Get()))) return;
  ClearComObject(holder);
  holder->object = object.Release();
  SetIntResult(result, 1);
}

void ObjCopy(ResultRecord*, int32_t count, ArgRecord* args) {
  const ArgList a(count, args);
  ComObjectBlock* target = HolderArg(a, 0);
  const ComObjectBlock* source = HolderArg(a, 1);
  if (!target) return;
  // The fresh holder owns nothing yet: its old bytes are not a reference.
  target->object = source ? source->object : nullptr;
  target->record = nullptr;
  if (target->object) target->object->AddRef();
}

void ObjIsEmpty(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ComObjectBlock* holder = HolderArg(ArgList(count, args), 0);
  SetIntResult(result, !holder || !holder->object ? 1 : 0);
}

}  // namespace zl

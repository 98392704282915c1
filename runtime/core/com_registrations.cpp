#include "runtime/core/com_registrations.h"

#include <oleauto.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace zl {
namespace {

// Type libraries this run registered; any thread may create objects.
std::mutex g_lock;
std::vector<TLIBATTR> g_typeLibraries;

bool SameLibrary(const TLIBATTR& a, const TLIBATTR& b) {
  return IsEqualGUID(a.guid, b.guid) && a.wMajorVerNum == b.wMajorVerNum && a.wMinorVerNum == b.wMinorVerNum &&
         a.lcid == b.lcid && a.syskind == b.syskind;
}

bool Registered(const TLIBATTR& library) {
  BSTR path = nullptr;
  const HRESULT found =
      QueryPathOfRegTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, &path);
  SysFreeString(path);
  return SUCCEEDED(found);
}

}  // namespace

HRESULT RegisterTypeLibraryForRun(ITypeLib* library, const wchar_t* path) {
  TLIBATTR* attributes = nullptr;
  if (!library || FAILED(library->GetLibAttr(&attributes))) return E_INVALIDARG;
  const TLIBATTR attr = *attributes;
  library->ReleaseTLibAttr(attributes);
  // A registration that was there before the run belongs to whoever made it: removing
  // it at the end would break that installation, so only new ones are undone.
  const bool wasRegistered = Registered(attr);
  const HRESULT registered = RegisterTypeLib(library, const_cast<wchar_t*>(path), nullptr);
  if (SUCCEEDED(registered) && !wasRegistered) {
    std::lock_guard lock(g_lock);
    if (std::none_of(g_typeLibraries.begin(), g_typeLibraries.end(),
                     [&](const TLIBATTR& known) { return SameLibrary(known, attr); })) {
      g_typeLibraries.push_back(attr);
    }
  }
  return registered;
}

void UndoRunRegistrations() {
  std::vector<TLIBATTR> libraries;
  {
    std::lock_guard lock(g_lock);
    libraries.swap(g_typeLibraries);
  }
  // The runtime registers type libraries only, never a server's classes (it runs no
  // DllRegisterServer), so it runs no DllUnregisterServer either: that would remove
  // what an installation registered, and the next run could not create the object.
  for (const TLIBATTR& library : libraries) {
    UnRegisterTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, library.syskind);
  }
}

}  // namespace zl

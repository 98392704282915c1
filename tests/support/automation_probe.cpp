#include "tests/support/automation_probe.h"

#include <atomic>
#include <ostream>

#include "runtime/lib/com_owners.h"
#include "tests/support/test_support.h"

namespace zl::test {
namespace {

constexpr char kTypeLibraryFile[] = "zl_automation_probe.tlb";
// Wine 8's CLSIDFromProgID reads the machine's classes only: a per-user ProgID under
// HKCU\Software\Classes is not found there, so the ProgID goes into HKEY_CLASSES_ROOT.
constexpr char kProgIdKey[] = "Zanlark.Probe";
constexpr long kCells = 3;

std::atomic<long> g_instances{0};
std::atomic<long> g_references{0};
ProbeCall g_lastCall;

// The probe library's type information of one kind (coclass or dispinterface).
ComPtr<ITypeInfo> ProbeTypeInfo(TYPEKIND kind) {
  static ITypeLib* library = [] {
    ITypeLib* loaded = nullptr;
    const std::string path = ProbeTypeLibraryPath();
    std::wstring wide(path.begin(), path.end());
    return SUCCEEDED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, &loaded)) ? loaded : nullptr;
  }();  // kept for the whole test run
  if (!library) return {};
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    TYPEKIND k;
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(library->GetTypeInfoType(i, &k)) && k == kind && SUCCEEDED(library->GetTypeInfo(i, info.Put()))) {
      return info;
    }
  }
  return {};
}

// Argument i in declaration order (the put value last), by-reference arguments as they are.
VARIANT* RawArg(DISPPARAMS* dp, UINT i) { return i < dp->cArgs ? &dp->rgvarg[dp->cArgs - 1 - i] : nullptr; }

// Argument i changed to `vt`; false when it is missing or does not convert.
bool ArgAs(DISPPARAMS* dp, UINT i, VARTYPE vt, UniqueVariant& out) {
  VARIANT* raw = RawArg(dp, i);
  if (!raw) return false;
  UniqueVariant direct;
  return SUCCEEDED(VariantCopyInd(direct.Get(), raw)) && SUCCEEDED(VariantChangeType(out.Get(), direct.Get(), 0, vt));
}

void Record(DISPID member, WORD flags, DISPPARAMS* dp) {
  g_lastCall = ProbeCall{member, flags, dp->cNamedArgs, dp->cNamedArgs ? dp->rgdispidNamedArgs[0] : DISPID_UNKNOWN,
                         {}, {}};
  for (UINT i = 0; i < dp->cArgs; ++i) {
    const VARIANT* v = RawArg(dp, i);
    g_lastCall.types.push_back(V_VT(v));
    if (V_VT(v) == VT_ERROR) g_lastCall.errors.push_back(V_ERROR(v));
  }
}

class Probe final : public IDispatch {
 public:
  explicit Probe(bool withTypeInfo) : m_withTypeInfo(withTypeInfo) {
    ++g_instances;
    ++g_references;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && !IsOwnInterface(iid)) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++g_references;
    return static_cast<ULONG>(++m_refs);
  }
  ULONG STDMETHODCALLTYPE Release() override {
    --g_references;
    const long left = --m_refs;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = m_withTypeInfo ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
    *out = nullptr;
    if (!m_withTypeInfo) return E_NOTIMPL;  // as objects without type information answer
    *out = ProbeTypeInfo(TKIND_DISPATCH).Release();
    return *out ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ComPtr<ITypeInfo> info = ProbeTypeInfo(TKIND_DISPATCH);
    return info ? DispGetIDsOfNames(info.Get(), names, count, ids) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* dp, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    Record(member, flags, dp);
    UniqueVariant answer;
    const HRESULT hr = Dispatch(member, flags, dp, answer);
    if (SUCCEEDED(hr) && result) *result = answer.Release();
    return hr;
  }

 private:
  ~Probe() {
    SysFreeString(m_name);
    if (m_partner) m_partner->Release();
    if (m_friend) m_friend->Release();
    --g_instances;
  }

  static bool IsOwnInterface(REFIID iid) {
    TypeAttrOwner attr;
    ComPtr<ITypeInfo> info = ProbeTypeInfo(TKIND_DISPATCH);
    return attr.Load(info.Get()) && attr->guid == iid;
  }
  static bool Get(WORD flags) { return flags & DISPATCH_PROPERTYGET; }
  static bool Put(WORD flags, DISPPARAMS* dp) {
    return (flags & DISPATCH_PROPERTYPUT) && dp->cNamedArgs == 1 && dp->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  }
  static bool PutRef(WORD flags, DISPPARAMS* dp) {
    return (flags & DISPATCH_PROPERTYPUTREF) && dp->cNamedArgs == 1 && dp->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  }
  static bool Method(WORD flags) { return flags & DISPATCH_METHOD; }
  // Replaces an interface this probe holds with the object a VT_UNKNOWN/VT_DISPATCH argument carries.
  template <class I>
  static HRESULT TakeInterface(DISPPARAMS* dp, REFIID iid, I*& slot) {
    const VARIANT* v = RawArg(dp, dp->cArgs - 1);
    if (V_VT(v) != VT_UNKNOWN && V_VT(v) != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
    I* taken = nullptr;
    if (V_UNKNOWN(v) && FAILED(V_UNKNOWN(v)->QueryInterface(iid, reinterpret_cast<void**>(&taken)))) {
      return DISP_E_TYPEMISMATCH;
    }
    if (slot) slot->Release();
    slot = taken;
    return S_OK;
  }

  HRESULT Dispatch(DISPID member, WORD flags, DISPPARAMS* dp, UniqueVariant& answer) {
    VARIANT* out = answer.Get();
    UniqueVariant a, b, c;
    switch (member) {
      case kProbeName:
        if (Get(flags)) {
          V_VT(out) = VT_BSTR;
          V_BSTR(out) = SysAllocString(m_name ? m_name : L"");
          return S_OK;
        }
        if (!Put(flags, dp)) return DISP_E_MEMBERNOTFOUND;
        if (!ArgAs(dp, dp->cArgs - 1, VT_BSTR, a)) return DISP_E_TYPEMISMATCH;
        SysFreeString(m_name);
        m_name = SysAllocString(V_BSTR(a.Get()));
        return S_OK;
      case kProbeNumber:
        if (Get(flags)) {
          V_VT(out) = VT_R8;
          V_R8(out) = m_number;
          return S_OK;
        }
        if (!Put(flags, dp)) return DISP_E_MEMBERNOTFOUND;
        if (!ArgAs(dp, dp->cArgs - 1, VT_R8, a)) return DISP_E_TYPEMISMATCH;
        m_number = V_R8(a.Get());
        return S_OK;
      case kProbePartner:
        if (Get(flags)) {
          V_VT(out) = VT_UNKNOWN;
          V_UNKNOWN(out) = m_partner;
          if (m_partner) m_partner->AddRef();
          return S_OK;
        }
        return PutRef(flags, dp) ? TakeInterface(dp, IID_IUnknown, m_partner) : DISP_E_MEMBERNOTFOUND;
      case kProbeFriend:
        if (Get(flags)) {
          V_VT(out) = VT_DISPATCH;
          V_DISPATCH(out) = m_friend;
          if (m_friend) m_friend->AddRef();
          return S_OK;
        }
        return PutRef(flags, dp) ? TakeInterface(dp, IID_IDispatch, m_friend) : DISP_E_MEMBERNOTFOUND;
      case kProbeCell: {
        if (!ArgAs(dp, 0, VT_I4, a) || !ArgAs(dp, 1, VT_I4, b)) return DISP_E_BADPARAMCOUNT;
        const long row = V_I4(a.Get()), column = V_I4(b.Get());
        if (row < 0 || row >= kCells || column < 0 || column >= kCells) return DISP_E_BADINDEX;
        if (Get(flags) && dp->cArgs == 2) {
          V_VT(out) = VT_I4;
          V_I4(out) = m_cells[row][column];
          return S_OK;
        }
        if (!Put(flags, dp) || dp->cArgs != 3) return DISP_E_MEMBERNOTFOUND;
        if (!ArgAs(dp, 2, VT_I4, c)) return DISP_E_TYPEMISMATCH;
        m_cells[row][column] = V_I4(c.Get());
        return S_OK;
      }
      default: break;
    }
    if (!Method(flags)) return DISP_E_MEMBERNOTFOUND;
    return CallMethod(member, dp, out);
  }

  HRESULT CallMethod(DISPID member, DISPPARAMS* dp, VARIANT* out) {
    UniqueVariant a;
    switch (member) {
      case kProbeSplit: {
        // Split(text, [out] head, [in, out] counter): the head before the first space, the rest as the result.
        if (dp->cArgs != 3) return DISP_E_BADPARAMCOUNT;
        VARIANT* head = RawArg(dp, 1);
        VARIANT* counter = RawArg(dp, 2);
        if (V_VT(head) != (VT_BYREF | VT_BSTR) || V_VT(counter) != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
        if (!ArgAs(dp, 0, VT_BSTR, a)) return DISP_E_TYPEMISMATCH;
        const BSTR text = V_BSTR(a.Get());
        UINT cut = 0;
        while (cut < SysStringLen(text) && text[cut] != L' ') ++cut;
        *V_BSTRREF(head) = SysAllocStringLen(text, cut);  // [out]: what it held is not ours
        *V_I4REF(counter) += 1;
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = SysAllocString(cut < SysStringLen(text) ? text + cut + 1 : L"");
        return S_OK;
      }
      case kProbeDescribe:
        if (dp->cArgs < 1 || dp->cArgs > 3) return DISP_E_BADPARAMCOUNT;
        V_VT(out) = VT_I4;
        V_I4(out) = static_cast<LONG>(dp->cArgs);
        return S_OK;
      case kProbeSum: {
        double sum = 0;
        for (UINT i = 0; i < dp->cArgs; ++i) {
          UniqueVariant term;
          if (!ArgAs(dp, i, VT_R8, term)) return DISP_E_TYPEMISMATCH;
          sum += V_R8(term.Get());
        }
        V_VT(out) = VT_R8;
        V_R8(out) = sum;
        return S_OK;
      }
      case kProbeMakeChild:
        if (!ArgAs(dp, 0, VT_BOOL, a)) return DISP_E_PARAMNOTOPTIONAL;
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = new Probe(V_BOOL(a.Get()) != VARIANT_FALSE);
        return S_OK;
      case kProbeFail: return DISP_E_EXCEPTION;
      case kProbeSwap: {
        VARIANT* value = RawArg(dp, 0);
        if (dp->cArgs != 1 || V_VT(value) != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
        V_VT(out) = VT_I4;
        V_I4(out) = V_VT(V_VARIANTREF(value));
        VariantClear(V_VARIANTREF(value));
        V_VT(V_VARIANTREF(value)) = VT_BSTR;
        V_BSTR(V_VARIANTREF(value)) = SysAllocString(L"swapped");
        return S_OK;
      }
      case kProbeTakeOut: {
        VARIANT* made = RawArg(dp, 0);
        if (dp->cArgs != 1 || V_VT(made) != (VT_BYREF | VT_UNKNOWN)) return DISP_E_TYPEMISMATCH;
        *V_UNKNOWNREF(made) = static_cast<IDispatch*>(new Probe(true));  // [out]: what it held is not ours
        return S_OK;
      }
      case kProbeEcho:
        if (dp->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        return VariantCopyInd(out, RawArg(dp, 0));
      case kProbeTwice:
        if (!ArgAs(dp, 0, VT_I4, a)) return DISP_E_TYPEMISMATCH;
        V_VT(out) = VT_I4;
        V_I4(out) = 2 * V_I4(a.Get());
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

  std::atomic<long> m_refs{1};
  bool m_withTypeInfo;
  BSTR m_name = nullptr;
  double m_number = 0;
  IUnknown* m_partner = nullptr;
  IDispatch* m_friend = nullptr;
  long m_cells[kCells][kCells] = {};
};

// The probe's class object: lives as long as the process, so it is not counted.
class ProbeFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* probe = new Probe(true);
    const HRESULT hr = probe->QueryInterface(iid, out);
    probe->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ProbeFactory g_factory;

}  // namespace

ProbeCounts CurrentProbeCounts() { return {g_instances.load(), g_references.load()}; }

void PrintTo(const ProbeCounts& counts, std::ostream* os) {
  *os << counts.instances << " instances, " << counts.references << " references";
}

const ProbeCall& LastProbeCall() { return g_lastCall; }

std::string ProbeTypeLibraryPath() { return ProgramPath(kTypeLibraryFile); }

CLSID ProbeClassId() {
  TypeAttrOwner attr;
  ComPtr<ITypeInfo> info = ProbeTypeInfo(TKIND_COCLASS);
  return attr.Load(info.Get()) ? attr->guid : CLSID_NULL;
}

namespace {

// The identity of the probe's type library (all zero when its file does not load).
TLIBATTR ProbeLibraryAttributes() {
  TLIBATTR attributes{};
  const std::string path = ProbeTypeLibraryPath();
  const std::wstring wide(path.begin(), path.end());
  ComPtr<ITypeLib> library;
  TLIBATTR* read = nullptr;
  if (SUCCEEDED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, library.Put())) && SUCCEEDED(library->GetLibAttr(&read))) {
    attributes = *read;
    library->ReleaseTLibAttr(read);
  }
  return attributes;
}

}  // namespace

bool ProbeTypeLibraryRegistered() {
  const TLIBATTR library = ProbeLibraryAttributes();
  BSTR path = nullptr;
  const HRESULT found =
      QueryPathOfRegTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, &path);
  SysFreeString(path);
  return SUCCEEDED(found);
}

void RegisterProbeTypeLibrary() {
  const std::string path = ProbeTypeLibraryPath();
  const std::wstring wide(path.begin(), path.end());
  ComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, library.Put()))) {
    RegisterTypeLib(library.Get(), const_cast<wchar_t*>(wide.c_str()), nullptr);
  }
}

void UnregisterProbeTypeLibrary() {
  const TLIBATTR library = ProbeLibraryAttributes();
  UnRegisterTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, library.syskind);
}

ProbeRegistration::ProbeRegistration() {
  const CLSID clsid = ProbeClassId();
  if (clsid == CLSID_NULL) return;
  if (FAILED(CoRegisterClassObject(clsid, &g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie))) {
    m_cookie = 0;
  }
  wchar_t text[40];
  char narrow[40];
  StringFromGUID2(clsid, text, 40);
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  const std::string key = std::string(kProgIdKey) + "\\CLSID";
  m_progIdRegistered = RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, narrow,
                                       static_cast<DWORD>(strlen(narrow) + 1)) == ERROR_SUCCESS;
}

ProbeRegistration::~ProbeRegistration() {
  if (m_cookie) CoRevokeClassObject(m_cookie);
  if (m_progIdRegistered) RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgIdKey);
}

}  // namespace zl::test

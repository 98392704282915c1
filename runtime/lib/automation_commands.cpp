#include "runtime/lib/automation_commands.h"

#include <cstring>
#include <span>
#include <utility>

#include "runtime/lib/automation_values.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/command_args.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

thread_local int32_t t_lastResult = kAutomationSuccess;

// Member arguments start after the holder and the name.
constexpr int32_t kFirstMemberArgument = 2;
// Aliases resolve through at most this many steps (a type library may be malformed).
constexpr int kMaxAliasDepth = 16;

// What a member command binds and what it answers.
struct MemberCommand {
  std::span<const INVOKEKIND> order;  // binding order
  TypeCode resultType;                // kTypeNone: a Logical that tells success
};

constexpr INVOKEKIND kGetOrder[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
constexpr INVOKEKIND kCallOrder[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
constexpr INVOKEKIND kSetOrder[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};

constexpr MemberCommand kGetText{kGetOrder, kTypeText};
constexpr MemberCommand kGetNumber{kGetOrder, kTypeDouble};
constexpr MemberCommand kGetObject{kGetOrder, kTypeComObject};
constexpr MemberCommand kGetVariant{kGetOrder, kTypeVariant};
constexpr MemberCommand kCallText{kCallOrder, kTypeText};
constexpr MemberCommand kCallObject{kCallOrder, kTypeComObject};
constexpr MemberCommand kSetProperty{kSetOrder, kTypeNone};

bool IsPut(WORD kind) { return kind == DISPATCH_PROPERTYPUT || kind == DISPATCH_PROPERTYPUTREF; }

// The result code of a failed Invoke.
int32_t InvokeFailureCode(HRESULT hr) {
  switch (hr) {
    case DISP_E_BADPARAMCOUNT: return kAutomationBadParamCount;
    case DISP_E_BADVARTYPE: return kAutomationBadVarType;
    case DISP_E_EXCEPTION: return kAutomationException;
    case DISP_E_MEMBERNOTFOUND: return kAutomationMemberNotFound;
    case DISP_E_NONAMEDARGS: return kAutomationNoNamedArgs;
    case DISP_E_OVERFLOW: return kAutomationOverflow;
    case DISP_E_PARAMNOTFOUND: return kAutomationParamNotFound;
    case DISP_E_TYPEMISMATCH: return kAutomationTypeMismatch;
    case DISP_E_PARAMNOTOPTIONAL: return kAutomationParamNotOptional;
    default: return kAutomationInvokeFailed;
  }
}

// The automation type a parameter is declared with: pointers add VT_BYREF, arrays
// VT_ARRAY; enumerations are VT_I4, dispatch interfaces VT_DISPATCH, aliases their
// target and other user-defined types VT_UNKNOWN.
VARTYPE ResolveType(ITypeInfo* info, const TYPEDESC& type, int depth = 0) {
  if (depth > kMaxAliasDepth) return VT_UNKNOWN;
  switch (type.vt) {
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    case VT_PTR: return type.lptdesc ? ResolveType(info, *type.lptdesc, depth + 1) | VT_BYREF : VT_BYREF | VT_VOID;
    case VT_SAFEARRAY:
      return type.lptdesc ? ResolveType(info, *type.lptdesc, depth + 1) | VT_ARRAY : VT_ARRAY | VT_VARIANT;
    case VT_CARRAY:
      return type.lpadesc ? ResolveType(info, type.lpadesc->tdescElem, depth + 1) | VT_ARRAY : VT_ARRAY | VT_VARIANT;
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> target;
      TypeAttrOwner attr;
      if (!info || FAILED(info->GetRefTypeInfo(type.hreftype, target.Put())) || !attr.Load(target.Get())) {
        return VT_UNKNOWN;
      }
      switch (attr->typekind) {
        case TKIND_ENUM: return VT_I4;
        case TKIND_DISPATCH: return VT_DISPATCH;
        case TKIND_ALIAS: return ResolveType(target.Get(), attr->tdescAlias, depth + 1);
        default: return VT_UNKNOWN;
      }
    }
    default: return type.vt;
  }
}

// One parameter as the call passes it.
struct Parameter {
  VARTYPE type = VT_EMPTY;  // VT_EMPTY: unknown, the value goes as it is
  USHORT flags = PARAMFLAG_NONE;
};

// A member found by ITypeComp::Bind; its description goes back to the type
// information that lent it.
class BoundMember {
 public:
  BoundMember() = default;
  BoundMember(const BoundMember&) = delete;
  BoundMember& operator=(const BoundMember&) = delete;
  ~BoundMember() { Reset(); }

  enum class Outcome { kFound, kNotFound, kTypeComp };
  // Binds `name` for one invoke kind.
  Outcome Bind(ITypeComp* comp, LPOLESTR name, ULONG hash, INVOKEKIND kind) {
    Reset();
    if (FAILED(comp->Bind(name, hash, static_cast<WORD>(kind), m_info.Put(), &m_kind, &m_ptr))) {
      m_kind = DESCKIND_NONE;
      return Outcome::kNotFound;
    }
    if (m_kind == DESCKIND_TYPECOMP) {
      if (m_ptr.lptcomp) m_ptr.lptcomp->Release();
      m_kind = DESCKIND_NONE;
      return Outcome::kTypeComp;
    }
    const bool found = (m_kind == DESCKIND_FUNCDESC && m_ptr.lpfuncdesc) ||
                       ((m_kind == DESCKIND_VARDESC || m_kind == DESCKIND_IMPLICITAPPOBJ) && m_ptr.lpvardesc);
    return found ? Outcome::kFound : Outcome::kNotFound;
  }
  const FUNCDESC* Function() const { return m_kind == DESCKIND_FUNCDESC ? m_ptr.lpfuncdesc : nullptr; }
  const VARDESC* Variable() const {
    return m_kind == DESCKIND_VARDESC || m_kind == DESCKIND_IMPLICITAPPOBJ ? m_ptr.lpvardesc : nullptr;
  }
  ITypeInfo* Info() const { return m_info.Get(); }

 private:
  void Reset() {
    if (m_info) {
      if (m_kind == DESCKIND_FUNCDESC && m_ptr.lpfuncdesc) m_info->ReleaseFuncDesc(m_ptr.lpfuncdesc);
      if ((m_kind == DESCKIND_VARDESC || m_kind == DESCKIND_IMPLICITAPPOBJ) && m_ptr.lpvardesc) {
        m_info->ReleaseVarDesc(m_ptr.lpvardesc);
      }
    }
    m_kind = DESCKIND_NONE;
    m_ptr = BINDPTR{};
    m_info.Reset();
  }

  ComPtr<ITypeInfo> m_info;
  DESCKIND m_kind = DESCKIND_NONE;
  BINDPTR m_ptr{};
};

// How a bound member is called: its identifier, invoke kind and parameters.
class MemberPlan {
 public:
  MemberPlan() = default;
  MemberPlan(const MemberPlan&) = delete;
  MemberPlan& operator=(const MemberPlan&) = delete;
  ~MemberPlan() { RtFree(m_parameters); }

  DISPID id = DISPID_UNKNOWN;
  WORD kind = DISPATCH_METHOD;
  bool variableArguments = false;
  bool typed = false;  // false: the object has no type information to plan by

  // Takes the parameters of a bound member, for `actual` arguments; false when there are too many.
  bool Plan(const BoundMember& member, bool forPut, size_t actual) {
    typed = true;
    if (const FUNCDESC* f = member.Function()) {
      id = f->memid;
      kind = static_cast<WORD>(f->invkind);
      // A trailing [retval] parameter is the result, never an argument.
      size_t count = f->cParams > 0 ? static_cast<size_t>(f->cParams) : 0;
      if (count > 0 && (f->lprgelemdescParam[count - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --count;
      variableArguments = f->cParamsOpt == -1 && count > 0;
      Allocate(count);
      for (size_t i = 0; i < count; ++i) {
        const ELEMDESC& e = f->lprgelemdescParam[i];
        m_parameters[i] = {ResolveType(member.Info(), e.tdesc), e.paramdesc.wParamFlags};
      }
      // The values of a variable argument list are VARIANTs, passed one by one.
      if (variableArguments) m_parameters[count - 1].type = VT_VARIANT;
    } else if (const VARDESC* v = member.Variable()) {
      id = v->memid;
      if (forPut) {
        const VARTYPE declared = v->elemdescVar.tdesc.vt;
        const bool byReference = declared == VT_UNKNOWN || declared == VT_DISPATCH || declared == VT_PTR;
        kind = byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        Allocate(1);
        m_parameters[0] = {ResolveType(member.Info(), v->elemdescVar.tdesc), v->elemdescVar.paramdesc.wParamFlags};
      } else {
        kind = DISPATCH_PROPERTYGET;
        Allocate(0);
      }
    }
    return actual <= m_count || variableArguments;
  }
  // The parameter an argument goes to: beyond the list, the last one.
  Parameter At(size_t i) const {
    if (m_count == 0) return {};
    return m_parameters[i < m_count ? i : m_count - 1];
  }

 private:
  void Allocate(size_t n) {
    RtFree(m_parameters);
    m_parameters = n ? static_cast<Parameter*>(RtAlloc(n * sizeof(Parameter))) : nullptr;
    m_count = n;
  }

  Parameter* m_parameters = nullptr;  // owned, m_count entries
  size_t m_count = 0;
};

// Clears an argument VARIANT; a record argument is the call's own copy and is destroyed.
void ClearArgument(VARIANT* v) {
  if (V_VT(v) == VT_RECORD) {
    if (IRecordInfo* info = V_RECORDINFO(v)) {
      if (V_RECORD(v)) info->RecordDestroy(V_RECORD(v));
      info->Release();
    }
    VariantInit(v);
    return;
  }
  VariantClear(v);
}

// The VARIANTs of one call: per argument the VARIANT passed and the store a
// by-reference argument points into, laid out in DISPPARAMS order (last argument first).
class CallArguments {
 public:
  CallArguments(const ArgList& a, size_t count) : m_list(a), m_count(count) {
    if (count == 0) return;
    m_args = static_cast<VARIANT*>(RtAlloc(count * sizeof(VARIANT)));
    m_stores = static_cast<VARIANT*>(RtAlloc(count * sizeof(VARIANT)));
    for (size_t i = 0; i < count; ++i) {
      VariantInit(&m_args[i]);
      VariantInit(&m_stores[i]);
    }
  }
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;
  ~CallArguments() {
    for (size_t i = 0; i < m_count; ++i) {
      ClearArgument(&m_args[i]);
      ClearArgument(&m_stores[i]);
    }
    RtFree(m_args);
    RtFree(m_stores);
  }

  // Makes every argument for the plan's parameters; a result code other than 0 on failure.
  int32_t Build(const MemberPlan& plan) {
    for (size_t i = 0; i < m_count; ++i) {
      if (!BuildOne(i, plan.At(i), plan.typed)) return kAutomationArgumentType;
    }
    return kAutomationSuccess;
  }

  // The DISPPARAMS over the arguments; a property put names its value.
  DISPPARAMS Params(WORD kind) {
    DISPPARAMS params{m_args, nullptr, static_cast<UINT>(m_count), 0};
    if (IsPut(kind)) {
      params.rgdispidNamedArgs = &m_putId;
      params.cNamedArgs = 1;
    }
    return params;
  }

  // A decimal passed by reference lies over its store's type word, which the callee
  // may have written: the store is a decimal again before anyone reads or clears it.
  void RestoreDecimalStores() {
    for (size_t i = 0; i < m_count; ++i) {
      if (V_VT(Arg(i)) == (VT_BYREF | VT_DECIMAL) && V_BYREF(Arg(i)) == &V_DECIMAL(Store(i))) {
        V_VT(Store(i)) = VT_DECIMAL;
      }
    }
  }

  // Writes the [out] parameters back into the variables that were passed by reference.
  // Without type information every such variable may have been written.
  void WriteBack(const MemberPlan& plan) {
    for (size_t i = 0; i < m_count; ++i) {
      const ArgRecord actual = Actual(i);
      const bool out = !plan.typed || (plan.At(i).flags & PARAMFLAG_FOUT);
      if (!(V_VT(Arg(i)) & VT_BYREF) || !out || !IsByReference(actual)) continue;
      StoreIntoVariable(actual, Store(i));
    }
  }

 private:
  static bool IsByReference(const ArgRecord& r) { return r.type != kTypeNone && (r.type & kTypeArrayFlag); }
  ArgRecord Actual(size_t i) const { return m_list[kFirstMemberArgument + static_cast<int32_t>(i)]; }
  VARIANT* Arg(size_t i) { return &m_args[m_count - 1 - i]; }
  VARIANT* Store(size_t i) { return &m_stores[m_count - 1 - i]; }

  // Makes argument i for its parameter.
  bool BuildOne(size_t i, Parameter parameter, bool typed) {
    const ArgRecord actual = Actual(i);
    const ArgRecord value = IsByReference(actual) ? ReadVariable(actual) : actual;
    VARIANT* arg = Arg(i);
    VARIANT* store = Store(i);
    if (ValueToVariant(value, parameter.type, store) != ValueToVariantResult::kDone) return false;
    if (V_VT(store) == VT_EMPTY) {
      V_VT(store) = VT_ERROR;
      V_ERROR(store) = DISP_E_PARAMNOTFOUND;
    }
    // Without a declared type a variable goes by reference as what it holds: a
    // Variant variable as a whole VARIANT, any other as its value's own type.
    if (!typed && IsByReference(actual)) {
      const VARTYPE own = value.type == kTypeVariant ? static_cast<VARTYPE>(VT_VARIANT) : V_VT(store);
      parameter = {static_cast<VARTYPE>(VT_BYREF | own), PARAMFLAG_FIN | PARAMFLAG_FOUT};
    }
    if (!(parameter.type & VT_BYREF) || !Refer(parameter, arg, store)) {
      *arg = *store;  // by value: the argument takes the value over
      VariantInit(store);
    }
    return true;
  }

  // Makes `arg` refer to the value built in `store`; false when it goes by value.
  static bool Refer(const Parameter& parameter, VARIANT* arg, VARIANT* store) {
    const auto target = static_cast<VARTYPE>(parameter.type & ~VT_BYREF);
    if (V_VT(store) == VT_ERROR || (target & VT_TYPEMASK) == VT_RECORD) return false;
    // An [out]-only parameter is written without being read or freed by the callee:
    // it starts empty, so what the store held is not lost.
    const bool outOnly = (parameter.flags & PARAMFLAG_FOUT) && !(parameter.flags & PARAMFLAG_FIN);
    if (target == VT_VARIANT) {
      if (outOnly) ClearArgument(store);
      V_VT(arg) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(arg) = store;
      return true;
    }
    if (target & VT_ARRAY) {
      if (!(V_VT(store) & VT_ARRAY) || (V_VT(store) & VT_BYREF)) return false;
      V_VT(arg) = static_cast<VARTYPE>(VT_BYREF | V_VT(store));
      V_ARRAYREF(arg) = &V_ARRAY(store);
      return true;
    }
    if (outOnly) {
      ClearArgument(store);
      std::memset(store, 0, sizeof(VARIANT));
      V_VT(store) = target;  // the empty value of the type: zero, a null BSTR or interface
    } else if (FAILED(VariantChangeTypeEx(store, store, GetUserDefaultLCID(), 0, target))) {
      return false;
    }
    V_VT(arg) = static_cast<VARTYPE>(VT_BYREF | target);
    // The value at the start of the store's union; a decimal fills the whole VARIANT,
    // its reserved word on the type word (put back by RestoreDecimalStores).
    V_BYREF(arg) = target == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(store)) : &V_UI1(store);
    return true;
  }

  const ArgList& m_list;
  size_t m_count;
  VARIANT* m_args = nullptr;    // owned, m_count entries
  VARIANT* m_stores = nullptr;  // owned, m_count entries
  DISPID m_putId = DISPID_PROPERTYPUT;
};

// The number of member arguments, less trailing omitted ones.
size_t ActualArgumentCount(const ArgList& a) {
  int32_t last = a.Count();
  while (last > kFirstMemberArgument && !a.Given(last - 1)) --last;
  return last > kFirstMemberArgument ? static_cast<size_t>(last - kFirstMemberArgument) : 0;
}

// Calls a member bound through the type information.
int32_t CallBound(IDispatch* dispatch, ITypeComp* comp, LPOLESTR name, const ArgList& a, const MemberCommand& command,
                  VARIANT* result) {
  const LCID lcid = GetUserDefaultLCID();
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, lcid, name);
  BoundMember member;
  bool found = false;
  for (INVOKEKIND kind : command.order) {
    const BoundMember::Outcome outcome = member.Bind(comp, name, hash, kind);
    if (outcome == BoundMember::Outcome::kTypeComp) return kAutomationNoMember;
    if (outcome == BoundMember::Outcome::kFound) {
      found = true;
      break;
    }
  }
  if (!found) return kAutomationNoMember;

  const size_t actual = ActualArgumentCount(a);
  MemberPlan plan;
  if (!plan.Plan(member, command.resultType == kTypeNone, actual)) return kAutomationTooManyArguments;
  CallArguments arguments(a, actual);
  if (const int32_t built = arguments.Build(plan); built != kAutomationSuccess) return built;
  DISPPARAMS params = arguments.Params(plan.kind);
  const HRESULT hr = dispatch->Invoke(plan.id, IID_NULL, lcid, plan.kind, &params, result, nullptr, nullptr);
  arguments.RestoreDecimalStores();
  if (FAILED(hr)) return InvokeFailureCode(hr);
  arguments.WriteBack(plan);
  return kAutomationSuccess;
}

// Calls a member of an object without type information: its identifier comes from
// GetIDsOfNames, and the values go as their own types, each invoke kind of the
// binding order in turn until one is a member. Variables passed by reference are
// written back as on the typed path.
int32_t CallByName(IDispatch* dispatch, LPOLESTR name, const ArgList& a, const MemberCommand& command,
                   VARIANT* result) {
  const LCID lcid = GetUserDefaultLCID();
  DISPID id = DISPID_UNKNOWN;
  const HRESULT named = dispatch->GetIDsOfNames(IID_NULL, &name, 1, lcid, &id);
  if (FAILED(named)) {
    return named == DISP_E_UNKNOWNNAME || named == DISP_E_MEMBERNOTFOUND ? kAutomationNoMember
                                                                         : kAutomationNoTypeInfo;
  }
  const size_t actual = ActualArgumentCount(a);
  const MemberPlan untyped;
  CallArguments arguments(a, actual);
  if (const int32_t built = arguments.Build(untyped); built != kAutomationSuccess) return built;
  for (INVOKEKIND invokeKind : command.order) {
    const auto kind = static_cast<WORD>(invokeKind);
    if (IsPut(kind) && actual == 0) continue;  // nothing to put
    DISPPARAMS params = arguments.Params(kind);
    VariantClear(result);
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, lcid, kind, &params, result, nullptr, nullptr);
    if (hr == DISP_E_MEMBERNOTFOUND) continue;
    if (FAILED(hr)) return InvokeFailureCode(hr);
    arguments.WriteBack(untyped);
    return kAutomationSuccess;
  }
  return kAutomationNoMember;
}

// Finds and calls the member; its answer goes into `result`.
int32_t CallMember(const ArgList& a, const MemberCommand& command, VARIANT* result) {
  const auto* holder = a[0].Pointer<const ComObjectBlock>();
  if (!holder || !holder->object) return kAutomationNoObject;
  UniqueBstr name(BstrFromText(a[1].type == kTypeText ? a[1].Pointer<const char>() : nullptr));
  if (!name.Get()) return kAutomationInvokeFailed;
  ComPtr<IUnknown> object = ComPtr<IUnknown>::AddRefOf(holder->object);
  ComPtr<IDispatch> dispatch = object.Query<IDispatch>(IID_IDispatch);
  if (!dispatch) return kAutomationNoDispatch;
  ComPtr<ITypeInfo> info;
  if (FAILED(dispatch->GetTypeInfo(0, GetUserDefaultLCID(), info.Put())) || !info) {
    return CallByName(dispatch.Get(), name.Get(), a, command, result);
  }
  ComPtr<ITypeComp> comp;
  if (FAILED(info->GetTypeComp(comp.Put())) || !comp) return kAutomationNoTypeInfo;
  return CallBound(dispatch.Get(), comp.Get(), name.Get(), a, command, result);
}

// The empty value of a result type: a new empty holder for the automation types, else 0.
uint64_t EmptyResult(TypeCode type) {
  if (type == kTypeComObject) return reinterpret_cast<uintptr_t>(MakeComObject(nullptr));
  if (type == kTypeVariant) return reinterpret_cast<uintptr_t>(MakeVariantHolder(nullptr));
  return 0;
}

// Runs one member command: the call, the result's conversion and the last result.
void RunMemberCommand(ResultRecord* result, int32_t count, ArgRecord* args, const MemberCommand& command) {
  if (!result) return;
  const ArgList a(count, args);
  UniqueVariant answer;
  int32_t code = CallMember(a, command, answer.Get());
  uint64_t value = 0;
  if (code == kAutomationSuccess && command.resultType != kTypeNone &&
      !VariantToValue(answer.Get(), command.resultType, &value)) {
    code = kAutomationResultType;
  }
  if (code != kAutomationSuccess) value = EmptyResult(command.resultType);
  t_lastResult = code;
  result->type = command.resultType;
  if (command.resultType == kTypeNone) value = code == kAutomationSuccess ? 1 : 0;
  result->low = static_cast<uint32_t>(value);
  result->high = static_cast<uint32_t>(value >> 32);
}

}  // namespace

int32_t LastAutomationResult() { return t_lastResult; }

void ObjGetText(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kGetText);
}
void ObjGetNumber(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kGetNumber);
}
void ObjGetObject(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kGetObject);
}
void ObjGetVariant(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kGetVariant);
}
void ObjCallText(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kCallText);
}
void ObjCallObject(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kCallObject);
}
void ObjSetProperty(ResultRecord* result, int32_t count, ArgRecord* args) {
  RunMemberCommand(result, count, args, kSetProperty);
}

}  // namespace zl

// Move-only owners for COM interfaces, BSTRs, VARIANTs, SAFEARRAYs and the
// descriptions a type information hands out: no copy, no implicit conversion.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <utility>

namespace zl {

// Owns one reference to an interface.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(I* p) : m_p(p) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : m_p(o.Release()) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adds a reference to a borrowed pointer and owns it.
  static ComPtr AddRefOf(I* p) {
    if (p) p->AddRef();
    return ComPtr(p);
  }

  I* Get() const { return m_p; }
  I* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // Gives up the reference without releasing it.
  I* Release() { return std::exchange(m_p, nullptr); }
  // Releases the held reference (if any) and takes p.
  void Reset(I* p = nullptr) {
    if (I* old = std::exchange(m_p, p)) old->Release();
  }
  // Releases the held reference and answers the slot an out-parameter fills.
  I** Put() {
    Reset();
    return &m_p;
  }
  // A second interface of the same object, or empty.
  template <class J>
  ComPtr<J> Query(REFIID iid) const {
    J* q = nullptr;
    if (!m_p || FAILED(m_p->QueryInterface(iid, reinterpret_cast<void**>(&q)))) return ComPtr<J>();
    return ComPtr<J>(q);
  }

 private:
  I* m_p = nullptr;
};

// Owns a BSTR.
class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(BSTR s) : m_s(s) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  UniqueBstr(UniqueBstr&& o) noexcept : m_s(o.Release()) {}
  UniqueBstr& operator=(UniqueBstr&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~UniqueBstr() { Reset(); }

  BSTR Get() const { return m_s; }
  BSTR Release() { return std::exchange(m_s, nullptr); }
  void Reset(BSTR s = nullptr) { SysFreeString(std::exchange(m_s, s)); }

 private:
  BSTR m_s = nullptr;
};

// Owns a VARIANT: cleared on destruction.
class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&m_v); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  UniqueVariant(UniqueVariant&& o) noexcept : m_v(o.m_v) { VariantInit(&o.m_v); }
  UniqueVariant& operator=(UniqueVariant&& o) noexcept {
    if (this != &o) {
      Reset();
      m_v = o.m_v;
      VariantInit(&o.m_v);
    }
    return *this;
  }
  ~UniqueVariant() { Reset(); }

  VARIANT* Get() { return &m_v; }
  const VARIANT* Get() const { return &m_v; }
  VARTYPE Type() const { return V_VT(&m_v); }
  // Clears the value to VT_EMPTY.
  void Reset() {
    VariantClear(&m_v);
    VariantInit(&m_v);
  }
  // Hands the value over; this owner is VT_EMPTY afterwards.
  VARIANT Release() {
    VARIANT v = m_v;
    VariantInit(&m_v);
    return v;
  }

 private:
  VARIANT m_v;
};

// Owns a SAFEARRAY.
class UniqueSafeArray {
 public:
  UniqueSafeArray() = default;
  explicit UniqueSafeArray(SAFEARRAY* a) : m_a(a) {}
  UniqueSafeArray(const UniqueSafeArray&) = delete;
  UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
  UniqueSafeArray(UniqueSafeArray&& o) noexcept : m_a(o.Release()) {}
  UniqueSafeArray& operator=(UniqueSafeArray&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~UniqueSafeArray() { Reset(); }

  SAFEARRAY* Get() const { return m_a; }
  explicit operator bool() const { return m_a != nullptr; }
  SAFEARRAY* Release() { return std::exchange(m_a, nullptr); }
  void Reset(SAFEARRAY* a = nullptr) {
    if (SAFEARRAY* old = std::exchange(m_a, a)) SafeArrayDestroy(old);
  }

 private:
  SAFEARRAY* m_a = nullptr;
};

// Owns a TYPEATTR together with a reference to the type information that lent it.
class TypeAttrOwner {
 public:
  TypeAttrOwner() = default;
  TypeAttrOwner(const TypeAttrOwner&) = delete;
  TypeAttrOwner& operator=(const TypeAttrOwner&) = delete;
  ~TypeAttrOwner() { Reset(); }

  // Reads the attributes of `info`; false when it has none to give.
  bool Load(ITypeInfo* info) {
    Reset();
    if (!info || FAILED(info->GetTypeAttr(&m_attr)) || !m_attr) {
      m_attr = nullptr;
      return false;
    }
    m_info = ComPtr<ITypeInfo>::AddRefOf(info);
    return true;
  }
  const TYPEATTR* Get() const { return m_attr; }
  const TYPEATTR* operator->() const { return m_attr; }
  void Reset() {
    if (m_attr) m_info->ReleaseTypeAttr(m_attr);
    m_attr = nullptr;
    m_info.Reset();
  }

 private:
  ComPtr<ITypeInfo> m_info;
  TYPEATTR* m_attr = nullptr;
};

}  // namespace zl

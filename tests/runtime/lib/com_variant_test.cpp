// ComObject holders (creation by ProgID, CLSID and type library, copying, clearing,
// Notify 2035) and Variant holders (scalars, byte sets and arrays as SAFEARRAYs,
// elements by 1-based linear index, reset and copy).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/variant_commands.h"
#include "tests/runtime/lib/automation_test_variables.h"
#include "tests/support/automation_probe.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

using test::ObjectVariable;
using test::ProbeCounts;
using test::VariantVariable;

std::string Str(const TextOwner& t) { return t ? std::string(t.get()) : std::string(); }

// The probe's class identifier as a text in braces.
std::string ProbeClassText() {
  wchar_t wide[40];
  char narrow[40];
  StringFromGUID2(test::ProbeClassId(), wide, 40);
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// Whether the probe's type library is registered, and its registration removed.
struct ProbeLibrary {
  TLIBATTR attr{};
  ProbeLibrary() {
    ComPtr<ITypeLib> library;
    const std::string path = test::ProbeTypeLibraryPath();
    std::wstring wide(path.begin(), path.end());
    TLIBATTR* a = nullptr;
    if (SUCCEEDED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, library.Put())) && SUCCEEDED(library->GetLibAttr(&a))) {
      attr = *a;
      library->ReleaseTLibAttr(a);
    }
  }
  bool Registered() const { return !RegisteredPath().empty(); }
  // The path the library is registered under ("" when it is not registered).
  std::string RegisteredPath() const {
    BSTR path = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, &path))) return {};
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    SysFreeString(path);
    return narrow;
  }
  void Unregister() const {
    if (SUCCEEDED(UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind))) return;
    // A registration whose file cannot be found cannot be undone through the library.
    wchar_t guid[40] = {};
    StringFromGUID2(attr.guid, guid, 40);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"TypeLib\\") + guid).c_str());
  }
};

class ComObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { m_start = test::CurrentProbeCounts(); }
  void TearDown() override { EXPECT_EQ(test::CurrentProbeCounts(), m_start); }

 private:
  ProbeCounts m_start;
};

TEST_F(ComObjectTest, CreatesByProgIdAndClsidAndReplacesTheOldObject) {
  ObjectVariable object;
  EXPECT_TRUE(CallLogical(&ObjIsEmpty, object.Value()));
  ASSERT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeProgId)));
  EXPECT_FALSE(CallLogical(&ObjIsEmpty, object.Value()));
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 1}));
  IUnknown* first = object.Object();
  ASSERT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(ProbeClassText().c_str())));
  EXPECT_NE(object.Object(), first);
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 1}));  // the first one went
  // A class that does not exist leaves the holder as it was.
  IUnknown* second = object.Object();
  EXPECT_FALSE(CallLogical(&ObjCreate, object.Value(), Arg::Text("Zanlark.NoSuchClass")));
  EXPECT_FALSE(CallLogical(&ObjCreate, object.Value(), Arg::Text("{00000000-0000-0000-0000-00000000ABCD}")));
  EXPECT_FALSE(CallLogical(&ObjCreate, object.Value(), Arg::Text("{not a clsid")));
  EXPECT_EQ(object.Object(), second);
  EXPECT_FALSE(CallLogical(&ObjCreate, ArgRecord::OfPointer(kTypeComObject, nullptr), Arg::Text(test::kProbeProgId)));
}

TEST_F(ComObjectTest, ATypeLibraryNamesItsClassButNeverACLSID) {
  const ProbeLibrary library;
  library.Unregister();
  ASSERT_FALSE(library.Registered());
  const std::string path = test::ProbeTypeLibraryPath();
  ObjectVariable object;
  // The coclass name is no ProgID: only the type library knows it.
  EXPECT_FALSE(CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeClassName)));
  // A CLSID in braces creates its class without loading (or registering) the library.
  EXPECT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(ProbeClassText().c_str()), Arg::Text(path.c_str())));
  EXPECT_FALSE(library.Registered());
  EXPECT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeClassName), Arg::Text(path.c_str())));
  EXPECT_FALSE(CallLogical(&ObjIsEmpty, object.Value()));
  EXPECT_TRUE(library.Registered());  // a library given by its path is registered
  library.Unregister();

  // A bare file name is no path, even when a character's trail byte is a backslash's
  // (籠 is BB 5C): the library is loaded, and registered (by the load) under the
  // path where it was found, never under the bare name.
  const std::string folder = test::MakeTempFolder("tlb");
  const std::string copy = folder + "\\籠.tlb";
  ASSERT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  const bool created = CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeClassName), Arg::Text("籠.tlb"));
  SetCurrentDirectoryA(previous);
  EXPECT_TRUE(created);
  const std::string registered = library.RegisteredPath();
  EXPECT_NE(registered, "籠.tlb");
  EXPECT_TRUE(registered.empty() || registered.ends_with("\\籠.tlb")) << registered;
  library.Unregister();
  CallVoid(&ObjClear, object.Value());
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(ComObjectTest, CopiesShareTheObjectAndClearingReleasesIt) {
  ObjectVariable object;
  ASSERT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeProgId)));
  // The fresh holder's old bytes are not a reference: nothing in them is released.
  ComObjectOwner copy(MakeComObject(reinterpret_cast<IUnknown*>(uintptr_t{0xDEADBEEF})));
  CallVoid(&ObjCopy, ArgRecord::OfPointer(kTypeComObject, copy.get()), object.Value());
  EXPECT_EQ(copy->object, object.Object());
  EXPECT_EQ(copy->record, nullptr);
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 2}));
  CallVoid(&ObjClear, object.Value());
  EXPECT_TRUE(CallLogical(&ObjIsEmpty, object.Value()));
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 1}));
  CallVoid(&ObjClear, object.Value());  // clearing an empty holder does nothing
  // The runtime's service 2035 releases a holder the same way and keeps the block.
  EXPECT_EQ(Notify(kNotifyReleaseComObject, reinterpret_cast<intptr_t>(copy.get()), 0), 0);
  EXPECT_EQ(copy->object, nullptr);
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{0, 0}));
  EXPECT_EQ(Notify(kNotifyReleaseComObject, 0, 0), 0);
}

TEST_F(ComObjectTest, AVariantHoldsAnObjectReference) {
  ObjectVariable object;
  ASSERT_TRUE(CallLogical(&ObjCreate, object.Value(), Arg::Text(test::kProbeProgId)));
  VariantVariable v;
  ASSERT_TRUE(CallLogical(&VarSet, v.Value(), object.Value()));
  EXPECT_EQ(v.Type(), VT_UNKNOWN);
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 2}));
  // An empty holder leaves the variant empty.
  ASSERT_TRUE(CallLogical(&VarSet, v.Value(), ObjectVariable().Value()));
  EXPECT_EQ(v.Type(), VT_EMPTY);
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{1, 1}));
}

TEST(Variant, ScalarsTakeTheirAutomationTypes) {
  VariantVariable v;
  EXPECT_EQ(CallText(&VarGetText, v.Value()), nullptr);  // empty
  struct Case {
    ArgRecord value;
    VARTYPE type;
    const char* text;
  } cases[] = {{Arg::Int(-7), VT_I4, "-7"},           {Arg::LongInt(0x700000009LL), VT_I4, "9"},
               {Arg::Text("中文"), VT_BSTR, "中文"},  {Arg::Byte(255), VT_UI1, "255"},
               {Arg::Double(0.5), VT_R8, "0.5"},      {Arg::Logical(false), VT_BOOL, "0"}};
  for (const Case& c : cases) {
    EXPECT_TRUE(CallLogical(&VarSet, v.Value(), c.value)) << c.text;
    EXPECT_EQ(v.Type(), c.type) << c.text;
    EXPECT_EQ(Str(CallText(&VarGetText, v.Value())), c.text);
  }
  // A type without an automation counterpart: false, and the old value is gone.
  EXPECT_FALSE(CallLogical(&VarSet, v.Value(), ArgRecord::Of(kTypeWindowUnit, 1)));
  EXPECT_EQ(v.Type(), VT_EMPTY);
  EXPECT_FALSE(CallLogical(&VarSet, ArgRecord::OfPointer(kTypeVariant, nullptr), Arg::Int(1)));
}

TEST(Variant, AByteSetIsAOneBasedByteArray) {
  VariantVariable v;
  HeapPtr<uint8_t> bytes(MakeByteSet("abc", 3));
  ASSERT_TRUE(CallLogical(&VarSet, v.Value(), Arg::ByteSet(bytes.get())));
  ASSERT_EQ(v.Type(), VT_ARRAY | VT_UI1);
  SAFEARRAY* array = V_ARRAY(v.holder);
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  EXPECT_EQ(std::memcmp(array->pvData, "abc", 3), 0);
  EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(2))), "98");  // 'b'
}

TEST(Variant, ArraysOfTextsAndNumbersKeepEveryElement) {
  VariantVariable v;
  Text texts[3] = {CopyText("甲"), nullptr, CopyText("丙")};
  TextArrayOwner array(MakeTextArray(texts, 3));
  ASSERT_TRUE(CallLogical(&VarSet, v.Value(), Arg::Array(kTypeText, array.get())));
  EXPECT_EQ(v.Type(), VT_ARRAY | VT_BSTR);
  EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(1))), "甲");
  EXPECT_EQ(CallText(&VarGetText, v.Value(), Arg::Int(2)), nullptr);
  EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(3))), "丙");
  EXPECT_EQ(CallText(&VarGetText, v.Value(), Arg::Int(0)), nullptr);
  EXPECT_EQ(CallText(&VarGetText, v.Value(), Arg::Int(4)), nullptr);

  HeapPtr<uint8_t> longs(MakeArray(2, 8));
  const int64_t values[2] = {0x100000001LL, -2};
  std::memcpy(ArrayBlock(longs.get()).Data(), values, sizeof values);
  ASSERT_TRUE(CallLogical(&VarSet, v.Value(), Arg::Array(kTypeLongInt, longs.get())));
  EXPECT_EQ(v.Type(), VT_ARRAY | VT_I4);
  EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(1))), "1");
  EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(2))), "-2");
}

// A 2 × 3 array (bounds 1..2 and 0..2): the linear index runs through the first dimension fastest.
TEST(Variant, ElementsAreAddressedByOneBasedLinearIndex) {
  VariantVariable v;
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}};
  V_VT(v.holder) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(v.holder) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  for (int32_t k = 1; k <= 6; ++k) EXPECT_TRUE(CallLogical(&VarSet, v.Value(), Arg::Int(10 * k), Arg::Int(k))) << k;
  for (int32_t k = 1; k <= 6; ++k) {
    LONG indices[2] = {(k - 1) % 2 + 1, (k - 1) / 2};
    UniqueVariant element;
    ASSERT_EQ(SafeArrayGetElement(V_ARRAY(v.holder), indices, element.Get()), S_OK);
    EXPECT_EQ(V_VT(element.Get()), VT_I4);
    EXPECT_EQ(V_I4(element.Get()), 10 * k) << k;
    EXPECT_EQ(Str(CallText(&VarGetText, v.Value(), Arg::Int(k))), std::to_string(10 * k));
  }
  EXPECT_FALSE(CallLogical(&VarSet, v.Value(), Arg::Int(1), Arg::Int(7)));
  EXPECT_FALSE(CallLogical(&VarSet, v.Value(), Arg::Int(1), Arg::Int(0)));
  // An array fits into an element of VARIANTs only.
  HeapPtr<uint8_t> bytes(MakeByteSet("xy", 2));
  EXPECT_TRUE(CallLogical(&VarSet, v.Value(), Arg::ByteSet(bytes.get()), Arg::Int(3)));
  VariantVariable numbers;
  HeapPtr<uint8_t> ints(MakeArray(2, 4));
  ASSERT_TRUE(CallLogical(&VarSet, numbers.Value(), Arg::Array(kTypeInt, ints.get())));
  EXPECT_FALSE(CallLogical(&VarSet, numbers.Value(), Arg::ByteSet(bytes.get()), Arg::Int(1)));
  EXPECT_TRUE(CallLogical(&VarSet, numbers.Value(), Arg::Text("12"), Arg::Int(2)));  // changed to VT_I4
  EXPECT_EQ(Str(CallText(&VarGetText, numbers.Value(), Arg::Int(2))), "12");
  // A decimal fills the whole VARIANT: it is read and stored there, not in the union.
  VariantVariable decimals;
  SAFEARRAYBOUND two{2, 1};
  V_VT(decimals.holder) = VT_ARRAY | VT_DECIMAL;
  V_ARRAY(decimals.holder) = SafeArrayCreate(VT_DECIMAL, 1, &two);
  DECIMAL stored{};
  VarDecFromI4(12345, &stored);
  LONG first = 1;
  ASSERT_EQ(SafeArrayPutElement(V_ARRAY(decimals.holder), &first, &stored), S_OK);
  EXPECT_EQ(Str(CallText(&VarGetText, decimals.Value(), Arg::Int(1))), "12345");
  EXPECT_TRUE(CallLogical(&VarSet, decimals.Value(), Arg::Int(777), Arg::Int(2)));
  EXPECT_EQ(Str(CallText(&VarGetText, decimals.Value(), Arg::Int(2))), "777");
  // An element index needs an array.
  VariantVariable scalar;
  EXPECT_FALSE(CallLogical(&VarSet, scalar.Value(), Arg::Int(1), Arg::Int(1)));
}

TEST(Variant, ResetZeroesAndCopyIsDeep) {
  VariantVariable source;
  ASSERT_TRUE(CallLogical(&VarSet, source.Value(), Arg::Text("原文")));
  VariantBlock* fresh = static_cast<VariantBlock*>(RtAlloc(sizeof(VariantBlock)));
  std::memset(fresh, 0xCC, sizeof(VariantBlock));  // a fresh holder's bytes are not a value
  VariantOwner copy(fresh);
  CallVoid(&VarCopy, ArgRecord::OfPointer(kTypeVariant, copy.get()), source.Value());
  ASSERT_EQ(V_VT(copy.get()), VT_BSTR);
  EXPECT_NE(V_BSTR(copy.get()), V_BSTR(source.holder));
  CallVoid(&VarReset, source.Value());
  const VariantBlock zero{};
  EXPECT_EQ(std::memcmp(source.holder, &zero, sizeof zero), 0);
  EXPECT_EQ(Str(CallText(&VarGetText, ArgRecord::OfPointer(kTypeVariant, copy.get()))), "原文");
}

}  // namespace
}  // namespace zl

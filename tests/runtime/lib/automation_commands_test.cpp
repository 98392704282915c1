// Member calls of the automation commands against real automation objects: our
// probe (type information with variables, put/put-by-reference functions, [out] and
// by-reference parameters, optional parameters, a variable argument list), the
// system's VBScript.RegExp and Scripting.Dictionary. Every probe test ends with as
// many probe instances and references as it started with.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/lib/automation_commands.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/com_owners.h"
#include "runtime/lib/variant_commands.h"
#include "tests/runtime/lib/automation_test_variables.h"
#include "tests/support/automation_probe.h"

namespace zl {
namespace {

using test::ByReference;
using test::LastProbeCall;
using test::ObjectVariable;
using test::ProbeCounts;
using test::TextVariable;
using test::VariantVariable;

// COM on the test thread and the probe registered, for the whole run.
class AutomationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    m_apartment = std::make_unique<test::ComApartment>();
    ASSERT_TRUE(m_apartment->Ok());
    m_probe = std::make_unique<test::ProbeRegistration>();
    ASSERT_TRUE(m_probe->Ok());
  }
  void TearDown() override {
    m_probe.reset();
    m_apartment.reset();
  }

 private:
  std::unique_ptr<test::ComApartment> m_apartment;
  std::unique_ptr<test::ProbeRegistration> m_probe;
};
[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new AutomationEnvironment);

std::string Str(const TextOwner& t) { return t ? std::string(t.get()) : std::string(); }

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_start = test::CurrentProbeCounts();
    ASSERT_TRUE(CallLogical(&ObjCreate, probe.Value(), Arg::Text(test::kProbeProgId)));
  }
  void TearDown() override {
    CallVoid(&ObjClear, probe.Value());
    EXPECT_EQ(test::CurrentProbeCounts(), m_start);
  }

  // A new probe made by the probe, with or without type information.
  ComObjectOwner Child(bool withTypeInfo) {
    ResultRecord r = CallCommand(&ObjCallObject, probe.Value(), Arg::Text("MakeChild"), Arg::Logical(withTypeInfo));
    EXPECT_EQ(LastAutomationResult(), 0);
    return ComObjectOwner(r.Pointer<ComObjectBlock>());
  }
  static ArgRecord HolderArg(const ComObjectOwner& holder) { return ArgRecord::OfPointer(kTypeComObject, holder.get()); }

  ObjectVariable probe;

 private:
  ProbeCounts m_start;
};

TEST(AutomationEmpty, AnEmptyHolderGivesTheEmptyValueOfEachResult) {
  ObjectVariable empty;
  const ResultRecord text = CallCommand(&ObjGetText, empty.Value(), Arg::Text("Name"));
  EXPECT_EQ(text.type, kTypeText);
  EXPECT_EQ(text.Pointer<char>(), nullptr);
  EXPECT_EQ(LastAutomationResult(), -1);

  const ResultRecord set = CallCommand(&ObjSetProperty, empty.Value(), Arg::Text("Name"), Arg::Text("x"));
  EXPECT_EQ(set.low, 0u);
  EXPECT_EQ(set.type, kTypeNone);
  EXPECT_EQ(LastAutomationResult(), -1);

  // Holders are new and the caller's even when empty.
  const ResultRecord object = CallCommand(&ObjGetObject, empty.Value(), Arg::Text("Partner"));
  EXPECT_EQ(object.type, kTypeComObject);
  ComObjectOwner objectHolder(object.Pointer<ComObjectBlock>());
  ASSERT_NE(objectHolder, nullptr);
  EXPECT_EQ(objectHolder->object, nullptr);
  const ResultRecord variant = CallCommand(&ObjGetVariant, ArgRecord::OfPointer(kTypeComObject, nullptr),
                                           Arg::Text("Name"));
  VariantOwner variantHolder(variant.Pointer<VariantBlock>());
  ASSERT_NE(variantHolder, nullptr);
  EXPECT_EQ(V_VT(variantHolder.get()), VT_EMPTY);
  const ResultRecord number = CallCommand(&ObjGetNumber, empty.Value(), Arg::Text("Number"));
  EXPECT_EQ(number.type, kTypeDouble);
  EXPECT_EQ(number.Double(), 0.0);
}

// Two threads each leave their own code and read it back after the other has set its own.
TEST(AutomationThreads, TheLastResultBelongsToTheThread) {
  struct Shared {
    HANDLE firstSet = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE secondSet = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int32_t firstRead = 1, secondRead = 1;
  } shared;
  auto first = [](void* p) -> DWORD {
    auto* s = static_cast<Shared*>(p);
    ObjectVariable empty;
    CallText(&ObjGetText, empty.Value(), Arg::Text("Name"));  // -1: no object
    SetEvent(s->firstSet);
    WaitForSingleObject(s->secondSet, 15000);
    s->firstRead = LastAutomationResult();
    return 0;
  };
  auto second = [](void* p) -> DWORD {
    auto* s = static_cast<Shared*>(p);
    WaitForSingleObject(s->firstSet, 15000);
    // An object without IDispatch: -2. A memory stream needs no COM apartment.
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    ComObjectOwner holder(MakeComObject(stream.Release()));
    CallText(&ObjGetText, ArgRecord::OfPointer(kTypeComObject, holder.get()), Arg::Text("Name"));
    s->secondRead = LastAutomationResult();
    SetEvent(s->secondSet);
    return 0;
  };
  HANDLE threads[2] = {CreateThread(nullptr, 0, first, &shared, 0, nullptr),
                       CreateThread(nullptr, 0, second, &shared, 0, nullptr)};
  ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, 15000), WAIT_OBJECT_0);
  for (HANDLE h : {threads[0], threads[1], shared.firstSet, shared.secondSet}) CloseHandle(h);
  EXPECT_EQ(shared.firstRead, -1);
  EXPECT_EQ(shared.secondRead, -2);
}

TEST_F(ProbeTest, PropertiesRoundTripAsVariables) {
  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Name"), Arg::Text("探针一号")));
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(LastProbeCall().namedCount, 1u);
  EXPECT_EQ(LastProbeCall().named, DISPID_PROPERTYPUT);
  EXPECT_EQ(Str(CallText(&ObjGetText, probe.Value(), Arg::Text("Name"))), "探针一号");
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_PROPERTYGET);

  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Number"), Arg::Int(7)));
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Number")).Double(), 7.0);
  EXPECT_EQ(LastAutomationResult(), 0);
}

TEST_F(ProbeTest, ObjectPropertiesArePutByReference) {
  ComObjectOwner partner = Child(true);
  // A variable of type IUnknown*.
  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Partner"), HolderArg(partner)));
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_PROPERTYPUTREF);
  ComObjectOwner back(CallCommand(&ObjGetObject, probe.Value(), Arg::Text("Partner")).Pointer<ComObjectBlock>());
  ASSERT_NE(back->object, nullptr);
  EXPECT_EQ(back->object, partner->object);  // the probe's IUnknown is its IDispatch
  // A property described by a put-by-reference function only.
  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Friend"), HolderArg(partner)));
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_PROPERTYPUTREF);
  EXPECT_EQ(LastProbeCall().types, std::vector<VARTYPE>{VT_DISPATCH});
  // Released again: the probe holds nothing when it goes.
  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Partner"), ObjectVariable().Value()));
}

TEST_F(ProbeTest, OutParametersAreWrittenBackIntoVariables) {
  TextVariable head("旧的");
  int32_t counter = 41;
  const TextOwner rest(CallText(&ObjCallText, probe.Value(), Arg::Text("Split"), Arg::Text("第一 second third"),
                                head.Reference(), ByReference(kTypeInt, &counter)));
  ASSERT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(Str(rest), "second third");
  EXPECT_STREQ(head.text, "第一");
  EXPECT_EQ(counter, 42);
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_I4}));

  // Values (not variables) for by-reference parameters still go by reference; nothing is written back.
  EXPECT_EQ(Str(CallText(&ObjCallText, probe.Value(), Arg::Text("Split"), Arg::Text("a b"), Arg::Text("x"),
                         Arg::Int(1))), "b");
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_I4}));
}

TEST_F(ProbeTest, VariantParametersReferToTheWholeValue) {
  VariantVariable value;
  ASSERT_TRUE(CallLogical(&VarSet, value.Value(), Arg::Int(5)));
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Swap"), value.Reference()).Double(), VT_I4);
  EXPECT_EQ(LastProbeCall().types, std::vector<VARTYPE>{VT_BYREF | VT_VARIANT});
  EXPECT_EQ(Str(CallText(&VarGetText, value.Value())), "swapped");
}

TEST_F(ProbeTest, AnOutObjectReplacesTheVariableWithoutLeaking) {
  ObjectVariable variable;
  ComObjectOwner old = Child(true);
  CallVoid(&ObjCopy, variable.Value(), HolderArg(old));
  IUnknown* oldObject = old->object;
  old.reset();
  EXPECT_EQ(test::CurrentProbeCounts().instances, 2);  // the probe and the variable's child
  CallText(&ObjCallText, probe.Value(), Arg::Text("TakeOut"), variable.Reference());
  ASSERT_EQ(LastAutomationResult(), 0);
  ASSERT_NE(variable.Object(), nullptr);
  EXPECT_NE(variable.Object(), oldObject);
  // The old child went with the variable's old value; the new one is the variable's alone.
  EXPECT_EQ(test::CurrentProbeCounts(), (ProbeCounts{2, 2}));
}

TEST_F(ProbeTest, OnlyOmittedArgumentsBetweenGivenOnesArePassed) {
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Describe"), Arg::Int(1), Arg::Omitted(),
                        Arg::Int(3)).Double(), 3.0);
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_I4, VT_ERROR, VT_I4}));
  EXPECT_EQ(LastProbeCall().errors, std::vector<SCODE>{DISP_E_PARAMNOTFOUND});
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Describe"), Arg::Int(1), Arg::Omitted(),
                        Arg::Omitted()).Double(), 1.0);
  EXPECT_EQ(LastProbeCall().types, std::vector<VARTYPE>{VT_I4});
}

TEST_F(ProbeTest, AVariableArgumentListTakesAnyNumber) {
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Sum"), Arg::Int(1), Arg::Double(2.5),
                        Arg::Text("3"), Arg::Byte(4)).Double(), 10.5);
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_I4, VT_R8, VT_BSTR, VT_UI1}));
  // Without one, more arguments than parameters are refused before the call.
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Twice"), Arg::Int(1), Arg::Int(2)).Double(), 0.0);
  EXPECT_EQ(LastAutomationResult(), -5);
}

TEST_F(ProbeTest, IndexArgumentsComeBeforeThePutValue) {
  EXPECT_TRUE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("Cell"), Arg::Int(1), Arg::Int(2), Arg::Int(99)));
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_I4, VT_I4, VT_I4}));
  EXPECT_EQ(LastProbeCall().named, DISPID_PROPERTYPUT);
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Cell"), Arg::Int(1), Arg::Int(2)).Double(), 99.0);
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Cell"), Arg::Int(2), Arg::Int(1)).Double(), 0.0);
}

// Each runtime value as the VARIANT the probe receives and echoes.
TEST_F(ProbeTest, RuntimeValuesBecomeVariantsByType) {
  VariantVariable text;
  ASSERT_TRUE(CallLogical(&VarSet, text.Value(), Arg::Text("变体")));
  const ArgRecord values[] = {Arg::Logical(true), Arg::Byte(200), Arg::ShortInt(-2), Arg::Int(-3),
                              Arg::LongInt(0x100000005LL), Arg::Float(1.5f), Arg::Double(2.25),
                              Arg::DateTime(42736.5), Arg::Text("文字"), text.Value(), probe.Value()};
  const VARTYPE types[] = {VT_BOOL, VT_UI1, VT_I2, VT_I4, VT_I4, VT_R4, VT_R8, VT_DATE, VT_BSTR, VT_BSTR, VT_DISPATCH};
  const char* texts[] = {nullptr, "200", "-2", "-3", "5", "1.5", "2.25", nullptr, "文字", "变体", nullptr};
  for (size_t i = 0; i < std::size(values); ++i) {
    VariantOwner echo(CallCommand(&ObjGetVariant, probe.Value(), Arg::Text("Echo"), values[i]).Pointer<VariantBlock>());
    ASSERT_EQ(LastAutomationResult(), 0) << i;
    EXPECT_EQ(V_VT(echo.get()), types[i]) << i;
    if (texts[i]) {
      EXPECT_EQ(Str(CallText(&VarGetText, ArgRecord::OfPointer(kTypeVariant, echo.get()))), texts[i]) << i;
    }
  }
  VariantOwner truth(CallCommand(&ObjGetVariant, probe.Value(), Arg::Text("Echo"), Arg::Logical(true)).Pointer<VariantBlock>());
  EXPECT_EQ(V_BOOL(truth.get()), VARIANT_TRUE);
  VariantOwner self(CallCommand(&ObjGetVariant, probe.Value(), Arg::Text("Echo"), probe.Value()).Pointer<VariantBlock>());
  EXPECT_EQ(V_DISPATCH(self.get()), probe.Object());
  // An empty Variant is an omitted argument.
  VariantVariable empty;
  VariantOwner omitted(CallCommand(&ObjGetVariant, probe.Value(), Arg::Text("Echo"), empty.Value()).Pointer<VariantBlock>());
  EXPECT_EQ(V_VT(omitted.get()), VT_ERROR);
  EXPECT_EQ(V_ERROR(omitted.get()), DISP_E_PARAMNOTFOUND);
  // A value no parameter can take.
  const ArgRecord routine = ArgRecord::Of(kTypeSubprogramPointer, 0x1000);
  VariantOwner none(CallCommand(&ObjGetVariant, probe.Value(), Arg::Text("Echo"), routine).Pointer<VariantBlock>());
  EXPECT_EQ(LastAutomationResult(), -7);
  EXPECT_EQ(V_VT(none.get()), VT_EMPTY);
}

TEST_F(ProbeTest, FailuresLeaveTheirCodes) {
  EXPECT_FALSE(CallLogical(&ObjSetProperty, probe.Value(), Arg::Text("NoSuchMember"), Arg::Int(1)));
  EXPECT_EQ(LastAutomationResult(), -3);
  CallText(&ObjCallText, probe.Value(), Arg::Text("Fail"));
  EXPECT_EQ(LastAutomationResult(), -11);
  EXPECT_EQ(CallCommand(&ObjGetNumber, probe.Value(), Arg::Text("Twice"), Arg::Text("abc")).Double(), 0.0);
  EXPECT_EQ(LastAutomationResult(), -16);
  // A text result is no object: the holder comes back empty.
  ComObjectOwner notAnObject(CallCommand(&ObjGetObject, probe.Value(), Arg::Text("Name")).Pointer<ComObjectBlock>());
  EXPECT_EQ(LastAutomationResult(), -8);
  ASSERT_NE(notAnObject, nullptr);
  EXPECT_EQ(notAnObject->object, nullptr);
  // A property variable takes no arguments to read it.
  CallText(&ObjGetText, probe.Value(), Arg::Text("Name"), Arg::Int(1));
  EXPECT_EQ(LastAutomationResult(), -5);
}

TEST_F(ProbeTest, ObjectsWithoutTypeInformationAreCalledByName) {
  ComObjectOwner blind = Child(false);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(ComPtr<IUnknown>::AddRefOf(blind->object).Query<IDispatch>(IID_IDispatch)->GetTypeInfo(0, 0, info.Put()),
            E_NOTIMPL);
  EXPECT_EQ(CallCommand(&ObjGetNumber, HolderArg(blind), Arg::Text("Twice"), Arg::Double(21)).Double(), 42.0);
  EXPECT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_METHOD);  // after property-get was no member
  EXPECT_TRUE(CallLogical(&ObjSetProperty, HolderArg(blind), Arg::Text("Name"), Arg::Text("无类型")));
  EXPECT_EQ(LastProbeCall().flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(Str(CallText(&ObjGetText, HolderArg(blind), Arg::Text("Name"))), "无类型");
  CallText(&ObjGetText, HolderArg(blind), Arg::Text("NoSuchMember"));
  EXPECT_EQ(LastAutomationResult(), -3);
  ComObjectOwner grandchild(CallCommand(&ObjCallObject, HolderArg(blind), Arg::Text("MakeChild"),
                                        Arg::Logical(true)).Pointer<ComObjectBlock>());
  EXPECT_NE(grandchild->object, nullptr);

  // Variables go by reference as what they hold and are written back, as with type information.
  TextVariable head("旧的");
  int32_t counter = 41;
  const TextOwner rest(CallText(&ObjCallText, HolderArg(blind), Arg::Text("Split"), Arg::Text("第一 second"),
                                head.Reference(), ByReference(kTypeInt, &counter)));
  ASSERT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(Str(rest), "second");
  EXPECT_STREQ(head.text, "第一");
  EXPECT_EQ(counter, 42);
  EXPECT_EQ(LastProbeCall().types, (std::vector<VARTYPE>{VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_I4}));
  VariantVariable value;
  ASSERT_TRUE(CallLogical(&VarSet, value.Value(), Arg::Int(5)));
  EXPECT_EQ(CallCommand(&ObjGetNumber, HolderArg(blind), Arg::Text("Swap"), value.Reference()).Double(), VT_I4);
  EXPECT_EQ(Str(CallText(&VarGetText, value.Value())), "swapped");
  ObjectVariable made;
  CallText(&ObjCallText, HolderArg(blind), Arg::Text("TakeOut"), made.Reference());
  ASSERT_EQ(LastAutomationResult(), 0);
  EXPECT_NE(made.Object(), nullptr);
}

class RegExpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CallLogical(&ObjCreate, engine.Value(), Arg::Text("VBScript.RegExp"))); }
  // Sets the pattern and executes it on `subject`; the match collection.
  ComObjectOwner Execute(const char* pattern, const char* subject) {
    EXPECT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Pattern"), Arg::Text(pattern)));
    EXPECT_TRUE(CallLogical(&VarSet, this->subject.Value(), Arg::Text(subject)));
    return ComObjectOwner(
        CallCommand(&ObjCallObject, engine.Value(), Arg::Text("Execute"), this->subject.Value()).Pointer<ComObjectBlock>());
  }
  ObjectVariable engine;
  VariantVariable subject;
};

TEST_F(RegExpTest, PropertiesRoundTrip) {
  EXPECT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Pattern"), Arg::Text("中+[a-z]")));
  EXPECT_EQ(Str(CallText(&ObjGetText, engine.Value(), Arg::Text("Pattern"))), "中+[a-z]");
  for (const char* name : {"Global", "IgnoreCase"}) {
    EXPECT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text(name), Arg::Logical(true))) << name;
    EXPECT_EQ(CallCommand(&ObjGetNumber, engine.Value(), Arg::Text(name)).Double(), -1.0) << name;
    EXPECT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text(name), Arg::Logical(false))) << name;
    EXPECT_EQ(CallCommand(&ObjGetNumber, engine.Value(), Arg::Text(name)).Double(), 0.0) << name;
  }
  // The scripting engine has no such member: the write fails and nothing else happens.
  EXPECT_FALSE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Singleline"), Arg::Logical(true)));
  EXPECT_EQ(LastAutomationResult(), -3);
}

TEST_F(RegExpTest, MatchesAreReadByNameWithoutTypeInformation) {
  ASSERT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Global"), Arg::Logical(true)));
  ComObjectOwner matches = Execute("b", "a中b b");
  ASSERT_EQ(LastAutomationResult(), 0);
  ASSERT_NE(matches->object, nullptr);
  // Wine's match collection has no type information (E_NOTIMPL): the calls go by name.
  ComPtr<ITypeInfo> info;
  EXPECT_TRUE(FAILED(ComPtr<IUnknown>::AddRefOf(matches->object).Query<IDispatch>(IID_IDispatch)->GetTypeInfo(
      0, 0, info.Put())));
  const ArgRecord collection = ArgRecord::OfPointer(kTypeComObject, matches.get());
  EXPECT_EQ(CallCommand(&ObjGetNumber, collection, Arg::Text("Count")).Double(), 2.0);
  const double firstIndex[] = {2, 4};  // characters, not bytes
  for (int k = 0; k < 2; ++k) {
    ComObjectOwner match(CallCommand(&ObjGetObject, collection, Arg::Text("Item"), Arg::Double(k)).Pointer<ComObjectBlock>());
    ASSERT_EQ(LastAutomationResult(), 0) << k;
    const ArgRecord m = ArgRecord::OfPointer(kTypeComObject, match.get());
    VariantOwner value(CallCommand(&ObjGetVariant, m, Arg::Text("Value")).Pointer<VariantBlock>());
    EXPECT_EQ(Str(CallText(&VarGetText, ArgRecord::OfPointer(kTypeVariant, value.get()))), "b") << k;
    EXPECT_EQ(CallCommand(&ObjGetNumber, m, Arg::Text("FirstIndex")).Double(), firstIndex[k]) << k;
  }
  ComObjectOwner beyond(CallCommand(&ObjGetObject, collection, Arg::Text("Item"), Arg::Double(2)).Pointer<ComObjectBlock>());
  EXPECT_LT(LastAutomationResult(), 0);
  EXPECT_EQ(beyond->object, nullptr);
}

TEST_F(RegExpTest, ReplaceWorksOnTheSubject) {
  ASSERT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Global"), Arg::Logical(true)));
  ASSERT_TRUE(CallLogical(&ObjSetProperty, engine.Value(), Arg::Text("Pattern"), Arg::Text("b")));
  ASSERT_TRUE(CallLogical(&VarSet, subject.Value(), Arg::Text("a中b b")));
  VariantVariable replacement;
  ASSERT_TRUE(CallLogical(&VarSet, replacement.Value(), Arg::Text("乙")));
  EXPECT_EQ(Str(CallText(&ObjCallText, engine.Value(), Arg::Text("Replace"), subject.Value(), replacement.Value())),
            "a中乙 乙");
}

TEST_F(RegExpTest, AnInvalidPatternFailsQuietly) {
  ComObjectOwner matches = Execute("(", "abc");
  EXPECT_LT(LastAutomationResult(), 0);
  ASSERT_NE(matches, nullptr);
  EXPECT_TRUE(CallLogical(&ObjIsEmpty, ArgRecord::OfPointer(kTypeComObject, matches.get())));
}

TEST(Dictionary, ItemsKeysAndCounts) {
  ObjectVariable dictionary;
  ASSERT_TRUE(CallLogical(&ObjCreate, dictionary.Value(), Arg::Text("Scripting.Dictionary")));
  const ArgRecord d = dictionary.Value();
  // Add takes its key and item as VARIANT* parameters; an [in] one is never written back.
  TextVariable key("k1");
  const char* keyText = key.text;
  CallText(&ObjCallText, d, Arg::Text("Add"), key.Reference(), Arg::Int(10));
  EXPECT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(key.text, keyText);
  CallText(&ObjCallText, d, Arg::Text("Add"), Arg::Text("键二"), Arg::Text("二"));
  EXPECT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(CallCommand(&ObjGetNumber, d, Arg::Text("Item"), Arg::Text("k1")).Double(), 10.0);
  EXPECT_TRUE(CallLogical(&ObjSetProperty, d, Arg::Text("Item"), Arg::Text("k1"), Arg::Int(11)));
  EXPECT_EQ(CallCommand(&ObjGetNumber, d, Arg::Text("Item"), Arg::Text("k1")).Double(), 11.0);
  EXPECT_EQ(Str(CallText(&ObjGetText, d, Arg::Text("Item"), Arg::Text("键二"))), "二");
  EXPECT_EQ(CallCommand(&ObjGetNumber, d, Arg::Text("Exists"), Arg::Text("键二")).Double(), -1.0);
  EXPECT_EQ(CallCommand(&ObjGetNumber, d, Arg::Text("Exists"), Arg::Text("k3")).Double(), 0.0);
  EXPECT_EQ(CallCommand(&ObjGetNumber, d, Arg::Text("Count")).Double(), 2.0);

  VariantOwner keys(CallCommand(&ObjGetVariant, d, Arg::Text("Keys")).Pointer<VariantBlock>());
  ASSERT_EQ(LastAutomationResult(), 0);
  EXPECT_EQ(V_VT(keys.get()), VT_ARRAY | VT_VARIANT);
  const ArgRecord k = ArgRecord::OfPointer(kTypeVariant, keys.get());
  EXPECT_EQ(Str(CallText(&VarGetText, k, Arg::Int(1))), "k1");
  EXPECT_EQ(Str(CallText(&VarGetText, k, Arg::Int(2))), "键二");
  EXPECT_EQ(CallText(&VarGetText, k, Arg::Int(3)), nullptr);
}

}  // namespace
}  // namespace zl

// The thread library: StartThread's argument rules, handle ownership, the
// subprogram's parameter and exit code, and the library's notify entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "runtime/lib/thread_library.h"
#include "runtime/lib/values.h"

namespace zl {
namespace {

constexpr DWORD kWaitMs = 15000;
constexpr uint32_t kUnseen = 0xFFFFFFFF;

// What the last started subprogram received; set before its event is signalled.
std::atomic<uint32_t> g_received{kUnseen};
HANDLE g_ran = nullptr;  // signalled by the subprogram

uint32_t RecordParameter(uint32_t parameter) {
  g_received = parameter;
  SetEvent(g_ran);
  return parameter + 1;
}

class StartThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received = kUnseen;
    g_ran = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(g_ran, nullptr);
  }
  void TearDown() override { CloseHandle(g_ran); }

  // Calls StartThread with `count` and the three records; answers the result record.
  static ResultRecord Start(int32_t count, ArgRecord subprogram, ArgRecord parameter, ArgRecord handle) {
    ArgRecord args[3] = {subprogram, parameter, handle};
    ResultRecord result{};
    StartThread(&result, count, args);
    return result;
  }
  static ArgRecord Routine(Subprogram routine) {
    return ArgRecord::OfPointer(kTypeSubprogramPointer, reinterpret_cast<const void*>(routine));
  }
  static ArgRecord HandleVariable(ThreadHandleVariable* variable) {
    return ArgRecord::OfPointer(kTypeInt, variable);
  }
};

TEST_F(StartThreadTest, OnlyTheSubprogramRunsItWithZero) {
  const ResultRecord result = Start(3, Routine(&RecordParameter), ArgRecord::Omitted(), ArgRecord::Omitted());
  EXPECT_EQ(result.low, 1u);
  EXPECT_EQ(result.high, 0u);
  EXPECT_EQ(result.type, kTypeNone);
  ASSERT_EQ(WaitForSingleObject(g_ran, kWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(g_received.load(), 0u);
}

TEST_F(StartThreadTest, TheParameterReachesTheSubprogram) {
  const ResultRecord result = Start(3, Routine(&RecordParameter), ArgRecord::OfInt(1234), ArgRecord::Omitted());
  EXPECT_EQ(result.low, 1u);
  ASSERT_EQ(WaitForSingleObject(g_ran, kWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(g_received.load(), 1234u);
}

TEST_F(StartThreadTest, AParameterBeyondTheCountIsNotPassed) {
  ThreadHandleVariable variable = 77;
  const ResultRecord result = Start(1, Routine(&RecordParameter), ArgRecord::OfInt(99), HandleVariable(&variable));
  EXPECT_EQ(result.low, 1u);
  ASSERT_EQ(WaitForSingleObject(g_ran, kWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(g_received.load(), 0u);
  EXPECT_EQ(variable, 77);  // with fewer than three arguments the handle is not stored
}

TEST_F(StartThreadTest, TheHandleVariableHoldsAnOpenHandleOfTheThread) {
  // The variable is the application's 32-bit integer: the word after it stays untouched.
  struct {
    ThreadHandleVariable variable = 0;
    int32_t next = 0x5A5A5A5A;
  } words;
  ThreadHandleVariable& variable = words.variable;
  const ResultRecord result = Start(3, Routine(&RecordParameter), ArgRecord::OfInt(41), HandleVariable(&variable));
  EXPECT_EQ(result.low, 1u);
  EXPECT_EQ(words.next, 0x5A5A5A5A);
  ASSERT_NE(variable, 0);
  const HANDLE thread = LongToHandle(variable);
  ASSERT_EQ(WaitForSingleObject(thread, kWaitMs), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 42u);  // the subprogram's return value
  EXPECT_EQ(g_received.load(), 41u);
  EXPECT_TRUE(CloseHandle(thread));  // the handle belongs to the caller
}

TEST_F(StartThreadTest, WithTwoArgumentsTheHandleIsNotStored) {
  ThreadHandleVariable variable = 77;
  const ResultRecord result = Start(2, Routine(&RecordParameter), ArgRecord::OfInt(5), HandleVariable(&variable));
  EXPECT_EQ(result.low, 1u);
  ASSERT_EQ(WaitForSingleObject(g_ran, kWaitMs), WAIT_OBJECT_0);
  EXPECT_EQ(g_received.load(), 5u);
  EXPECT_EQ(variable, 77);
}

TEST_F(StartThreadTest, AMissingSubprogramFailsAndStoresANullHandle) {
  ThreadHandleVariable variable = 77;
  ResultRecord result = Start(3, ArgRecord::Omitted(), ArgRecord::OfInt(5), HandleVariable(&variable));
  EXPECT_EQ(result.low, 0u);
  EXPECT_EQ(variable, 0);
  variable = 77;
  result = Start(3, ArgRecord::OfPointer(kTypeSubprogramPointer, nullptr), ArgRecord::Omitted(),
                 HandleVariable(&variable));
  EXPECT_EQ(result.low, 0u);
  EXPECT_EQ(variable, 0);
}

TEST(ThreadLibrary, CommandTableHoldsStartThread) {
  EXPECT_STREQ(g_threadLibrary.name, "thread");
  ASSERT_EQ(g_threadLibrary.commandCount, 1u);
  EXPECT_EQ(g_threadLibrary.commands[0], &StartThread);
  EXPECT_EQ(g_threadLibrary.notify, &ThreadLibraryNotify);
}

intptr_t __stdcall NoServices(int32_t, intptr_t, intptr_t) { return 0; }

TEST(ThreadLibrary, NotifyAnswersOnlyStartAndEnd) {
  CRITICAL_SECTION* permit = AddPermit();
  for (int32_t code : {0, 2, 3, 5, 7, 2032, -1}) {
    EXPECT_EQ(ThreadLibraryNotify(code, 0, 0), -1) << "code " << code;
  }
  EXPECT_EQ(PermitCount(), 1u);  // other codes change nothing
  EnterCriticalSection(permit);  // the permit still works
  LeaveCriticalSection(permit);
  EXPECT_EQ(ThreadLibraryNotify(1, reinterpret_cast<intptr_t>(&NoServices), 0), 0);
  EXPECT_EQ(PermitCount(), 1u);
  EXPECT_EQ(ThreadLibraryNotify(6, 0, 0), 0);
  EXPECT_EQ(PermitCount(), 0u);
}

TEST(ThreadLibrary, EndNotificationDeletesEveryPermit) {
  for (int i = 0; i < 3; ++i) {
    CRITICAL_SECTION* permit = AddPermit();
    EnterCriticalSection(permit);
    LeaveCriticalSection(permit);
  }
  EXPECT_EQ(PermitCount(), 3u);
  EXPECT_EQ(ThreadLibraryNotify(6, 0, 0), 0);
  EXPECT_EQ(PermitCount(), 0u);
  EXPECT_EQ(ThreadLibraryNotify(6, 0, 0), 0);  // an empty list is fine
  EXPECT_EQ(PermitCount(), 0u);
}

}  // namespace
}  // namespace zl

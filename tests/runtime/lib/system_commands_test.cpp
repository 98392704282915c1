// MsgBox against real message boxes (read and dismissed by the test while the
// command blocks on a worker thread), ReadFileBytes against real files and sharing,
// and Delay.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "runtime/core/runtime_kernel.h"
#include "runtime/core/win_handles.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/component_lookup.h"
#include "runtime/lib/system_commands.h"
#include "tests/support/test_support.h"
#include "tests/support/unit_services_stub.h"

namespace zl {
namespace {

using test::DismissMessageBox;
using test::MessageBoxInfo;
using test::WaitForMessageBox;

constexpr DWORD kTimeoutMs = 15000;

// Runs a MsgBox call on a thread of its own, which first creates a visible top-level
// window (so the test can see what the box does to the thread's other windows).
class MessageBoxThread {
 public:
  using Call = std::function<int32_t(HWND threadWindow)>;

  explicit MessageBoxThread(Call call) : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    m_thread = std::thread([this, call = std::move(call)] {
      m_threadId.store(GetCurrentThreadId());
      HWND window = CreateWindowExA(0, "STATIC", "thread window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                    200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      m_window.store(window);
      m_answer = call(window);
      m_enabledAfter = IsWindowEnabled(window) != FALSE;
      DestroyWindow(window);
      SetEvent(m_done.Get());
    });
  }

  MessageBoxThread(const MessageBoxThread&) = delete;
  MessageBoxThread& operator=(const MessageBoxThread&) = delete;

  ~MessageBoxThread() {
    if (WaitForSingleObject(m_done.Get(), 0) != WAIT_OBJECT_0) {
      // A failed test left the box up: any button id ends a message box.
      EnumThreadWindows(m_threadId.load(), CloseBoxes, 0);
    }
    if (WaitForSingleObject(m_done.Get(), kTimeoutMs) == WAIT_OBJECT_0) {
      m_thread.join();
    } else {
      ADD_FAILURE() << "the message box thread did not end";
      m_thread.detach();
    }
  }

  // The command's answer once the box has closed; nothing on time-out.
  std::optional<int32_t> Answer() {
    if (WaitForSingleObject(m_done.Get(), kTimeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    return m_answer;
  }
  // The thread's own top-level window (set before the call starts).
  HWND Window() const { return m_window.load(); }
  // Whether the thread's window was enabled again after the call.
  bool EnabledAfter() const { return m_enabledAfter; }

 private:
  static BOOL CALLBACK CloseBoxes(HWND hwnd, LPARAM) {
    PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }

  UniqueKernelHandle m_done;
  std::atomic<DWORD> m_threadId{0};
  std::atomic<HWND> m_window{nullptr};
  int32_t m_answer = -100;
  bool m_enabledAfter = false;
  std::thread m_thread;
};

// The owner window of a top-level window.
HWND OwnerOf(HWND hwnd) { return GetWindow(hwnd, GW_OWNER); }

// A handle as the Int argument a program passes for it.
ArgRecord HandleArg(HWND hwnd) { return Arg::Int(static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd))); }

TEST(MsgBox, DefaultCaptionAndTextMessage) {
  MessageBoxThread run([](HWND) { return CallInt(&MsgBox, Arg::Text("你好"), Arg::Int(MB_OK)); });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "信息：");
  EXPECT_EQ(box->text, "你好");
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

TEST(MsgBox, ValuesAreFormattedAndCaptionGiven) {
  MessageBoxThread run([](HWND) {
    return CallInt(&MsgBox, Arg::Double(2.5), Arg::Int(MB_OK | MB_ICONINFORMATION), Arg::Text("标题"));
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "标题");
  EXPECT_EQ(box->text, "2.5");
  EXPECT_TRUE(box->hasIcon);
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

TEST(MsgBox, ByteSetMessageShowsNothing) {
  MessageBoxThread run([](HWND) {
    const HeapPtr<uint8_t> set(MakeByteSet("abc", 3));
    return CallInt(&MsgBox, Arg::ByteSet(set.get()), Arg::Int(MB_OK), Arg::Text("bytes"));
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "bytes");
  EXPECT_EQ(box->text, "");
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

struct AnswerCase {
  UINT style;
  int button;
  int32_t index;
};

class MsgBoxAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MsgBoxAnswer, PressedButtonGivesItsIndex) {
  const AnswerCase c = GetParam();
  MessageBoxThread run([&](HWND) { return CallInt(&MsgBox, Arg::Text("answer"), Arg::Int(static_cast<int32_t>(c.style))); });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  ASSERT_NE(std::find(box->buttons.begin(), box->buttons.end(), c.button), box->buttons.end());
  DismissMessageBox(box->box, c.button);
  EXPECT_EQ(run.Answer(), c.index);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MsgBoxAnswer,
                         ::testing::Values(AnswerCase{MB_OKCANCEL, IDOK, 0}, AnswerCase{MB_OKCANCEL, IDCANCEL, 1},
                                           AnswerCase{MB_ABORTRETRYIGNORE, IDABORT, 2},
                                           AnswerCase{MB_ABORTRETRYIGNORE, IDRETRY, 3},
                                           AnswerCase{MB_ABORTRETRYIGNORE, IDIGNORE, 4},
                                           AnswerCase{MB_YESNO, IDYES, 5}, AnswerCase{MB_YESNO, IDNO, 6},
                                           AnswerCase{MB_YESNOCANCEL, IDCANCEL, 1}));

TEST(MsgBox, TaskModalDisablesTheThreadsOtherWindows) {
  MessageBoxThread run([](HWND) { return CallInt(&MsgBox, Arg::Text("task"), Arg::Int(MB_OK)); });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  ASSERT_NE(run.Window(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(run.Window()));
  EXPECT_EQ(OwnerOf(box->box), nullptr);
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
  EXPECT_TRUE(run.EnabledAfter());
}

TEST(MsgBox, SystemModalIsTopmostAndNotTaskModal) {
  MessageBoxThread run([](HWND) { return CallInt(&MsgBox, Arg::Text("system"), Arg::Int(MB_OK | MB_SYSTEMMODAL)); });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowEnabled(run.Window()));
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

TEST(MsgBox, IntArgumentIsTheParentHandle) {
  MessageBoxThread run([](HWND window) {
    return CallInt(&MsgBox, Arg::Text("owned"), Arg::Int(MB_OKCANCEL), Arg::Omitted(), HandleArg(window));
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "信息：");
  EXPECT_EQ(OwnerOf(box->box), run.Window());
  EXPECT_FALSE(IsWindowEnabled(run.Window()));
  DismissMessageBox(box->box, IDCANCEL);
  EXPECT_EQ(run.Answer(), 1);
  EXPECT_TRUE(run.EnabledAfter());
}

TEST(MsgBox, ParentIsReadOnlyFromAFourthRecordTheCountIncludes) {
  MessageBoxThread run([](HWND window) {
    ArgRecord args[4] = {Arg::Text("three"), Arg::Int(MB_OK), Arg::Omitted(), HandleArg(window)};
    ResultRecord result{};
    MsgBox(&result, 3, args);
    return result.Int();
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(OwnerOf(box->box), nullptr);
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

// A stand-in for a live component object as the component lookup answers it.
struct FakeComponent {
  HWND hwnd;
};
constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kUnitId = 0x16011DE0;
std::atomic<FakeComponent*> g_fakeComponent{nullptr};

struct FakeUnitServices : test::NoUnitServices {
  intptr_t AnswerNotify(int32_t code, intptr_t windowId, intptr_t unitId) override {
    if (code == 2006 && static_cast<uint32_t>(windowId) == kWindowId && static_cast<uint32_t>(unitId) == kUnitId) {
      return reinterpret_cast<intptr_t>(g_fakeComponent.load());
    }
    return 0;
  }
} g_fakeUnits;

HWND ReadFakeComponentWindow(void* component) { return static_cast<FakeComponent*>(component)->hwnd; }

TEST(MsgBox, WindowComponentThatDoesNotResolveGivesNoParent) {
  ASSERT_EQ(Kernel().unitServices, nullptr);
  MessageBoxThread run([](HWND) {
    return CallInt(&MsgBox, Arg::Text("component"), Arg::Int(MB_OK), Arg::Omitted(),
                   Arg::Component(kTypeWindowUnit, kWindowId, kUnitId));
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  ASSERT_TRUE(box);
  EXPECT_EQ(OwnerOf(box->box), nullptr);
  DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(run.Answer(), 0);
}

TEST(MsgBox, WindowComponentResolvesThroughTheComponentLookup) {
  Kernel().UseUnitServices(&g_fakeUnits);
  SetComponentWindowReader(&ReadFakeComponentWindow);
  FakeComponent component{};
  MessageBoxThread run([&](HWND window) {
    component.hwnd = window;
    g_fakeComponent.store(&component);
    return CallInt(&MsgBox, Arg::Text("component"), Arg::Int(MB_OK), Arg::Omitted(),
                   Arg::Component(kTypeWindowUnit, kWindowId, kUnitId));
  });
  const std::optional<MessageBoxInfo> box = WaitForMessageBox(GetCurrentProcessId());
  EXPECT_TRUE(box);
  if (box) {
    EXPECT_EQ(OwnerOf(box->box), run.Window());
    DismissMessageBox(box->box, IDOK);
  }
  EXPECT_EQ(run.Answer(), 0);
  Kernel().UseUnitServices(nullptr);
  SetComponentWindowReader(nullptr);
  g_fakeComponent.store(nullptr);
}

// ---------------------------------------------------------------------------
// ReadFileBytes
// ---------------------------------------------------------------------------

// Writes bytes to a new file; answers success.
bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The bytes of a byte set as a string (empty for null), checking its header.
std::string SetBytes(const HeapPtr<uint8_t>& set) {
  if (!set) return {};
  ByteSetHeader header;
  std::memcpy(&header, set.get(), sizeof header);
  EXPECT_EQ(header.dimensions, 1u);
  EXPECT_GE(header.length, 1);
  return std::string(reinterpret_cast<const char*>(ByteSetData(set.get())), ByteSetLength(set.get()));
}

class ReadFileBytesTest : public ::testing::Test {
 protected:
  std::string m_folder = test::MakeTempFolder("readbytes");
  std::string Path(const char* name) const { return m_folder + "\\" + name; }
};

TEST_F(ReadFileBytesTest, MissingEmptyNameAndFolderGiveNothing) {
  EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Text(Path("missing.bin").c_str())));
  EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Text("")));
  EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Text(m_folder.c_str())));
  EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Omitted()));
}

TEST_F(ReadFileBytesTest, EmptyFileGivesTheEmptyByteSet) {
  ASSERT_TRUE(WriteFileBytes(Path("empty.bin"), ""));
  EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Text(Path("empty.bin").c_str())));
}

TEST_F(ReadFileBytesTest, WholeFileWithZeroBytes) {
  const std::string bytes("ab\0\xFF" "cd\r\n", 8);
  ASSERT_TRUE(WriteFileBytes(Path("数据.bin"), bytes));
  EXPECT_EQ(SetBytes(CallByteSet(&ReadFileBytes, Arg::Text(Path("数据.bin").c_str()))), bytes);
}

TEST_F(ReadFileBytesTest, LargeFileIsReadWhole) {
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  ASSERT_TRUE(WriteFileBytes(Path("large.bin"), bytes));
  EXPECT_EQ(SetBytes(CallByteSet(&ReadFileBytes, Arg::Text(Path("large.bin").c_str()))), bytes);
}

TEST_F(ReadFileBytesTest, FileHeldByAWriterGivesNothing) {
  const std::string path = Path("held.txt");
  ASSERT_TRUE(WriteFileBytes(path, "content"));
  {
    UniqueFile writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_FALSE(CallByteSet(&ReadFileBytes, Arg::Text(path.c_str())));
  }
  {
    // Another reader does not stand in the way.
    UniqueFile reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(SetBytes(CallByteSet(&ReadFileBytes, Arg::Text(path.c_str()))), "content");
  }
  EXPECT_EQ(SetBytes(CallByteSet(&ReadFileBytes, Arg::Text(path.c_str()))), "content");
}

// ---------------------------------------------------------------------------
// Delay
// ---------------------------------------------------------------------------

TEST(Delay, NegativeDelayReturns) {
  // Sleep with the value read as unsigned would never come back.
  std::atomic<bool> done{false};
  std::thread sleeper([&] {
    CallVoid(&Delay, Arg::Int(-1));
    CallVoid(&Delay, Arg::Int(INT32_MIN));
    done = true;
  });
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < kTimeoutMs) Sleep(10);
  ASSERT_TRUE(done) << "Delay(-1) did not return";
  sleeper.join();
}

TEST(Delay, BlocksWithoutPumpingMessages) {
  UniqueHwnd window(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  constexpr UINT kProbeMessage = WM_APP + 7;
  ASSERT_TRUE(PostMessageA(window.Get(), kProbeMessage, 0, 0));
  LARGE_INTEGER frequency, before, after;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&before);
  CallVoid(&Delay, Arg::Int(60));
  QueryPerformanceCounter(&after);
  EXPECT_GE((after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart, 40);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, window.Get(), kProbeMessage, kProbeMessage, PM_REMOVE));
}

}  // namespace
}  // namespace zl

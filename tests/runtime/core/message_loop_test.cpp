// The kernel's message pump in this process: pre-translation by runtime objects,
// dispatching what is waiting, and the modal loop's ways out.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "runtime/core/runtime_kernel.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

using test::ExpectedMessage;
using test::kLParam;
using test::kPosted;
using test::kSent;
using test::kWParam;

constexpr UINT kEndModal = WM_APP + 50;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kEndModal) Kernel().EndModal(Kernel().modalWindowId, 0);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A top-level window of this thread for one test.
UniqueHwnd MakeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ZlLoopTestWindow";
  RegisterClassA(&wc);
  return UniqueHwnd(CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                    nullptr, wc.hInstance, nullptr));
}

// Claims key-down messages for the window it is bound to, as a window handling dialog
// keys does.
class KeyClaimer : public BoundWindow {
 public:
  bool Bind(HWND hwnd) { return Subclass(hwnd); }
  bool PreTranslateMessage(MSG& msg) override {
    ++offered;
    return msg.message == WM_KEYDOWN;
  }
  int offered = 0;
};

// Drains this thread's queue without the kernel (so a test starts clean).
void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(MessagePump, ABoundObjectOfTheTargetOrAnAncestorClaimsMessagesBeforeDispatch) {
  UniqueHwnd window = MakeWindow();
  ASSERT_TRUE(window);
  const HWND child = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 10, 10, window.Get(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  DrainQueue();
  KeyClaimer claimer;
  ASSERT_TRUE(claimer.Bind(window.Get()));
  EXPECT_EQ(BoundWindow::FromHwnd(window.Get()), &claimer);
  EXPECT_EQ(BoundWindow::FromHwnd(child), nullptr);
  test::MessageRecorder recorder;
  recorder.Attach(child);
  recorder.Filter({WM_KEYDOWN, WM_KEYUP, WM_USER});
  PostMessageA(child, WM_KEYDOWN, 'A', 1);
  PostMessageA(child, WM_KEYUP, 'A', 2);
  SendMessageA(child, WM_USER, 7, 8);
  Kernel().DispatchWaitingMessages();
  EXPECT_EQ(claimer.offered, 2);
  EXPECT_TRUE(recorder.Matches({{WM_USER, kSent | kWParam | kLParam, 7, 8},
                                {WM_KEYUP, kPosted | kWParam | kLParam, 'A', 2}},
                               "key-down claimed by the parent's object"));
  recorder.Detach();
  window.Reset();
  EXPECT_EQ(claimer.Hwnd(), nullptr) << "unbound when its window is destroyed";
}

// Counts the messages that reach it.
class CountingBinder : public BoundWindow {
 public:
  bool Bind(HWND hwnd) { return Subclass(hwnd); }
  int seen = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    ++seen;
    return DefaultProcessing(message, wParam, lParam);
  }
};

LRESULT CALLBACK LaterSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::string TextOf(HWND hwnd) {
  char text[32] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

TEST(WindowBinding, ABoundControlKeepsWorkingWhenItsObjectLetsGoBeneathALaterSubclass) {
  UniqueHwnd window = MakeWindow();
  ASSERT_TRUE(window);
  const HWND edit = CreateWindowExA(0, "EDIT", "one", WS_CHILD, 0, 0, 50, 20, window.Get(), nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  {
    CountingBinder first;
    ASSERT_TRUE(first.Bind(edit));
    CountingBinder second;
    EXPECT_FALSE(second.Bind(edit)) << "one object per window";
    SetWindowTextA(edit, "two");
    EXPECT_EQ(TextOf(edit), "two");
    EXPECT_GE(first.seen, 2);
  }
  {
    // On top of the chain the object gave the control its procedure back: free to bind.
    CountingBinder again;
    EXPECT_TRUE(again.Bind(edit));
  }

  // Beneath a later subclass the object cannot take its procedure out of the chain; the
  // control still works, a new object cannot bind over it, and it is destroyed cleanly.
  auto binder = std::make_unique<CountingBinder>();
  ASSERT_TRUE(binder->Bind(edit));
  ASSERT_TRUE(SetWindowSubclass(edit, &LaterSubclass, 1, 0));
  binder.reset();
  SetWindowTextA(edit, "three");
  EXPECT_EQ(TextOf(edit), "three");
  EXPECT_EQ(BoundWindow::FromHwnd(edit), nullptr);
  CountingBinder late;
  EXPECT_FALSE(late.Bind(edit));
  EXPECT_TRUE(DestroyWindow(edit));
  EXPECT_FALSE(IsWindow(edit));
}

TEST(MessagePump, DispatchingWhatIsWaitingStopsAtQuitAndLeavesItQueued) {
  UniqueHwnd window = MakeWindow();
  DrainQueue();
  test::MessageRecorder recorder;
  recorder.Attach(window.Get());
  recorder.Filter({WM_USER});
  PostMessageA(window.Get(), WM_USER, 1, 0);
  PostQuitMessage(3);
  Kernel().DispatchWaitingMessages();
  EXPECT_TRUE(recorder.Matches({{WM_USER, kPosted | kWParam, 1}}, "posted before the quit"));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(MessagePump, ModalLoopEndsWhenTheModalFlagIsCleared) {
  UniqueHwnd window = MakeWindow();
  DrainQueue();
  Kernel().BeginModal(Kernel().modalWindowId);
  PostMessageA(window.Get(), kEndModal, 0, 0);
  Kernel().RunMessageLoop(1);
  EXPECT_FALSE(Kernel().modalActive);
}

TEST(MessagePump, ModalLoopLeavesAWaitingQuitForTheOuterLoop) {
  UniqueHwnd window = MakeWindow();
  DrainQueue();
  Kernel().BeginModal(Kernel().modalWindowId);
  PostQuitMessage(4);
  Kernel().RunMessageLoop(1);
  Kernel().EndModal(Kernel().modalWindowId, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 4u);
}

TEST(MessageRecorder, ReportsBothSequencesOnAMismatch) {
  UniqueHwnd window = MakeWindow();
  DrainQueue();
  test::MessageRecorder recorder;
  recorder.Attach(window.Get());
  recorder.Filter({WM_USER});
  SendMessageA(window.Get(), WM_USER, 1, 0);
  const auto result = recorder.Matches({{WM_USER, kPosted}}, "sent, not posted");
  EXPECT_FALSE(result);
  EXPECT_NE(std::string(result.message()).find("received:"), std::string::npos);
  EXPECT_TRUE(recorder.Matches({{WM_USER, kSent | kWParam, 1}, {WM_USER, test::kOptional}}, "optional tail"));
}

}  // namespace
}  // namespace zl

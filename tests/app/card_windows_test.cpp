// The click routine called directly, with the program's declared functions (listed
// for this test program by the environment in regex_object_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include "app/card_windows.h"
#include "app/externals.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/win_handles.h"
#include "tests/support/test_support.h"

namespace zl::app {
namespace {

HWND g_standInDesktop = nullptr;
HWND WINAPI StandInDesktop() { return g_standInDesktop; }

// Messages posted to the desktop window cannot be read from here: the declared
// GetDesktopWindow is first left to its real binding (nothing may land in this
// thread's queue, and the declared function must be the one that was asked), then
// bound to a stand-in answering a hidden window of this thread, whose queue shows
// exactly what the routine posts for a null window.
TEST(CardWindows, AClickForANullWindowGoesToTheDeclaredDesktopWindow) {
  RuntimeKernel& kernel = Kernel();
  ASSERT_EQ(kernel.externals.size(), static_cast<size_t>(kExternalFunctionCount));
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostMouseClick(nullptr, 278, 278);
  EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE))
      << "a click posted to no window lands in the thread's own queue: " << test::MessageName(msg.message);
  EXPECT_NE(kernel.externals[kGetDesktopWindow].address, nullptr) << "the declared GetDesktopWindow was not called";

  const UniqueHwnd standIn(
      CreateWindowExA(0, "STATIC", "desktop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(standIn);
  g_standInDesktop = standIn.Get();
  const FARPROC bound = kernel.RebindExternal(
      kGetDesktopWindow, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&StandInDesktop)));
  test::MessageRecorder recorder;
  recorder.Attach(g_standInDesktop);
  recorder.Filter({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
  PostMouseClick(nullptr, 278, 278);
  test::PumpUntil([&] { return recorder.Messages().size() >= 3; }, 5000);
  kernel.RebindExternal(kGetDesktopWindow, bound);
  constexpr unsigned kExact = test::kPosted | test::kWParam | test::kLParam;
  EXPECT_TRUE(recorder.Matches({{WM_MOUSEMOVE, kExact, MK_RBUTTON, 18219286},
                                {WM_LBUTTONDOWN, kExact, MK_LBUTTON, 18219286},
                                {WM_LBUTTONUP, kExact, 0, 18219286}},
                               "a click at (278, 278) for a null window"));
  recorder.Detach();
}

}  // namespace
}  // namespace zl::app

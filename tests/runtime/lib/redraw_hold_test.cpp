// The redraw hold against real windows: redraw is off while the scope lives and comes
// back, with the whole window invalidated, on every way out of it. A plain child window
// shows both through the default window procedure: WM_SETREDRAW FALSE hides it from
// painting (IsWindowVisible is false), TRUE alone does not invalidate it.
#include "runtime/lib/redraw_hold.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <utility>

#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/component_lookup.h"
#include "tests/support/test_support.h"
#include "tests/support/unit_services_stub.h"

namespace zl {
namespace {

using test::kSent;
using test::kWParam;
using test::MessageRecorder;

const std::vector<test::ExpectedMessage> kHeldAndRestored = {{WM_SETREDRAW, kSent | kWParam, FALSE},
                                                             {WM_SETREDRAW, kSent | kWParam, TRUE}};

class RedrawHoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    m_child = CreateWindowExA(0, "STATIC", "held", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, m_frame, nullptr,
                              nullptr, nullptr);
    ASSERT_TRUE(m_child);
    test::PumpUntil([] { return false; }, 50);
    ValidateRect(m_child, nullptr);
    m_recorder.Attach(m_child);
    m_recorder.Filter({WM_SETREDRAW});
  }
  void TearDown() override {
    m_recorder.Detach();
    if (m_frame) DestroyWindow(m_frame);
  }

  // Whether the child's whole client area waits to be painted.
  bool WhollyInvalid() const {
    RECT invalid{}, client{};
    GetClientRect(m_child, &client);
    return GetUpdateRect(m_child, &invalid, FALSE) && EqualRect(&invalid, &client);
  }

  HWND m_frame = nullptr;
  HWND m_child = nullptr;
  MessageRecorder m_recorder;
};

TEST_F(RedrawHoldTest, HoldsForTheScopeThenRedrawsTheWholeWindow) {
  {
    const RedrawHold hold(m_child);
    EXPECT_EQ(hold.Window(), m_child);
    EXPECT_FALSE(IsWindowVisible(m_child));
    EXPECT_TRUE(m_recorder.Matches({kHeldAndRestored[0]}, "while held"));
  }
  EXPECT_TRUE(IsWindowVisible(m_child));
  EXPECT_TRUE(WhollyInvalid());
  EXPECT_TRUE(m_recorder.Matches(kHeldAndRestored, "after the scope"));
}

TEST_F(RedrawHoldTest, AnExceptionLeavingTheScopeRestoresRedraw) {
  EXPECT_THROW(
      {
        const RedrawHold hold(m_child);
        throw std::runtime_error("out of the scope");
      },
      std::runtime_error);
  EXPECT_TRUE(IsWindowVisible(m_child));
  EXPECT_TRUE(WhollyInvalid());
  EXPECT_TRUE(m_recorder.Matches(kHeldAndRestored, "after the exception"));
}

TEST_F(RedrawHoldTest, AMovedHoldRestoresOnceAndNothingHoldsNothing) {
  {
    RedrawHold first(m_child);
    const RedrawHold second(std::move(first));
    EXPECT_EQ(first.Window(), nullptr);
    EXPECT_EQ(second.Window(), m_child);
  }
  EXPECT_TRUE(m_recorder.Matches(kHeldAndRestored, "moved hold"));
  // No window, or one that is gone while held: nothing to hold or restore.
  EXPECT_EQ(RedrawHold(nullptr).Window(), nullptr);
  const HWND gone = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_frame, nullptr, nullptr,
                                    nullptr);
  {
    const RedrawHold hold(gone);
    DestroyWindow(gone);
  }
  EXPECT_EQ(RedrawHold(gone).Window(), nullptr);
}

// A live component as the component lookup answers it.
struct FakeComponent {
  HWND hwnd;
};
constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kUnitId = 0x16011DE0;
constexpr int32_t kFindComponentOrNull = 2006;
std::atomic<FakeComponent*> g_component{nullptr};

struct FakeUnitServices : test::NoUnitServices {
  intptr_t AnswerNotify(int32_t code, intptr_t windowId, intptr_t unitId) override {
    const bool named = static_cast<uint32_t>(windowId) == kWindowId && static_cast<uint32_t>(unitId) == kUnitId;
    return code == kFindComponentOrNull && named ? reinterpret_cast<intptr_t>(g_component.load()) : 0;
  }
} g_fakeUnits;

HWND ReadFakeComponentWindow(void* component) { return static_cast<FakeComponent*>(component)->hwnd; }

TEST_F(RedrawHoldTest, AComponentIsHeldByItsIdentity) {
  FakeComponent component{m_child};
  g_component.store(&component);
  Kernel().UseUnitServices(&g_fakeUnits);
  SetComponentWindowReader(&ReadFakeComponentWindow);
  {
    const RedrawHold hold(kWindowId, kUnitId);
    EXPECT_EQ(hold.Window(), m_child);
    EXPECT_FALSE(IsWindowVisible(m_child));
    EXPECT_EQ(RedrawHold(kWindowId, kUnitId + 1).Window(), nullptr);
  }
  EXPECT_TRUE(WhollyInvalid());
  Kernel().UseUnitServices(nullptr);
  SetComponentWindowReader(nullptr);
  g_component.store(nullptr);
  EXPECT_TRUE(m_recorder.Matches(kHeldAndRestored, "component"));
}

}  // namespace
}  // namespace zl

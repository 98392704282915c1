// GDI objects, windows, kernel handles and runtime heap blocks stay where they were while
// every component is made and destroyed again and again: the gallery window (every
// component type, with fonts, colours, icons and list rows) loaded and destroyed, and
// each of its components re-created by the property-write path. Wine 8 answers
// GetGuiResources with 0, so GDI objects are counted from the process's GDI handle table
// and USER objects by the windows that exist; each counter is first shown to see a leak.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/core/template_loader.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/heap.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/loaded_windows.h"
#include "tools/drive/process_usage.h"

extern const uint8_t kGalleryTemplate[];
extern const uint32_t kGalleryTemplate_size;

namespace zl {
namespace {

constexpr uint32_t kGalleryWindowId = 0x52010001;
// The counters are exact, so an object left behind per round shows after one round;
// a few dozen also catch one left every few rounds (a cache that grows in steps).
// `./dev stress` (ZL_STRESS=1) runs a thousand.
int Rounds() {
  const char* stress = std::getenv("ZL_STRESS");
  return stress && std::strcmp(stress, "1") == 0 ? 1000 : 30;
}
const RoutineTable kNoRoutines{0, nullptr};

// What the process holds that a leaking component would add to.
struct Holdings {
  int64_t gdiObjects;
  int64_t userObjects;
  int64_t windows;
  int64_t handles;
  int64_t heapBlocks;
  bool operator==(const Holdings&) const = default;
};

std::string Describe(const Holdings& h) {
  return "{gdi " + std::to_string(h.gdiObjects) + ", user " + std::to_string(h.userObjects) + ", windows " +
         std::to_string(h.windows) + ", handles " + std::to_string(h.handles) + ", heap blocks " +
         std::to_string(h.heapBlocks) + "}";
}
void PrintTo(const Holdings& h, std::ostream* out) { *out << Describe(h); }

// Handles whatever the loads and destructions left queued (a quit request too).
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

Holdings Measure() {
  Drain();
  const auto usage = drive::MeasureProcess(GetCurrentProcessId());
  EXPECT_TRUE(usage.has_value());
  return {usage->gdiObjects, usage->userObjects, usage->windows, usage->handles, LiveHeapBlocks()};
}

class GuiResources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    // The libraries gallery.exe is built with.
    test::UseProgram(m_program, &kNoRoutines, std::span(g_programLibraries, kProgramLibraryCount));
    ASSERT_TRUE(test::InstallWindows(std::span(kGalleryTemplate, kGalleryTemplate_size), &kNoRoutines));
    SetCursorPos(1270, 1010);  // away from the gallery, so no link is hovered
  }
  void TearDown() override {
    test::DestroyLoadedWindows();
    Drain();
    OleUninitialize();
  }

  void Load() { ASSERT_TRUE(Kernel().unitServices->LoadWindow(kGalleryWindowId, nullptr, false)); }
  static void Destroy() {
    for (auto& window : Kernel().windowTable) {
      if (window->hwnd && IsWindow(window->hwnd)) DestroyWindow(window->hwnd);
    }
  }
  static size_t UnitCount() { return Units().Loaded(kGalleryWindowId)->working.units.size(); }

  ProgramDescriptor m_program{};
};

// A GDI object, a window and a handle left alive are each counted, and counted no more
// once they are gone, so the counters can see a leak.
TEST_F(GuiResources, EachCounterSeesAnObjectLeftAlive) {
  struct Held {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ~Held() {
      DeleteObject(brush);
      DestroyWindow(window);
      CloseHandle(event);
    }
  };
  // Once first: a thread's first window brings what the thread keeps for good.
  std::make_unique<Held>().reset();
  const Holdings before = Measure();
  ASSERT_GT(before.gdiObjects, 0) << "neither GetGuiResources nor the GDI handle table counts";
  ASSERT_GT(before.handles, 0);
  auto held = std::make_unique<Held>();
  const Holdings holding = Measure();
  EXPECT_GT(holding.gdiObjects, before.gdiObjects);
  EXPECT_GT(holding.windows, before.windows);  // Wine adds the thread's input context window
  EXPECT_GT(holding.handles, before.handles);
  held.reset();
  EXPECT_EQ(Measure(), before);
}

TEST_F(GuiResources, LoadingAndDestroyingTheGalleryAgainAndAgainLeavesNothingBehind) {
  // The first load makes what is made once per process (classes, shared fonts).
  ASSERT_NO_FATAL_FAILURE(Load());
  ASSERT_EQ(UnitCount(), 24u);
  Destroy();
  const Holdings before = Measure();
  const int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) {
    ASSERT_NO_FATAL_FAILURE(Load()) << "round " << round;
    Destroy();
    Drain();
  }
  const Holdings after = Measure();
  std::printf("[ gui      ] %d gallery loads: before %s, after %s\n", rounds, Describe(before).c_str(),
              Describe(after).c_str());
  EXPECT_EQ(after, before);
}

TEST_F(GuiResources, ReCreatingEveryComponentAgainAndAgainLeavesNothingBehind) {
  ASSERT_NO_FATAL_FAILURE(Load());
  const size_t units = UnitCount();
  const auto recreateAll = [&] {
    for (size_t index = 1; index < units; ++index) {
      ASSERT_TRUE(Units().RecreateComponent(kGalleryWindowId, index)) << "unit " << index;
    }
    Drain();
  };
  ASSERT_NO_FATAL_FAILURE(recreateAll());
  const Holdings before = Measure();
  const int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) ASSERT_NO_FATAL_FAILURE(recreateAll()) << "round " << round;
  const Holdings after = Measure();
  std::printf("[ gui      ] %d re-creations of %zu components: before %s, after %s\n", rounds, units - 1,
              Describe(before).c_str(), Describe(after).c_str());
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace zl

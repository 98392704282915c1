// AddText against a real run-log edit box: texts appended in order with the caret and
// the view at the end, from the window thread and from worker threads.
#include "runtime/lib/edit_commands.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "runtime/ui/edit_box.h"
#include "tests/runtime/ui/component_harness.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

constexpr uint32_t kLog = 0x16010001;
constexpr int32_t kContentNumber = kCommonPropertyCount + EditBox::kContent;

class AddTextTest : public test::ComponentTest {
 protected:
  // Loads a small run log: multi-line, vertical scroll bar.
  void LoadLog(const char* content) {
    PropertyRecord log(kEditBoxSchema);
    log.SetWord(kEditMultiLine, 1);
    log.SetWord(kEditScrollBars, 2);
    log.SetData(kEditContent, content);
    Load({Unit(kLog, kEditBoxTypeCode, log, {10, 10, 210, 70})});
  }
  static HWND Log() { return HwndOf(kLog); }

  // Calls AddText with the run log and the texts.
  static void Append(const std::vector<const char*>& texts) {
    std::vector<ArgRecord> args = {ArgRecord{test::kHarnessWindowId, kLog, kEditBoxTypeCode}};
    for (const char* text : texts) args.push_back(ArgRecord::OfText(text));
    ResultRecord result{};
    AddText(&result, static_cast<int32_t>(args.size()), args.data());
  }
};

TEST_F(AddTextTest, AppendsEveryTextInOrderWithTheCaretAndTheViewAtTheEnd) {
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += "line " + std::to_string(i) + "\r\n";
  LoadLog(lines.c_str());
  SendMessageA(Log(), EM_SETSEL, 0, 0);  // the caret is somewhere else
  Append({"打开QQ名片完成\r\n", "second\r\n", "third"});
  const std::string expected = lines + "打开QQ名片完成\r\nsecond\r\nthird";
  EXPECT_EQ(WindowText(Log()), expected);
  DWORD start = 0, end = 0;
  SendMessageA(Log(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
  EXPECT_EQ(static_cast<LRESULT>(end), SendMessageA(Log(), EM_LINEINDEX, 32, 0) + 5) << "after \"third\"";
  // The last line is in view.
  RECT client{};
  GetClientRect(Log(), &client);
  const auto lastLineTop = static_cast<int16_t>(HIWORD(SendMessageA(Log(), EM_POSFROMCHAR, end - 1, 0)));
  EXPECT_GE(lastLineTop, 0);
  EXPECT_LT(lastLineTop, client.bottom);
  EXPECT_GT(SendMessageA(Log(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Each append is a change of the content.
  EXPECT_EQ(Caught(kLog, EditBox::kChangedEvent).size(), 3u);
}

TEST_F(AddTextTest, FromWorkerThreadsEachCallRunsWholeOnTheWindowThread) {
  LoadLog("");
  // Two workers append numbered lines while the window thread keeps moving the caret
  // to the start of the text: each text must still land at the end, and the texts of
  // one call must stay together.
  constexpr int kCalls = 20;
  constexpr int kTextsPerCall = 5;
  std::atomic<int> running{2};
  std::string readBack;
  auto worker = [&](char name) {
    for (int call = 0; call < kCalls; ++call) {
      std::vector<std::string> texts;
      for (int i = 0; i < kTextsPerCall; ++i) texts.push_back(std::string(1, name) + std::to_string(i) + ";");
      std::vector<const char*> pointers;
      for (const std::string& text : texts) pointers.push_back(text.c_str());
      Append(pointers);
    }
    if (name == 'a') readBack = TextProperty(kLog, kContentNumber);  // a read from a worker, too
    --running;
  };
  std::thread first(worker, 'a'), second(worker, 'b');
  const bool done = test::PumpUntil([&] {
    PostMessageA(Log(), EM_SETSEL, 0, 0);
    return running == 0;
  }, 60000);
  first.join();
  second.join();
  ASSERT_TRUE(done);
  Pump();

  const std::string text = WindowText(Log());
  const std::string block = [] {
    std::string b;
    for (int i = 0; i < kTextsPerCall; ++i) b += "?" + std::to_string(i) + ";";
    return b;
  }();
  ASSERT_EQ(text.size(), 2 * kCalls * block.size());
  int blocksA = 0;
  for (size_t at = 0; at < text.size(); at += block.size()) {
    const char name = text[at];
    std::string expected = block;
    for (size_t i = 0; i < expected.size(); ++i) {
      if (expected[i] == '?') expected[i] = name;
    }
    if (text.substr(at, block.size()) != expected) {
      ADD_FAILURE() << "the texts of one call are apart at " << at << ": " << text;
      break;
    }
    if (name == 'a') ++blocksA;
  }
  EXPECT_EQ(blocksA, kCalls);
  EXPECT_FALSE(readBack.empty());
  EXPECT_EQ(text.rfind(readBack, 0), 0u) << "the worker read the content as it was then";
  // Every change ran on the window thread.
  const auto changes = Caught(kLog, EditBox::kChangedEvent);
  EXPECT_EQ(changes.size(), static_cast<size_t>(2 * kCalls * kTextsPerCall));
  for (const test::CaughtEvent& change : changes) EXPECT_EQ(change.threadId, GetCurrentThreadId());
}

TEST_F(AddTextTest, IgnoresAnArgumentThatIsNotAnEditBox) {
  LoadLog("kept");
  ArgRecord args[] = {ArgRecord{test::kHarnessWindowId, kLog, kTypeInt}, ArgRecord::OfText("x")};
  ResultRecord result{};
  AddText(&result, 2, args);
  EXPECT_EQ(WindowText(Log()), "kept");
}

}  // namespace
}  // namespace zl

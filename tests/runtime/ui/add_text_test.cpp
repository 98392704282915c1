// AddText against a real run-log edit box, from the window thread and from workers.
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

class AddTextTest : public test::ComponentTest {
 protected:
  // A small run log: multi-line with a vertical scroll bar.
  void LoadLog(const std::string& content) {
    PropertyRecord log(kEditBoxSchema);
    log.SetWord(kEditMultiLine, 1);
    log.SetWord(kEditScrollBars, 2);
    log.SetData(kEditContent, content);
    Load({Unit(kLog, kEditBoxTypeCode, log, {10, 10, 210, 70})});
  }
  static void Append(const std::vector<std::string>& texts) {
    std::vector<ArgRecord> args = {ArgRecord{test::kHarnessWindowId, kLog, kEditBoxTypeCode}};
    for (const std::string& text : texts) args.push_back(ArgRecord::OfText(text.c_str()));
    ResultRecord result{};
    AddText(&result, static_cast<int32_t>(args.size()), args.data());
  }
};

TEST_F(AddTextTest, AppendsEveryTextInOrderWithTheCaretAndTheViewAtTheEnd) {
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += "line " + std::to_string(i) + "\r\n";
  LoadLog(lines);
  const HWND log = HwndOf(kLog);
  SendMessageA(log, EM_SETSEL, 0, 0);
  Append({"打开QQ名片完成\r\n", "second\r\n", "third"});
  EXPECT_EQ(WindowText(log), lines + "打开QQ名片完成\r\nsecond\r\nthird");
  const auto lastLine = static_cast<WORD>(SendMessageA(log, EM_LINEINDEX, 32, 0));
  EXPECT_EQ(SendMessageA(log, EM_GETSEL, 0, 0), MAKELRESULT(lastLine + 5, lastLine + 5)) << "after \"third\"";
  // The last line is in view.
  RECT client{};
  GetClientRect(log, &client);
  const auto lastLineTop = static_cast<int16_t>(HIWORD(SendMessageA(log, EM_POSFROMCHAR, lastLine, 0)));
  EXPECT_GE(lastLineTop, 0);
  EXPECT_LT(lastLineTop, client.bottom);
  EXPECT_EQ(Caught(kLog, EditBox::kChangedEvent).size(), 3u);
}

TEST_F(AddTextTest, FromWorkerThreadsEachCallRunsWholeOnTheWindowThread) {
  LoadLog("");
  // Two workers append while the window thread keeps moving the caret to the start:
  // every text must still land at the end, and the texts of one call stay together.
  constexpr int kCalls = 20;
  const std::string block = "?0;?1;?2;?3;?4;";
  std::atomic<int> running{2};
  std::string readBack;
  auto worker = [&](char name) {
    std::vector<std::string> texts;
    for (int i = 0; i < 5; ++i) texts.push_back(name + std::to_string(i) + ";");
    for (int call = 0; call < kCalls; ++call) Append(texts);
    if (name == 'a') readBack = TextProperty(kLog, kCommonPropertyCount + EditBox::kContent);
    --running;
  };
  std::thread first(worker, 'a'), second(worker, 'b');
  const bool done = test::PumpUntil([&] {
    PostMessageA(HwndOf(kLog), EM_SETSEL, 0, 0);
    return running == 0;
  }, 60000);
  first.join();
  second.join();
  ASSERT_TRUE(done);
  Pump();

  const std::string text = WindowText(HwndOf(kLog));
  ASSERT_EQ(text.size(), 2 * kCalls * block.size());
  for (size_t at = 0; at < text.size(); at += block.size()) {
    std::string expected = block;
    for (char& c : expected) c = c == '?' ? text[at] : c;
    if (text.compare(at, block.size(), expected) != 0) {
      ADD_FAILURE() << "the texts of one call are apart at " << at << ": " << text;
      break;
    }
  }
  EXPECT_FALSE(readBack.empty());
  EXPECT_EQ(text.rfind(readBack, 0), 0u) << "a worker reads the content as it was then";
  const auto changes = Caught(kLog, EditBox::kChangedEvent);
  EXPECT_EQ(changes.size(), 2u * kCalls * 5);
  for (const test::CaughtEvent& change : changes) EXPECT_EQ(change.threadId, GetCurrentThreadId());
}

}  // namespace
}  // namespace zl

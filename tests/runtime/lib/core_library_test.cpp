// The core library record: its command table order and its start notification.
#include <gtest/gtest.h>

#include "runtime/core/entry_table.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/notify.h"
#include "runtime/lib/automation_commands.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/core_library.h"
#include "runtime/lib/edit_commands.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/text_commands.h"
#include "runtime/lib/variant_commands.h"
#include "runtime/ui/support_libraries.h"

namespace zl {
namespace {

CommandFn Slot(CoreCommand command) { return g_coreLibrary.commands[static_cast<uint32_t>(command)]; }

TEST(CoreLibrary, CommandsSitAtTheirNumbers) {
  ASSERT_EQ(g_coreLibrary.commandCount, 26u);
  EXPECT_EQ(g_coreLibrary.commands, g_coreCommands);
  EXPECT_EQ(Slot(CoreCommand::ToText), &ToText);
  EXPECT_EQ(Slot(CoreCommand::MsgBox), &MsgBox);
  EXPECT_EQ(Slot(CoreCommand::ToLower), &ToLower);
  EXPECT_EQ(Slot(CoreCommand::FindText), &FindText);
  EXPECT_EQ(Slot(CoreCommand::ReadFileBytes), &ReadFileBytes);
  EXPECT_EQ(Slot(CoreCommand::SplitText), &SplitText);
  EXPECT_EQ(Slot(CoreCommand::ToInt), &ToInt);
  EXPECT_EQ(Slot(CoreCommand::Delay), &Delay);
  EXPECT_EQ(Slot(CoreCommand::Spaces), &Spaces);
  EXPECT_EQ(Slot(CoreCommand::ReplaceText), &ReplaceText);
  EXPECT_EQ(Slot(CoreCommand::ObjClear), &ObjClear);
  EXPECT_EQ(Slot(CoreCommand::ObjCreate), &ObjCreate);
  EXPECT_EQ(Slot(CoreCommand::ObjSetProperty), &ObjSetProperty);
  EXPECT_EQ(Slot(CoreCommand::VarSet), &VarSet);
  EXPECT_EQ(Slot(CoreCommand::ObjCallObject), &ObjCallObject);
  EXPECT_EQ(Slot(CoreCommand::ObjIsEmpty), &ObjIsEmpty);
  EXPECT_EQ(Slot(CoreCommand::ObjGetText), &ObjGetText);
  EXPECT_EQ(Slot(CoreCommand::ObjCallText), &ObjCallText);
  EXPECT_EQ(Slot(CoreCommand::VarReset), &VarReset);
  EXPECT_EQ(Slot(CoreCommand::ObjGetNumber), &ObjGetNumber);
  EXPECT_EQ(Slot(CoreCommand::ObjGetObject), &ObjGetObject);
  EXPECT_EQ(Slot(CoreCommand::ObjGetVariant), &ObjGetVariant);
  EXPECT_EQ(Slot(CoreCommand::VarGetText), &VarGetText);
  EXPECT_EQ(Slot(CoreCommand::ObjCopy), &ObjCopy);
  EXPECT_EQ(Slot(CoreCommand::VarCopy), &VarCopy);
  EXPECT_EQ(Slot(CoreCommand::AddText), &AddText);
}

TEST(CoreLibrary, RecordDescribesTheLibrary) {
  EXPECT_STREQ(g_coreLibrary.name, "core");
  // Unit type codes index this table, so it keeps all 51 places.
  EXPECT_EQ(g_coreLibrary.unitTypeCount, 51u);
  ASSERT_NE(g_coreLibrary.notify, nullptr);
}

TEST(CoreLibrary, StartNotificationKeepsTheServiceEntry) {
  const NotifyFn entry = &Notify;
  EXPECT_EQ(g_coreLibrary.notify(2, reinterpret_cast<intptr_t>(entry), 0), -1);
  EXPECT_EQ(g_coreLibrary.notify(kLibraryEnd, 0, 0), -1);
  EXPECT_EQ(g_coreLibrary.notify(kLibraryStart, reinterpret_cast<intptr_t>(entry), 0), 0);
  EXPECT_EQ(CoreLibraryNotifyEntry(), entry);
}

TEST(CoreLibrary, CommandsRunThroughTheEntryTableByNumber) {
  ArgRecord args[4] = {ArgRecord::OfText("a,b,c"), ArgRecord::OfText("c"), ArgRecord::Omitted(),
                       ArgRecord::Omitted()};
  const ResultRecord found = g_runtimeEntries.callCoreCommand(Slot(CoreCommand::FindText), 4, args);
  EXPECT_EQ(found.Int(), 5);
  EXPECT_EQ(found.high, 0u);
  const TextOwner five = CallText(Slot(CoreCommand::ToText), Arg::Int(5));
  EXPECT_STREQ(five.get(), "5");
}

}  // namespace
}  // namespace zl

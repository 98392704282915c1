// The main window's identities: the window, its components and their unit types.
#pragma once

#include <cstdint>

#include "runtime/lib/command_call.h"

namespace zl::app {

inline constexpr uint32_t kMainWindowId = 0x52010001;
inline constexpr uint32_t kMainWindowUnit = 0x06010000;

// Component unit ids, by the template's names.
inline constexpr uint32_t kLinkServiceUnit = 0x16013D18;   // 超级链接框2
inline constexpr uint32_t kLinkBlogUnit = 0x16013D17;      // 超级链接框1
inline constexpr uint32_t kStopButtonUnit = 0x16013D13;    // 按钮_开始点赞3, "停止"
inline constexpr uint32_t kClearButtonUnit = 0x16013D10;   // 按钮_开始点赞1, "清空账号"
inline constexpr uint32_t kIntervalBoxUnit = 0x16011E0A;   // 编辑框_间隔时间
inline constexpr uint32_t kIntervalLabelUnit = 0x16011E09; // 标签3
inline constexpr uint32_t kImportButtonUnit = 0x16011DE7;  // 按钮_导入QQ
inline constexpr uint32_t kAddButtonUnit = 0x16011DE5;     // 按钮_添加QQ
inline constexpr uint32_t kAddBoxUnit = 0x16011DE4;        // 编辑框_添加的QQ
inline constexpr uint32_t kAddLabelUnit = 0x16011DE3;      // 标签2
inline constexpr uint32_t kGroupBoxUnit = 0x16011DE2;      // 编辑框_开启窗口个数
inline constexpr uint32_t kGroupLabelUnit = 0x16011DE1;    // 标签1
inline constexpr uint32_t kAccountListUnit = 0x16011DE0;   // 超级列表框1
inline constexpr uint32_t kRunLogUnit = 0x16011DBA;        // 编辑框_运行日志
inline constexpr uint32_t kStartButtonUnit = 0x160103B1;   // 按钮_开始点赞

// Unit type codes, as the type word of a component argument.
inline constexpr uint32_t kEditBoxType = 0x00010005;
inline constexpr uint32_t kListViewType = 0x00040004;

// The edit box's Content property.
inline constexpr int32_t kContentProperty = 8;

// The account list and the run log as command arguments.
inline ArgRecord AccountList() { return Arg::Component(kListViewType, kMainWindowId, kAccountListUnit); }
inline ArgRecord RunLog() { return Arg::Component(kEditBoxType, kMainWindowId, kRunLogUnit); }

// The Content of one of the main window's edit boxes, as a new text (null: empty).
TextOwner EditBoxContent(uint32_t unitId);

}  // namespace zl::app

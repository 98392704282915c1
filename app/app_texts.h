// The application's own texts (GBK at run time), each kept once.
#pragma once

namespace zl::app::texts {

inline constexpr char kLineEnd[] = "\r\n";
inline constexpr char kCardsOpened[] = "打开QQ名片完成";
inline constexpr char kGroupLiked[] = "当前名片组点赞完成";
inline constexpr char kRunDone[] = "点赞完成";
inline constexpr char kAccountsCleared[] = "清除账号成功！";
inline constexpr char kChooseFile[] = "选择文件";
inline constexpr char kTextFileMark[] = ".txt";

}  // namespace zl::app::texts

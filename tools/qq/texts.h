// Texts shown by the stand-in client.
#pragma once

namespace qq {

// Title of a card: the QQ number followed by this suffix.
inline constexpr wchar_t kCardTitleSuffix[] = L"的资料卡";
// Label before the QQ number on a card.
inline constexpr wchar_t kCardNumberLabel[] = L"QQ号码：";
// Placeholder nickname on a card.
inline constexpr wchar_t kCardNickname[] = L"QQ用户";
// Text of the like control.
inline constexpr wchar_t kLikeControlText[] = L"赞";
// Label before the like counter.
inline constexpr wchar_t kLikeCounterLabel[] = L"获赞：";
// Note at the bottom of a card.
inline constexpr wchar_t kCardNote[] = L"替身客户端生成的资料卡，仅供测试。";

// Title of the main panel.
inline constexpr wchar_t kPanelTitle[] = L"QQ 替身客户端";
// Heading on the main panel.
inline constexpr wchar_t kPanelHeading[] = L"替身客户端";
// Explanation on the main panel.
inline constexpr wchar_t kPanelNote[] =
    L"本程序仅供测试使用，并非腾讯QQ。\n\n关闭按钮不会退出本程序，请使用下方的“退出”按钮。";
// Text of the panel's exit button.
inline constexpr wchar_t kPanelExitText[] = L"退出";

// Font face for all texts; Windows falls back to another Chinese font if missing.
inline constexpr wchar_t kUiFontFace[] = L"Microsoft YaHei";

}  // namespace qq

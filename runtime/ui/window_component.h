// The window component: the top-level window that carries a program window's
// components, with its caption and border, background, icon, shape, sound, keyboard
// navigation between its components and the window-level events. One class, a file
// per concern: window_component.cpp (creation and message dispatch), _properties,
// _painting, _activation (activation and closing) and _keys (keys and focus movement).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/core/win_handles.h"
#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/window_schema.h"

namespace zl {

// The window's own property numbers (application number − 8).
enum WindowProperty : int32_t {
  kWindowPropTitle,
  kWindowPropBorderStyle,
  kWindowPropBackColour,
  kWindowPropBackPicture,
  kWindowPropPictureLayout,
  kWindowPropBackSound,
  kWindowPropSoundMode,
  kWindowPropControlBox,
  kWindowPropMaxButton,
  kWindowPropMinButton,
  kWindowPropStartPosition,
  kWindowPropClosable,
  kWindowPropIcon,
  kWindowPropEnterMovesFocus,
  kWindowPropEscCloses,
  kWindowPropF1Help,
  kWindowPropHelpFile,
  kWindowPropHelpContext,
  kWindowPropShowInTaskbar,
  kWindowPropDragAnywhere,
  kWindowPropShape,
  kWindowPropAlwaysOnTop,
  kWindowPropKeepTitleActive,
  kWindowPropClassName,
};

inline constexpr std::array<ComponentProperty, 24> kWindowProperties = {{
    {kPropertyText, kWindowTitle},
    {kPropertyPick, kWindowBorderStyle},
    {kPropertyColour3, kWindowBackColour},
    {kPropertyPicture, kWindowBackPicture},
    {kPropertyPick, kWindowPictureLayout},
    {kPropertySound, kWindowBackSound},
    {kPropertyPick, kWindowSoundMode},
    {kPropertyLogical, kWindowControlBox},
    {kPropertyLogical, kWindowMaxButton},
    {kPropertyLogical, kWindowMinButton},
    {kPropertyPick, kWindowStartPosition},
    {kPropertyLogical, kWindowClosable},
    {kPropertyIcon, kWindowIcon},
    {kPropertyLogical, kWindowEnterMovesFocus},
    {kPropertyLogical, kWindowEscCloses},
    {kPropertyLogical, kWindowF1Help},
    {kPropertyFileName2, kWindowHelpFile},
    {kPropertyInteger2, kWindowHelpContext},
    {kPropertyLogical, kWindowShowInTaskbar},
    {kPropertyLogical, kWindowDragAnywhere},
    {kPropertyPick, kWindowShape},
    {kPropertyLogical, kWindowAlwaysOnTop},
    {kPropertyLogical, kWindowKeepTitleActive},
    {kPropertyText, kWindowClassName},
}};

inline constexpr uint32_t kWindowTypeCode = 0x00010001;
inline constexpr uint32_t kWindowStateFlags = 0x800000D0;
inline constexpr char kDefaultWindowClass[] = "WTWindow";
// The notification-area icon of a window: one per window, this identifier.
inline constexpr UINT kTrayIconId = 100;
// Operation 7 of the window type: the Icon data of a blob, copied.
inline constexpr int32_t kWindowIconDataOperation = 7;

class WindowComponent : public Component {
 public:
  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations | (1u << kWindowIconDataOperation);

  WindowComponent(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);
  ~WindowComponent() override;

  bool CreateControl(const CreateArgs& args) override;
  bool GetProperty(int32_t number, RawPropertyValue& out) override;
  int32_t ApplyProperty(int32_t number) override;
  void ShowLoadedWindow() override;
  // The message filter: keyboard navigation and the common mouse and key events for
  // the window and its components, before a message is dispatched.
  bool PreTranslateMessage(MSG& msg) override;
  // Operation 7: a blob's Icon data in a new movable global memory block, or null.
  static void* ExtraOperation(int32_t operation);

  // Shows, replaces (a new icon) or removes (null) the notification-area icon; the
  // window owns the icon from then on.
  void SetTrayIcon(HICON icon, const char* tip);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReleaseGdiObjects() override;

 private:
  // Creation and the property rules.
  DWORD BorderStyleBits() const;
  DWORD BorderExStyleBits() const;
  void ApplyCaptionRule();
  void ApplyBorderStyle();
  void ApplyIcons();
  void ApplyShape();
  void ApplyStartPosition();
  void ApplyAlwaysOnTop();
  void ApplyClosable();
  void RepaintBackground();
  void StartSound();
  void StopSound();

  // Painting.
  void PaintBackground(HDC dc, const RECT& area);
  bool DecodePicture();

  // Messages.
  LRESULT OnClose();
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  bool OnSetCursor(HWND target, UINT hitTest);
  bool OnMenuCommand(UINT command);
  void OnTrayIcon(LPARAM lParam);

  // The message filter's parts.
  bool HandleNavigationKey(const MSG& msg);
  bool RaiseCommonEvent(MSG& msg);
  bool ClickMnemonic(char key);

 public:
  // Focus movement among the window's components (Tab, Shift+Tab, Enter, arrows).
  enum class FocusMove { Next, Previous };
  void MoveFocus(FocusMove direction, bool optionButtonsOnly = false);

 private:
  // The component (unit object) a native window belongs to within this window; this
  // window itself for its own client area; null for anything else.
  UnitObject* UnitOfWindow(HWND hwnd) const;
  // The components of this window that may take the focus, in tab order.
  struct FocusCandidate {
    size_t order;  // position in the window's unit list
    HWND hwnd;
  };
  std::vector<FocusCandidate> FocusCandidates(bool optionButtonsOnly, HWND sameParent) const;
  // The first visible, enabled default push button among the components, in unit-list order.
  UnitObject* DefaultButton() const;
  // Raises the clicked event of a default button chosen by Enter.
  void RaiseDefaultButtonClick(const UnitObject& button);
  // Whether a component is visible and enabled and its type answers true to
  // IsDefaultButton for its live object.
  static bool IsLiveDefaultButton(UnitObject* unit);

  bool m_firstActivationSeen = false;
  bool m_raisingActivation = false;
  bool m_helpOpened = false;
  HWND m_rememberedFocus = nullptr;  // a control of this window; not owned
  UniqueIcon m_bigIcon;              // made from Icon; the runtime's default icons are borrowed
  UniqueIcon m_smallIcon;
  UniqueIcon m_trayIcon;
  bool m_trayShown = false;
  // The decoded background picture (cache dropped when BackPicture changes).
  UniqueGdiObject m_picture;
  SIZE m_pictureSize{};
  bool m_pictureDecoded = false;
  std::string m_soundPlaying;  // the sound data PlaySound reads from while it plays
};

}  // namespace zl

// The hyperlink box: a link the runtime draws itself (window class "_RT_HyperLinker")
// in its normal, visited or hover colour. A left click opens its target, an e-mail
// address or a web address, through the shell, or through the browser registered for
// ".htm" pages when the shell refuses it. No events of its own.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/hyper_linker_schema.h"
#include "runtime/ui/unit_types.h"

namespace zl {

inline constexpr char kHyperLinkerClassName[] = "_RT_HyperLinker";
inline constexpr char kHyperLinkerChineseName[] = "超级链接框";
inline constexpr uint32_t kHyperLinkerStateFlags = 0x80010040;
// The program's link cursor resource.
inline constexpr WORD kLinkCursorResource = 1032;

// Component property numbers (application numbers − 8).
enum HyperLinkerProperty : int32_t {
  kLinkCaptionProperty,
  kLinkTypeProperty,
  kLinkMailAddressProperty,
  kLinkWebAddressProperty,
  kLinkNormalColourProperty,
  kLinkVisitedColourProperty,
  kLinkHoverColourProperty,
  kLinkBackColourProperty,
  kLinkBorderProperty,
  kLinkFontProperty,
};

class HyperLinker final : public Component {
 public:
  HyperLinker(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);

  static constexpr std::array<ComponentProperty, 10> kOwnProperties = {{
      {kPropertyText, kLinkCaption},
      {kPropertyPick, kLinkLinkType},
      {kPropertyText, kLinkMailAddress},
      {kPropertyText, kLinkWebAddress},
      {kPropertyColour, kLinkNormalColour},
      {kPropertyColour, kLinkVisitedColour},
      {kPropertyColour, kLinkHoverColour},
      {kPropertyColour3, kLinkBackColour},
      {kPropertyPick, kLinkBorder},
      {kPropertyFont, kLinkFont},
  }};
  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations;

  // The interface selector: the generic operations, with a creation that gives a box
  // made without a blob the system's current highlight colour for hovering.
  static void* Selector(int32_t operation) noexcept;

  bool CreateControl(const CreateArgs& args) override;
  int32_t ApplyProperty(int32_t number) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Opens the target as a left click does; the box is visited exactly when it opened.
  void OpenTarget();
  // Draws the box into a device context in client coordinates; only `update` changes.
  void Paint(HDC dc, const RECT& update);
  void OnMouseMove(POINT point);
  // Ends hovering: the capture goes and the state colour comes back.
  void Leave();
  static UnitObject* CreateUnit(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle, HWND parent,
                                intptr_t childId, int32_t x, int32_t y, int32_t width, int32_t height,
                                uint32_t windowId, uint32_t unitId, uint32_t designFlag) noexcept;

  bool m_hovering = false;
  bool m_visited = false;
};

// The hyperlink box's entry of the core library's type table.
inline constexpr auto kHyperLinkerPropertyDescriptors =
    MakePropertyDescriptors(HyperLinker::kOwnProperties, kCoreComponentPropertyFlags);
inline constexpr UnitTypeDescriptor kHyperLinkerUnitType =
    MakeUnitType(kHyperLinkerChineseName, "HyperLinker", kHyperLinkerStateFlags, kHyperLinkerPropertyDescriptors,
                 &HyperLinker::Selector);

}  // namespace zl

// Window descriptions: the readable source of a window template, one TOML file
// per window, compiled into the stored template format (and written back from a
// template by `zl_template_compiler --decompile`, in this same form).
//
//   [window]
//   id = 0x52010001              # required; neither its low 24 bits nor bits 24-27 may be 0
//   reserved1 = 0x00717818       # optional words and texts, kept unread by the runtime
//   reserved2 = 0x19010005
//   text1 = ""
//   text2 = ""
//
//   [[unit]]                     # units in template order; the first is the window unit
//   id = 0x06010000              # required; 0 only for the window unit
//   type = "window"              # required: Chinese or English type name, or the type code
//   name = ""                    # optional fields default to 0, "", false or empty
//   second_name = ""
//   reserved = [0, 0, 0, 0]
//   left = 50                    # left, top, width, height: required
//   top = 50
//   width = 492
//   height = 321
//   visible = true               # default true
//   disabled = false
//   tabstop = false
//   other_flags = 0              # flag bits beyond bits 0-2 (visible, disabled, tabstop)
//   container = 0
//   handler_source = 0
//   tag = ""
//   mouse_pointer = 0            # the pointer code, stored as 4 bytes (the default: 0)
//   # mouse_pointer_hex = ""     # or the stored bytes themselves
//   pages = []                   # unit ids a container distributes, 0 between pages
//   events = [ { event = 0, handler = "OnWindowCreated" },
//              { event = 3, handler_offset = 2 },  # a routine by its position
//              { event = 1 } ]   # no handler: stored as unbound (-1)
//   other_words = [0, 0, 0, 0, 0, 0, 0, 0, 0]  # live object, cursor, words 20 and 22,
//                                # the five words 24: 0 unless a template made elsewhere
//                                # stores something there
//   [unit.properties]            # the component's properties (see below)
//   Title = "..."
//   # or: blob_hex = "06 00 00 00"  (the property blob itself, for any type)
//
//   [[unit]]                     # a menu item (its id has 2 in bits 28-31, 6 in bits 24-27)
//   id = 0x26010002
//   type = "Menu"                # optional for a menu item
//   name = "菜单1"
//   caption = "打开(&O)\tCtrl+O"  # after a tab, the item's shortcut (runtime/core/menu_shortcuts.h)
//   flags = 0
//   handler = "OnOpenClicked"    # optional: no handler is stored as -1
//   # handler_offset = 3         # or the routine by its position
//   other_words = [0, 0]         # live object and the reserved word after it
//
// Properties: a type whose blob the runtime describes with a schema takes every
// schema field by its name (property_fields.h lists the forms per field kind:
// integers, true/false, picks, colours 0xBBGGRR or "button-face", texts, bytes as
// { hex = "..." } or { file = "picture.bmp" } beside the description, fonts as
// "default", { face = "宋体", size = 9, bold = false, italic = false, underline = false,
// strikeout = false, angle = 0 } or { hex = "..." }). A field left out keeps its
// default; the blob is written at the type's current version with every field, also
// when `[unit.properties]` is left out (`blob_hex = ""` stores no blob). The test
// component takes Caption and Style. Other types give `blob_hex` or nothing.
//
// Handler names are positions in the application's routine list; `handler_offset`
// gives the position itself (checked against the list when one is given). Texts are
// stored in code page 936. Unknown keys are errors, so a misspelt field never passes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/window_template.h"
#include "tools/template_compiler/compile_error.h"
#include "tools/template_compiler/routine_list.h"

namespace zl::tools {

// Compiles one window description; nothing (and diagnostics in `errors`) when it is wrong.
std::optional<TemplateWindow> CompileWindowDescription(std::string_view text, const std::string& fileName,
                                                       const RoutineList& routines,
                                                       std::vector<CompileError>& errors);

// One description and the file it is (or will be) read from; files it names are
// found beside that file.
struct DescriptionText {
  std::string fileName;
  std::string text;
};

// Compiles descriptions, one window each, in the given order, into template bytes.
std::optional<std::vector<uint8_t>> CompileTemplateTexts(std::span<const DescriptionText> descriptions,
                                                         const RoutineList& routines,
                                                         std::vector<CompileError>& errors);

// Compiles description files, one window each, in the given order, into template bytes.
std::optional<std::vector<uint8_t>> CompileTemplateFiles(const std::vector<std::string>& files,
                                                         const RoutineList& routines,
                                                         std::vector<CompileError>& errors);

// A C++ source that embeds template bytes as `NAME` and `NAME_size`.
std::string TemplateCppSource(std::string_view name, std::span<const uint8_t> bytes);

}  // namespace zl::tools

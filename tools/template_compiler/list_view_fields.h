// The list view's two tables in readable descriptions, both ways:
//   Columns = [ { title = "编号", width = 50 },
//               { title = "QQ", width = 100, align = "centre", image = -1, image_on_right = false } ]
//   InitialRows = [ { text = "1", cells = ["10001", ""] },
//                   { text = "2", image = -1, state_image = -1, indent = 0, data = 0, tip = "",
//                     cells = [{ text = "10002", image = -1, state_image = -1 }] } ]
// Left out: align "left", image -1, image_on_right false, state_image -1, indent 0,
// data 0, tip "", no cells. A table given as { hex = "..." } is taken as it is.
#pragma once

#include <optional>
#include <string>

#include <toml++/toml.h>

#include "runtime/ui/property_record.h"
#include "tools/template_compiler/field_reader.h"

namespace zl::tools {

// The bytes of a table field given as an array of tables; nothing (and a diagnostic)
// when it is wrong.
std::optional<std::string> CompileListViewTable(BytesFormat format, FieldReader& properties,
                                                const toml::array& entries, std::string_view name);
// The readable array of a table's bytes, or nothing when they do not read back exactly.
std::optional<std::string> DescribeListViewTable(BytesFormat format, const std::string& bytes);

}  // namespace zl::tools

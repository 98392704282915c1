// Typed reads of one table of a description (a window, a unit, a component's
// properties); every mistake becomes a diagnostic at the value's place.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/template_compiler/compile_error.h"

namespace zl::tools {

class FieldReader {
 public:
  // `table` may be null (no table given: every field keeps its default). `noun`
  // names the fields in messages ("field", "property").
  FieldReader(const toml::table* table, const std::string& file, std::vector<CompileError>& errors,
              std::string_view noun = "property")
      : m_properties(table), m_file(file), m_errors(errors), m_noun(noun) {}

  // Whether the field is given (counts as read).
  bool Has(std::string_view key) { return Find(key) != nullptr; }
  // Reports the field missing unless it is given; answers whether it is.
  bool Require(std::string_view key);
  // The node of a field (counts as read); null when absent.
  const toml::node* Node(std::string_view key) { return Find(key); }

  // A text field, converted to the system code page.
  std::string Text(std::string_view key, std::string_view fallback = "");
  // A text field as the description spells it (UTF-8), e.g. a routine name.
  std::string SourceText(std::string_view key);
  // An integer field that must fit in an unsigned 32-bit word.
  uint32_t U32(std::string_view key, uint32_t fallback = 0);
  // An integer field that must fit in a signed 32-bit word.
  int32_t I32(std::string_view key, int32_t fallback = 0);
  // A truth-valued field.
  bool Bool(std::string_view key, bool fallback = false);
  // Raw bytes given as a hexadecimal text.
  std::vector<uint8_t> Hex(std::string_view key);

  // A reader of a table nested in this one (a font, a byte field), reporting alike.
  FieldReader Nested(const toml::table* table, std::string_view noun) const {
    return FieldReader(table, m_file, m_errors, noun);
  }
  // The description file, against which files it names are found.
  const std::string& File() const { return m_file; }

  // Reports every field that no read above asked for (misspelt or unknown);
  // `owner` names what lacks it ("type 'Button'", "a unit").
  void RejectUnread(std::string_view owner);
  // Reports a mistake at a node (or at the table when the node is null).
  void Error(const toml::node* at, std::string message);

 private:
  const toml::node* Find(std::string_view key);
  std::string Named(std::string_view key) const;

  const toml::table* m_properties;
  const std::string& m_file;
  std::vector<CompileError>& m_errors;
  std::string_view m_noun;
  std::set<std::string, std::less<>> m_read;
};

// Where a node stands in its file.
CompileError ErrorAt(const std::string& file, const toml::node* at, std::string message);
// Checked conversions of description values, shared by the description compiler.
bool ToU32(const toml::node& node, uint32_t& out);
bool ToI32(const toml::node& node, int32_t& out);
bool ParseHex(std::string_view text, std::vector<uint8_t>& out);

}  // namespace zl::tools

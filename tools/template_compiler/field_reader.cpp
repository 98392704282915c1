#include "tools/template_compiler/field_reader.h"

#include <limits>

#include "tools/template_compiler/ansi_text.h"

namespace zl::tools {

CompileError ErrorAt(const std::string& file, const toml::node* at, std::string message) {
  CompileError error{file, 0, 0, std::move(message)};
  if (at) {
    error.line = static_cast<uint32_t>(at->source().begin.line);
    error.column = static_cast<uint32_t>(at->source().begin.column);
  }
  return error;
}

bool ToU32(const toml::node& node, uint32_t& out) {
  const auto* value = node.as_integer();
  if (!value || value->get() < 0 || value->get() > std::numeric_limits<uint32_t>::max()) return false;
  out = static_cast<uint32_t>(value->get());
  return true;
}

bool ToI32(const toml::node& node, int32_t& out) {
  const auto* value = node.as_integer();
  if (!value || value->get() < std::numeric_limits<int32_t>::min() ||
      value->get() > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  out = static_cast<int32_t>(value->get());
  return true;
}

bool ParseHex(std::string_view text, std::vector<uint8_t>& out) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  out.clear();
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;  // white space groups bytes
    const int value = digit(c);
    if (value < 0) return false;
    if (high < 0) {
      high = value;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | value));
      high = -1;
    }
  }
  return high < 0;
}

const toml::node* FieldReader::Find(std::string_view key) {
  m_read.emplace(key);
  return m_properties ? m_properties->get(key) : nullptr;
}

void FieldReader::Error(const toml::node* at, std::string message) {
  m_errors.push_back(ErrorAt(m_file, at ? at : m_properties, std::move(message)));
}

std::string FieldReader::Text(std::string_view key, std::string_view fallback) {
  const toml::node* node = Find(key);
  if (!node) return std::string(fallback);
  const auto* value = node->as_string();
  if (!value) {
    Error(node, Named(key) + " must be a text");
    return std::string(fallback);
  }
  auto ansi = ToAnsiText(value->get());
  if (!ansi) {
    Error(node, Named(key) + " has a character outside code page 936");
    return std::string(fallback);
  }
  return *ansi;
}

std::string FieldReader::SourceText(std::string_view key) {
  const toml::node* node = Find(key);
  if (!node) return {};
  if (const auto* value = node->as_string()) return value->get();
  Error(node, Named(key) + " must be a text");
  return {};
}

uint32_t FieldReader::U32(std::string_view key, uint32_t fallback) {
  const toml::node* node = Find(key);
  uint32_t value = fallback;
  if (node && !ToU32(*node, value)) {
    Error(node, Named(key) + " must be an integer from 0 to 0xFFFFFFFF");
  }
  return value;
}

int32_t FieldReader::I32(std::string_view key, int32_t fallback) {
  const toml::node* node = Find(key);
  int32_t value = fallback;
  if (node && !ToI32(*node, value)) {
    Error(node, Named(key) + " must be a 32-bit signed integer");
  }
  return value;
}

bool FieldReader::Bool(std::string_view key, bool fallback) {
  const toml::node* node = Find(key);
  if (!node) return fallback;
  if (const auto* value = node->as_boolean()) return value->get();
  Error(node, Named(key) + " must be true or false");
  return fallback;
}

std::vector<uint8_t> FieldReader::Hex(std::string_view key) {
  const toml::node* node = Find(key);
  std::vector<uint8_t> bytes;
  if (!node) return bytes;
  const auto* value = node->as_string();
  if (!value || !ParseHex(value->get(), bytes)) {
    Error(node, Named(key) + " must be a text of hexadecimal byte pairs");
  }
  return bytes;
}

void FieldReader::RejectUnread(std::string_view owner) {
  if (!m_properties) return;
  for (const auto& [key, node] : *m_properties) {
    if (!m_read.contains(key.str())) {
      // Point at the key itself: that is what is misspelt.
      m_errors.push_back({m_file, static_cast<uint32_t>(key.source().begin.line),
                          static_cast<uint32_t>(key.source().begin.column),
                          std::string(owner) + " has no " + Named(key.str())});
    }
  }
}

bool FieldReader::Require(std::string_view key) {
  if (Find(key)) return true;
  Error(nullptr, Named(key) + " is missing");
  return false;
}

std::string FieldReader::Named(std::string_view key) const {
  return std::string(m_noun) + " '" + std::string(key) + "'";
}

}  // namespace zl::tools

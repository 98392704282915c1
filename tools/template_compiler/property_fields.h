// Readable property fields for any component type whose blob a schema describes:
// a description's `[unit.properties]` table compiled into the blob, and a blob
// described back as that table. Both go through PropertyRecord, the codec the
// runtime reads with, so a description cannot drift from what the runtime loads.
//
//   Word, Short   an integer                  HelpContext = 0
//   Truth         true or false               MaxButton = false
//   Pick          an integer 0..largest       BorderStyle = 2
//   Colour        0xBBGGRR or "button-face"   BackColour = 0x00FF00
//   Text          a string                    Title = "窗口"
//   Bytes         hex, or a file beside the description
//                                             Icon = { hex = "00 01" }
//                                             BackPicture = { file = "picture.bmp" }
//   Font          "default" (no record), a font table, or the record's 60 bytes
//                 Font = { face = "宋体", size = 9, bold = false, italic = false,
//                          underline = false, strikeout = false, angle = 0 }
//                 Font = { hex = "F4 FF FF FF ..." }
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/ui/property_record.h"
#include "tools/template_compiler/field_reader.h"

namespace zl::tools {

// The blob of a properties table at the schema's current version, every field (a
// field left out keeps its default); mistakes are reported through `properties`.
std::vector<uint8_t> CompileProperties(const BlobSchema& schema, FieldReader& properties);

// The properties table lines ("Name = value", every field in blob order) that compile
// to exactly `blob`; nothing when the blob is not the current version with every
// field, or a value has no readable form that rebuilds its bytes.
std::optional<std::string> DescribeProperties(const BlobSchema& schema, std::span<const uint8_t> blob);

}  // namespace zl::tools

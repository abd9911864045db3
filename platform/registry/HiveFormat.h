// The text form of a hive file:
//
//   QUVO-REGISTRY 1
//   key "CLSID" "{277DEC5B-063E-4432-AC82-8823A6C85EF3}"
//   val "" sz "Tavrin MPEG File Writer"
//   val "Merit" dword 0x00200000
//   val "Data" binary hex:0a0b
//   end 1 3
//
// One line per key (its full path, one quoted name per level; every key has a
// line, so empty keys survive), followed by the key's values. Quoted text escapes
// '\\', '"' and control bytes (\n \r \t \xHH); other bytes are written as they are.
// Types: sz, expand_sz, multi_sz (quoted text), dword, qword (hex number), binary
// and type:N for other types (hex bytes). The closing "end <keys> <values>" line
// tells a complete file from a cut one.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry/KeyTree.h"

namespace quvo::registry {

inline constexpr const char* kHiveHeader = "QUVO-REGISTRY 1";

std::string SerializeHive(const KeyNode& root);
// Fills `root` from `text`; on failure leaves a reason ("line 7: bad escape") in
// *error and returns false.
bool ParseHive(std::string_view text, KeyNode* root, std::string* error);

}  // namespace quvo::registry

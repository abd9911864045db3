// The in-memory form of one hive: keys with case-insensitive names, each holding
// typed values and subkeys. Not thread-safe; HiveFile guards it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/Types.h"

namespace quvo::registry {

// ASCII case-insensitive ordering, as Windows compares key and value names.
struct CaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// String types keep their text as UTF-8 without a terminator; every other type
// keeps its bytes as written.
struct Value {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const Value&) const = default;
};

struct KeyNode {
    // Map keys keep the case the name was created with.
    std::map<std::string, std::unique_ptr<KeyNode>, CaseLess> subkeys;
    std::map<std::string, Value, CaseLess> values;

    KeyNode* Find(const std::vector<std::string>& path);
    const KeyNode* Find(const std::vector<std::string>& path) const;
    // Creates the missing keys along `path`; *created tells whether the last one was new.
    KeyNode& Ensure(const std::vector<std::string>& path, bool* created);
};

// Splits "A\B\C" into its names; empty names (doubled or edge separators) are dropped.
std::vector<std::string> SplitKeyPath(std::string_view path);

bool IsStringType(DWORD type);

}  // namespace quvo::registry

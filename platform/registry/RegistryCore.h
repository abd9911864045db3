// The registry operations with UTF-8 names; the Win32-style functions and the
// Key class are thin layers over these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/KeyTree.h"
#include "platform/registry/Registry.h"

namespace quvo::registry::core {

LONG CreateKey(HKEY key, std::string_view subKey, HKEY* result, DWORD* disposition);
LONG OpenKey(HKEY key, std::string_view subKey, HKEY* result);
LONG CloseKey(HKEY key);
LONG QueryValue(HKEY key, std::string_view name, Value* out);
LONG SetValue(HKEY key, std::string_view name, Value value);
LONG DeleteValue(HKEY key, std::string_view name);
// `tree` false: only a key without subkeys. `subKey` empty with `tree`: empties `key`.
LONG DeleteKey(HKEY key, std::string_view subKey, bool tree);
LONG EnumKey(HKEY key, DWORD index, std::string* name);
LONG EnumValue(HKEY key, DWORD index, std::string* name, Value* value);
LONG ListSubkeys(HKEY key, std::vector<std::string>* names);
LONG ListValues(HKEY key, std::vector<std::string>* names);

}  // namespace quvo::registry::core

// The registry: a hierarchy of keys holding typed values, one hive per predefined
// root, kept in text files under $QUVO_REGISTRY_DIR (read at every open, so a
// process can switch registries; default $XDG_CONFIG_HOME/quvo/registry, else
// ~/.config/quvo/registry): "classes_root.reg", "current_user.reg" and
// "local_machine.reg", each with a ".lock" file beside it (format: HiveFormat.h).
// Win32 calling conventions and error codes, so code written against the Win32
// registry reads the same here.
//
// - Key and value names compare without regard to ASCII case, as on Windows; a
//   key path separates its names with '\'. Strings are UTF-8 inside; the W
//   functions take and give UTF-16, the A functions UTF-8.
// - Access masks, classes and security attributes are accepted and ignored: every
//   handle may read and write.
// - Every change is written through at once (atomically, under a lock shared with
//   other processes); reads see other processes' changes.
// - A hive file that cannot be parsed answers ERROR_BADDB to every read and write
//   of that hive and is left untouched; RegLastErrorText() says what is wrong.
// All functions are thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/Types.h"
#include "platform/registry/RegistryErrors.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using LSTATUS = LONG;
using REGSAM = DWORD;

#define QUVO_PREDEFINED_HKEY(v) (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(v)))
#define HKEY_CLASSES_ROOT QUVO_PREDEFINED_HKEY(0x80000000u)
#define HKEY_CURRENT_USER QUVO_PREDEFINED_HKEY(0x80000001u)
#define HKEY_LOCAL_MACHINE QUVO_PREDEFINED_HKEY(0x80000002u)

// Value types (published numbers).
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights (ignored, kept for source compatibility).
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
// Dispositions answered by RegCreateKeyEx.
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Creates `subKey` (and the keys on its path) under `key`, or opens it when it
// exists. `subKey` null or empty opens `key` itself again.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, void* security, PHKEY result, DWORD* disposition);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, void* security, PHKEY result, DWORD* disposition);
LSTATUS RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result);
LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);

// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);

// Closes a handle from RegCreateKey*/RegOpenKey*; predefined keys need no closing.
LSTATUS RegCloseKey(HKEY key);

// Reads a value (null or empty name = the key's default value). `data` null with
// `dataSize` set asks for the size. Strings come with their terminating zero
// (UTF-16 for W, UTF-8 for A); a buffer too small answers ERROR_MORE_DATA with the
// size needed in *dataSize.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* dataSize);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* dataSize);

// Writes a value. REG_DWORD needs 4 bytes, REG_QWORD 8; string data may or may not
// include its terminating zero.
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);
LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR name);

// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Deletes `subKey` with everything below it; with a null `subKey`, empties `key`
// (all its subkeys and values) and keeps it.
LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subKey);
LSTATUS RegDeleteTreeA(HKEY key, LPCSTR subKey);

// Names the index-th subkey (in case-insensitive name order); ERROR_NO_MORE_ITEMS
// past the last. `nameSize` is in characters, in: buffer size with the zero; out:
// length without it. ERROR_MORE_DATA when the buffer is too small.
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved,
                      LPWSTR keyClass, DWORD* classSize, void* lastWriteTime);
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved,
                      LPSTR keyClass, DWORD* classSize, void* lastWriteTime);
// Same for values; `type`, `data` and `dataSize` as in RegQueryValueEx.
LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved,
                      DWORD* type, BYTE* data, DWORD* dataSize);
LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved,
                      DWORD* type, BYTE* data, DWORD* dataSize);

// What went wrong with the last hive that could not be read or written (file and
// reason), for the calling thread; empty when nothing did.
std::string RegLastErrorText();

// The directory the registry uses now (from the environment).
std::string RegistryDirectory();

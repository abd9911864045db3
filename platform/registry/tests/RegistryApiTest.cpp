// The Win32-style registry calls inside one process: both value types through
// the W and A functions, Win32 buffer rules, case-insensitive names, subkey
// enumeration, deleting trees, handles of deleted keys, and the Key wrapper.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/registry/RegKey.h"
#include "platform/registry/tests/RegistryTestDir.h"

using quvo::registry::Key;

namespace {
struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() { if (key) RegCloseKey(key); }
};
}  // namespace

using RegistryApi = RegistryDirTest;

TEST_F(RegistryApi, StringsAndDwordsThroughWideAndNarrowCalls)
{
    KeyCloser k;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Quvo\\Test", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k.key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

    const std::u16string wide = u"Настройка кодеков";
    ASSERT_EQ(RegSetValueExW(k.key, u"Caption", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                             static_cast<DWORD>((wide.size() + 1) * 2)),
              ERROR_SUCCESS);
    ASSERT_EQ(SetDword(k.key, "Deinterlace", 0xDEADBEEF), ERROR_SUCCESS);

    // The size question, then a buffer one byte short, then the read.
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(k.key, u"caption", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, (wide.size() + 1) * 2);
    std::vector<WCHAR> buf(size / 2);
    DWORD shortSize = size - 1;
    EXPECT_EQ(RegQueryValueExW(k.key, u"Caption", nullptr, nullptr, reinterpret_cast<BYTE*>(buf.data()),
                               &shortSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(shortSize, size);
    ASSERT_EQ(RegQueryValueExW(k.key, u"Caption", nullptr, nullptr, reinterpret_cast<BYTE*>(buf.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(buf.data()), wide);

    // The same string read narrow is UTF-8 with its zero.
    char narrow[64];
    DWORD narrowSize = sizeof narrow;
    ASSERT_EQ(RegQueryValueExA(k.key, "CAPTION", nullptr, &type, reinterpret_cast<BYTE*>(narrow), &narrowSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(narrow, "Настройка кодеков");
    EXPECT_EQ(narrowSize, std::strlen(narrow) + 1);

    DWORD v = 0;
    ASSERT_EQ(GetDword(k.key, "deinterlace", &v), ERROR_SUCCESS);
    EXPECT_EQ(v, 0xDEADBEEFu);
    // A DWORD must be 4 bytes.
    EXPECT_EQ(RegSetValueExA(k.key, "Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 2),
              ERROR_INVALID_PARAMETER);

    EXPECT_EQ(RegDeleteValueA(k.key, "Deinterlace"), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(k.key, "Deinterlace", &v), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(k.key, "Deinterlace"), ERROR_FILE_NOT_FOUND);

    // Opening again finds the key; opening a missing one does not create it.
    KeyCloser again, missing;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\QUVO\\test", 0, nullptr, 0, KEY_READ, nullptr,
                              &again.key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quvo\\Nothing", 0, KEY_READ, &missing.key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quvo\\Nothing", 0, KEY_READ, &missing.key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApi, EnumeratesSubkeysInNameOrderAndDeletesTrees)
{
    KeyCloser root;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "CLSID", &root.key), ERROR_SUCCESS);
    for (const char* path : {"{B}\\InprocServer32", "{a}\\InprocServer32\\Deeper", "{C}"}) {
        KeyCloser k;
        ASSERT_EQ(RegCreateKeyA(root.key, path, &k.key), ERROR_SUCCESS) << path;
        ASSERT_EQ(SetDword(k.key, "", 1), ERROR_SUCCESS);
    }
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[8];
        DWORD size = sizeof name;
        LSTATUS rc = RegEnumKeyExA(root.key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        EXPECT_EQ(size, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"{a}", "{B}", "{C}"}));
    WCHAR small[3];
    DWORD smallSize = 3;
    EXPECT_EQ(RegEnumKeyExW(root.key, 0, small, &smallSize, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    // A key with subkeys is not deleted alone; RegDeleteTree takes everything.
    EXPECT_EQ(RegDeleteKeyA(root.key, "{a}"), ERROR_ACCESS_DENIED);
    KeyCloser inside;
    ASSERT_EQ(RegOpenKeyExA(root.key, "{a}\\InprocServer32", 0, KEY_READ, &inside.key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(root.key, "{A}"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(root.key, "{A}"), ERROR_FILE_NOT_FOUND);
    // A handle to a deleted key says so.
    DWORD v = 0;
    EXPECT_EQ(GetDword(inside.key, "", &v), ERROR_KEY_DELETED);
    EXPECT_EQ(SetDword(inside.key, "x", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyA(root.key, "{C}"), ERROR_SUCCESS);

    DWORD size = 8;
    char name[8];
    ASSERT_EQ(RegEnumKeyExA(root.key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "{B}");
    EXPECT_EQ(RegEnumKeyExA(root.key, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    // Null subkey empties the key but keeps it.
    EXPECT_EQ(RegDeleteTreeA(root.key, nullptr), ERROR_SUCCESS);
    size = 8;
    EXPECT_EQ(RegEnumKeyExA(root.key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    KeyCloser still;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &still.key), ERROR_SUCCESS);
}

TEST_F(RegistryApi, RejectsBadHandlesAndClosesOnce)
{
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "A", &k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE);
    DWORD v = 0;
    EXPECT_EQ(GetDword(k, "x", &v), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryApi, EnumeratesValuesWithTheirData)
{
    Key k;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "Values", &k), ERROR_SUCCESS);
    ASSERT_EQ(k.SetString("b", "text"), ERROR_SUCCESS);
    ASSERT_EQ(k.SetDword("A", 7), ERROR_SUCCESS);
    char name[8];
    DWORD nameSize = sizeof name, type = 0, v = 0, dataSize = sizeof v;
    ASSERT_EQ(RegEnumValueA(k.get(), 0, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&v), &dataSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "A");
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(v, 7u);
    WCHAR wname[8];
    WCHAR text[8];
    nameSize = 8;
    dataSize = sizeof text;
    ASSERT_EQ(RegEnumValueW(k.get(), 1, wname, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(text), &dataSize),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(wname), u"b");
    EXPECT_EQ(std::u16string(text), u"text");
    EXPECT_EQ(dataSize, 10u);
    nameSize = 8;
    EXPECT_EQ(RegEnumValueA(k.get(), 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryApi, KeyWrapperReadsTypesStrictly)
{
    Key k;
    bool created = false;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "Software\\Vendor\\Decoder", &k, &created), ERROR_SUCCESS);
    EXPECT_TRUE(created);
    ASSERT_EQ(k.SetDword("Deinterlace", 1), ERROR_SUCCESS);
    ASSERT_EQ(k.SetString("LastUsedColorSpace", "YUY2"), ERROR_SUCCESS);

    Key reader;
    ASSERT_EQ(Key::Open(HKEY_CURRENT_USER, "Software\\Vendor\\Decoder", &reader), ERROR_SUCCESS);
    DWORD v = 0;
    std::string s;
    EXPECT_EQ(reader.GetDword("Deinterlace", &v), ERROR_SUCCESS);
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(reader.GetString("LastUsedColorSpace", &s), ERROR_SUCCESS);
    EXPECT_EQ(s, "YUY2");
    EXPECT_EQ(reader.GetDword("LastUsedColorSpace", &v), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reader.GetString("Deinterlace", &s), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(reader.HasValue("deinterlace"));
    EXPECT_FALSE(reader.HasValue("Missing"));

    std::vector<std::string> names;
    ASSERT_EQ(reader.ValueNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"Deinterlace", "LastUsedColorSpace"}));

    Key vendor;
    ASSERT_EQ(Key::Open(HKEY_CURRENT_USER, "Software\\Vendor", &vendor), ERROR_SUCCESS);
    ASSERT_EQ(vendor.SubkeyNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names, std::vector<std::string>{"Decoder"});
    EXPECT_EQ(vendor.DeleteTree("Decoder"), ERROR_SUCCESS);
    EXPECT_EQ(reader.GetDword("Deinterlace", &v), ERROR_KEY_DELETED);

    Key closed;
    EXPECT_EQ(closed.SetDword("x", 1), ERROR_INVALID_HANDLE);
}

// QUVO_REGISTRY_DIR is read at each open: switching it switches registries.
TEST_F(RegistryApi, FollowsTheDirectoryOfTheEnvironment)
{
    Key k;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "OnlyInFirst", &k), ERROR_SUCCESS);
    const std::string second = dir_ + "/second";
    ::setenv("QUVO_REGISTRY_DIR", second.c_str(), 1);
    Key other;
    EXPECT_EQ(Key::Open(HKEY_CURRENT_USER, "OnlyInFirst", &other), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "OnlyInSecond", &other), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(second + "/current_user.reg"));
    // A key opened before keeps its own registry.
    EXPECT_EQ(k.SetDword("still", 1), ERROR_SUCCESS);
    ::setenv("QUVO_REGISTRY_DIR", dir_.c_str(), 1);
    Key back;
    EXPECT_EQ(Key::Open(HKEY_CURRENT_USER, "OnlyInSecond", &back), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Key::Open(HKEY_CURRENT_USER, "OnlyInFirst", &back), ERROR_SUCCESS);
    EXPECT_TRUE(back.HasValue("still"));
}

// The hive text format: everything a key or value may hold survives a write and
// a read, and every kind of damage is refused with the line it was found on.
#include <gtest/gtest.h>

#include "platform/registry/HiveFormat.h"
#include "platform/registry/Registry.h"

using quvo::registry::KeyNode;
using quvo::registry::ParseHive;
using quvo::registry::SerializeHive;
using quvo::registry::Value;

namespace {

Value Bytes(DWORD type, std::string bytes) { return Value{type, std::move(bytes)}; }

bool SameTree(const KeyNode& a, const KeyNode& b)
{
    if (a.values != b.values || a.subkeys.size() != b.subkeys.size()) return false;
    for (auto ia = a.subkeys.begin(), ib = b.subkeys.begin(); ia != a.subkeys.end(); ++ia, ++ib)
        if (ia->first != ib->first || !SameTree(*ia->second, *ib->second)) return false;
    return true;
}

std::string ParseError(const std::string& text)
{
    KeyNode root;
    std::string error;
    EXPECT_FALSE(ParseHive(text, &root, &error)) << text;
    return error;
}

}  // namespace

TEST(HiveFormat, RoundTripsAwkwardNamesAndEveryType)
{
    KeyNode root;
    root.values[""] = Bytes(REG_SZ, "root default");
    KeyNode& clsid = root.Ensure({"CLSID", "{277DEC5B-063E-4432-AC82-8823A6C85EF3}"}, nullptr);
    clsid.values[""] = Bytes(REG_SZ, "Tavrin MPEG File Writer");
    KeyNode& odd = root.Ensure({"with \"quotes\" and spaces", "tab\there\nnewline"}, nullptr);
    odd.values["back\\slash"] = Bytes(REG_SZ, "C:\\path\\x \"q\" \r\n\x01\x7f end");
    odd.values["Кириллица"] = Bytes(REG_EXPAND_SZ, "значение %PATH%");
    odd.values["multi"] = Bytes(REG_MULTI_SZ, std::string("a\0b\0", 4));
    odd.values["dword"] = Bytes(REG_DWORD, std::string("\x78\x56\x34\x12", 4));
    odd.values["qword"] = Bytes(REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x80", 8));
    odd.values["binary"] = Bytes(REG_BINARY, std::string("\0\xff\x10", 3));
    odd.values["empty binary"] = Bytes(REG_BINARY, "");
    odd.values["other type"] = Bytes(0x12345, "xyz");
    root.Ensure({"Empty", "Key"}, nullptr);

    const std::string text = SerializeHive(root);
    KeyNode back;
    std::string error;
    ASSERT_TRUE(ParseHive(text, &back, &error)) << error << "\n" << text;
    EXPECT_TRUE(SameTree(root, back)) << text;
    // Stable: writing what was read gives the same bytes.
    EXPECT_EQ(SerializeHive(back), text);
    EXPECT_NE(text.find("val \"dword\" dword 0x12345678\n"), std::string::npos) << text;
}

TEST(HiveFormat, EmptyHiveIsHeaderAndEnd)
{
    KeyNode root;
    EXPECT_EQ(SerializeHive(root), "QUVO-REGISTRY 1\nend 0 0\n");
    KeyNode back;
    std::string error;
    EXPECT_TRUE(ParseHive("QUVO-REGISTRY 1\nend 0 0\n", &back, &error)) << error;
}

TEST(HiveFormat, RefusesDamageWithItsLine)
{
    const std::string good = "QUVO-REGISTRY 1\nkey \"A\"\nval \"v\" dword 0x00000001\nend 1 1\n";
    KeyNode root;
    std::string error;
    ASSERT_TRUE(ParseHive(good, &root, &error)) << error;

    EXPECT_NE(ParseError("").find("empty"), std::string::npos);
    EXPECT_NE(ParseError("garbage\nend 0 0\n").find("line 1: not a registry file"), std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 2\nend 0 0\n").find("version"), std::string::npos);
    // Cut short: no end line, or a last line without its newline.
    EXPECT_NE(ParseError(good.substr(0, good.size() - 8)).find("without its end line"), std::string::npos);
    EXPECT_NE(ParseError(good.substr(0, good.size() - 1)).find("line 4"), std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nkey \"A\"\nval \"v\" dword 0x00000001\nend 1 2\n")
                  .find("line 4: record count"),
              std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nkey \"A\"\nval \"v\" dword 0x0001\nend 1 1\n").find("line 3"),
              std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nkey \"A\\q\"\nend 1 0\n").find("line 2: bad key name"),
              std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nkey \"A\"\nval \"v\" sz \"open\nend 1 1\n").find("line 3"),
              std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nval \"v\" sz \"x\"\nend 0 1\n").find("before any key"),
              std::string::npos);
    EXPECT_NE(ParseError(good + "key \"B\"\n").find("after the end line"), std::string::npos);
    EXPECT_NE(ParseError("QUVO-REGISTRY 1\nkey \"A\"\nval \"v\" binary hex:0g\nend 1 1\n").find("line 3"),
              std::string::npos);
}

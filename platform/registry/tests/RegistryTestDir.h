// Gives each test its own empty registry directory (under TMPDIR) through
// QUVO_REGISTRY_DIR, which the registry reads at every open.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/registry/HiveFile.h"
#include "platform/registry/Registry.h"

class RegistryDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/registry-" + info->test_suite_name() + "-" +
               info->name() + "-" + std::to_string(::getpid());
        std::filesystem::remove_all(dir_);
        ::setenv("QUVO_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string HivePath(const char* stem) const { return dir_ + "/" + stem + ".reg"; }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string dir_;
};

inline LSTATUS SetDword(HKEY key, const char* name, DWORD v)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

inline LSTATUS GetDword(HKEY key, const char* name, DWORD* v)
{
    DWORD type = 0, size = sizeof *v;
    LSTATUS rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(v), &size);
    if (rc == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof *v)) return ERROR_INVALID_PARAMETER;
    return rc;
}

// CoInitialize counts per thread: S_OK first, S_FALSE after, each thread on its
// own; creating objects needs it, as in COM.
#include <gtest/gtest.h>

#include <thread>

#include "platform/com/Runtime.h"

namespace {
constexpr CLSID kUnknownClass = {0x1234, 0x5678, 0x9ABC, {1, 2, 3, 4, 5, 6, 7, 8}};
}

TEST(CoInitialize, CountsPerThreadAndForgetsAfterTheLastUninitialize)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);

    // Another thread starts from nothing, and its calls do not touch ours.
    HRESULT first = E_FAIL, second = E_FAIL, create = E_FAIL;
    std::thread other([&] {
        void* p = nullptr;
        create = CoCreateInstance(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p);
        first = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        second = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(create, CO_E_NOTINITIALIZED);
    EXPECT_EQ(first, S_OK);
    EXPECT_EQ(second, S_FALSE);

    // The other model is refused and not counted.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);

    CoUninitialize();
    CoUninitialize();
    void* p = nullptr;
    // Still initialized once: an unknown class is simply not registered.
    EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(p, nullptr);
    // An extra CoUninitialize is harmless, and the thread starts over.
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

TEST(CoTaskMem, ReallocAndFreeFollowCom)
{
    void* p = CoTaskMemAlloc(0);
    ASSERT_NE(p, nullptr);
    p = CoTaskMemRealloc(p, 64);
    ASSERT_NE(p, nullptr);
    static_cast<char*>(p)[63] = 1;
    EXPECT_EQ(CoTaskMemRealloc(p, 0), nullptr);  // freed
    void* fresh = CoTaskMemRealloc(nullptr, 8);
    EXPECT_NE(fresh, nullptr);
    CoTaskMemFree(fresh);
    CoTaskMemFree(nullptr);
}

// Threads of one process reading and writing one hive at once: every write
// lands, and readers see whole keys (built for ThreadSanitizer as well).
#include <atomic>
#include <thread>
#include <vector>

#include "platform/registry/RegKey.h"
#include "platform/registry/tests/RegistryTestDir.h"

using quvo::registry::Key;

using RegistryThreads = RegistryDirTest;

TEST_F(RegistryThreads, WritersAndReadersAtOnceLoseNothing)
{
    constexpr int kThreads = 4, kKeys = 25;
    std::vector<std::thread> threads;
    std::atomic<int> badReads{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kKeys; ++i) {
                Key k;
                if (Key::Create(HKEY_CURRENT_USER, "T\\" + std::to_string(t) + "_" + std::to_string(i), &k) ==
                    ERROR_SUCCESS)
                    k.SetDword("n", static_cast<DWORD>(i));
            }
        });
    }
    threads.emplace_back([&badReads] {
        for (int i = 0; i < kThreads * kKeys; ++i) {
            Key root;
            std::vector<std::string> names;
            if (Key::Open(HKEY_CURRENT_USER, "T", &root) == ERROR_SUCCESS && root.SubkeyNames(&names) != ERROR_SUCCESS)
                ++badReads;
        }
    });
    for (auto& th : threads) th.join();
    EXPECT_EQ(badReads.load(), 0);
    Key root;
    ASSERT_EQ(Key::Open(HKEY_CURRENT_USER, "T", &root), ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(root.SubkeyNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kThreads * kKeys));
    for (const std::string& name : names) {
        Key k;
        DWORD n = 0;
        ASSERT_EQ(Key::Open(root.get(), name, &k), ERROR_SUCCESS);
        EXPECT_EQ(k.GetDword("n", &n), ERROR_SUCCESS) << name;
        EXPECT_EQ(std::to_string(n), name.substr(name.find('_') + 1));
    }
}

// The hive files across processes: changes survive a fresh start, another
// process's changes are seen, concurrent writers lose nothing, a damaged file is
// reported and kept byte for byte, and a writer that dies before its rename
// leaves the old file as it was.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/registry/RegKey.h"
#include "platform/registry/tests/RegistryTestDir.h"

using quvo::registry::Key;
namespace testhooks = quvo::registry::testing;

namespace {

// Runs `body` in a child process; answers its exit status (or 128 + signal).
template <class Fn>
int InChild(Fn body)
{
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

DWORD ReadDword(const char* path, const char* name)
{
    Key k;
    DWORD v = 0xFFFFFFFF;
    if (Key::Open(HKEY_CURRENT_USER, path, &k) == ERROR_SUCCESS) k.GetDword(name, &v);
    return v;
}

}  // namespace

using RegistryFiles = RegistryDirTest;

TEST_F(RegistryFiles, SurvivesARestartAndSeesOtherProcesses)
{
    Key k;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "Software\\Persist", &k), ERROR_SUCCESS);
    ASSERT_EQ(k.SetDword("Count", 41), ERROR_SUCCESS);
    ASSERT_EQ(k.SetString("Name", "first"), ERROR_SUCCESS);

    // A process starting with nothing cached reads it back, then changes it.
    EXPECT_EQ(InChild([] {
                  testhooks::ForgetCachedHives();
                  Key c;
                  std::string name;
                  if (Key::Open(HKEY_CURRENT_USER, "Software\\Persist", &c) != ERROR_SUCCESS) return 1;
                  if (c.GetString("Name", &name) != ERROR_SUCCESS || name != "first") return 2;
                  if (ReadDword("Software\\Persist", "Count") != 41) return 3;
                  return c.SetDword("Count", 42) == ERROR_SUCCESS ? 0 : 4;
              }),
              0);
    // Our cached copy notices the other process's write.
    EXPECT_EQ(ReadDword("Software\\Persist", "Count"), 42u);
    std::string name;
    EXPECT_EQ(k.GetString("Name", &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "first");
}

TEST_F(RegistryFiles, ConcurrentProcessesLoseNoKey)
{
    constexpr int kProcesses = 4, kKeys = 60;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = ::fork();
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kKeys; ++i) {
                Key k;
                const std::string path = "Concurrent\\P" + std::to_string(p) + "K" + std::to_string(i);
                if (Key::Create(HKEY_CURRENT_USER, path, &k) != ERROR_SUCCESS ||
                    k.SetDword("Value", static_cast<DWORD>(p * 1000 + i)) != ERROR_SUCCESS)
                    ++failures;
            }
            ::_exit(failures ? 1 : 0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Key root;
    ASSERT_EQ(Key::Open(HKEY_CURRENT_USER, "Concurrent", &root), ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(root.SubkeyNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kProcesses * kKeys));
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kKeys; i += 13) {
            const std::string path = "Concurrent\\P" + std::to_string(p) + "K" + std::to_string(i);
            EXPECT_EQ(ReadDword(path.c_str(), "Value"), static_cast<DWORD>(p * 1000 + i)) << path;
        }
}

TEST_F(RegistryFiles, DamagedFileIsReportedAndKeptIntact)
{
    Key k;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "Software\\Kept", &k), ERROR_SUCCESS);
    ASSERT_EQ(k.SetDword("Value", 5), ERROR_SUCCESS);
    Key other;
    ASSERT_EQ(Key::Create(HKEY_CLASSES_ROOT, "CLSID", &other), ERROR_SUCCESS);

    // Damage the file the way a bad hand edit would (another size, so no cache hides it).
    const std::string path = HivePath("current_user");
    std::string text = ReadFile(path);
    const std::size_t at = text.find("dword");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 5, "dwerd!");
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; }

    ::testing::internal::CaptureStderr();
    DWORD v = 0;
    EXPECT_EQ(k.GetDword("Value", &v), ERROR_BADDB);
    EXPECT_EQ(k.GetDword("Value", &v), ERROR_BADDB);
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(stderrText.find(path), std::string::npos) << stderrText;
    EXPECT_NE(stderrText.find("line 4"), std::string::npos) << stderrText;
    // Reported once, not at every access.
    EXPECT_EQ(stderrText.find(path), stderrText.rfind(path)) << stderrText;
    EXPECT_NE(RegLastErrorText().find("line 4: bad value data"), std::string::npos) << RegLastErrorText();

    // Writes are refused too, and nothing replaces the file.
    Key fresh;
    EXPECT_EQ(k.SetDword("Value", 6), ERROR_BADDB);
    EXPECT_EQ(Key::Create(HKEY_CURRENT_USER, "New", &fresh), ERROR_BADDB);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, nullptr), ERROR_BADDB);
    EXPECT_EQ(InChild([] {
                  testhooks::ForgetCachedHives();
                  Key c;
                  return Key::Create(HKEY_CURRENT_USER, "FromChild", &c) == ERROR_BADDB ? 0 : 1;
              }),
              0);
    EXPECT_EQ(ReadFile(path), text);
    // The other hive is unaffected.
    EXPECT_EQ(other.SetDword("Fine", 1), ERROR_SUCCESS);
}

TEST_F(RegistryFiles, WriterDyingBeforeItsRenameLeavesTheOldFile)
{
    Key k;
    ASSERT_EQ(Key::Create(HKEY_CURRENT_USER, "Software\\Crash", &k), ERROR_SUCCESS);
    ASSERT_EQ(k.SetDword("Value", 1), ERROR_SUCCESS);
    const std::string path = HivePath("current_user");
    const std::string before = ReadFile(path);

    // The child is killed after writing its temporary file, while holding the lock.
    const int status = InChild([] {
        testhooks::SetWriteFaultHook([](const char* stage) {
            if (std::strcmp(stage, "temp-written") == 0) ::raise(SIGKILL);
        });
        Key c;
        Key::Open(HKEY_CURRENT_USER, "Software\\Crash", &c);
        c.SetDword("Value", 2);
        c.SetDword("Other", 3);
        return 0;
    });
    EXPECT_EQ(status, 128 + SIGKILL);
    EXPECT_EQ(ReadFile(path), before);
    std::vector<std::string> leftovers;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
        if (e.path().filename().string().find(".reg.tmp.") != std::string::npos)
            leftovers.push_back(e.path().string());
    EXPECT_EQ(leftovers.size(), 1u);

    testhooks::ForgetCachedHives();
    EXPECT_EQ(ReadDword("Software\\Crash", "Value"), 1u);
    EXPECT_EQ(ReadDword("Software\\Crash", "Other"), 0xFFFFFFFFu);
    // The dead writer's lock is gone; the next write works and sweeps its temporary file.
    ASSERT_EQ(k.SetDword("Value", 4), ERROR_SUCCESS);
    EXPECT_EQ(ReadDword("Software\\Crash", "Value"), 4u);
    for (const std::string& f : leftovers) EXPECT_FALSE(std::filesystem::exists(f)) << f;
}

#include "outside/board/driver/BoardConfig.h"

#include <chrono>
#include <mutex>

#include "platform/registry/Registry.h"

namespace quvo::board {
namespace {

// An open handle to the board's key, closed on scope exit.
class BoardKey {
public:
    explicit BoardKey(bool create)
    {
        const LSTATUS rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, kBoardKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                    nullptr, &key_, nullptr)
                                  : RegOpenKeyExA(HKEY_CURRENT_USER, kBoardKey, 0, KEY_READ, &key_);
        if (rc != ERROR_SUCCESS) key_ = nullptr;
    }
    ~BoardKey()
    {
        if (key_) RegCloseKey(key_);
    }
    BoardKey(const BoardKey&) = delete;
    BoardKey& operator=(const BoardKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool QueryRaw(const char* name, DWORD wantType, std::string* bytes)
{
    BoardKey key(false);
    if (!key.get()) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wantType)
        return false;
    bytes->assign(size, '\0');
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(bytes->data()), &size) !=
        ERROR_SUCCESS)
        return false;
    bytes->resize(size);
    return true;
}

bool SetRaw(const char* name, DWORD type, const void* data, std::size_t size)
{
    BoardKey key(true);
    return key.get() && RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data),
                                       static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

BoardConfig ReadConfig()
{
    BoardConfig c;
    DWORD v = 0;
    if (ReadDword(value::kSignal, &v)) c.signal = v != 0;
    if (ReadDword(value::kLines, &v)) c.lines = v;
    ReadString(value::kSource, &c.source);
    ReadString(value::kSerialNumber, &c.serialNumber);
    if (ReadDword(value::kFailGetProperty, &v)) c.failGetProperty = v;
    if (ReadDword(value::kFailSetProperty, &v)) c.failSetProperty = v;
    if (ReadDword(value::kNoPropertySet, &v)) c.noPropertySet = v != 0;
    if (ReadDword(value::kNoDecoder, &v)) c.noDecoder = v != 0;
    if (ReadDword(value::kNoProcAmp, &v)) c.noProcAmp = v != 0;
    if (ReadDword(value::kNoCrossbar, &v)) c.noCrossbar = v != 0;
    if (ReadDword(value::kFailProcAmpRange, &v) && v < 5) c.failProcAmpRange = static_cast<int>(v);
    if (ReadDword(value::kRefuseTvFormat, &v)) c.refuseTvFormat = static_cast<LONG>(v);
    return c;
}

// configLock guards the cached configuration and its time; any thread may ask.
std::mutex configLock;
BoardConfig cached;
std::chrono::steady_clock::time_point readAt;
bool everRead = false;

}  // namespace

BoardConfig RefreshConfig()
{
    BoardConfig fresh = ReadConfig();
    std::lock_guard lock(configLock);
    cached = fresh;
    readAt = std::chrono::steady_clock::now();
    everRead = true;
    return cached;
}

BoardConfig CurrentConfig()
{
    {
        std::lock_guard lock(configLock);
        if (everRead && std::chrono::steady_clock::now() - readAt < std::chrono::milliseconds(200)) return cached;
    }
    return RefreshConfig();
}

std::vector<std::string> ConfiguredDevices()
{
    std::vector<std::string> names;
    if (!ReadMultiString(value::kDevices, &names)) names = {kDefaultDevice};
    return names;
}

bool ReadDword(const char* name, DWORD* out)
{
    std::string raw;
    if (!QueryRaw(name, REG_DWORD, &raw) || raw.size() != 4) return false;
    *out = static_cast<DWORD>(static_cast<unsigned char>(raw[0])) |
           static_cast<DWORD>(static_cast<unsigned char>(raw[1])) << 8 |
           static_cast<DWORD>(static_cast<unsigned char>(raw[2])) << 16 |
           static_cast<DWORD>(static_cast<unsigned char>(raw[3])) << 24;
    return true;
}

bool ReadQword(const char* name, ULONGLONG* out)
{
    std::string raw;
    if (!QueryRaw(name, REG_QWORD, &raw) || raw.size() != 8) return false;
    ULONGLONG v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(raw[static_cast<std::size_t>(i)]);
    *out = v;
    return true;
}

bool ReadString(const char* name, std::string* out)
{
    std::string raw;
    if (!QueryRaw(name, REG_SZ, &raw)) return false;
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    *out = raw;
    return true;
}

bool ReadMultiString(const char* name, std::vector<std::string>* out)
{
    std::string raw;
    if (!QueryRaw(name, REG_MULTI_SZ, &raw)) return false;
    out->clear();
    std::size_t at = 0;
    while (at < raw.size()) {
        const std::size_t end = raw.find('\0', at);
        const std::string item = raw.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (item.empty()) break;  // the list ends with an empty string
        out->push_back(item);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return true;
}

bool WriteDword(const char* name, DWORD v)
{
    const BYTE b[4] = {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                       static_cast<BYTE>(v >> 24)};
    return SetRaw(name, REG_DWORD, b, 4);
}

bool WriteQword(const char* name, ULONGLONG v)
{
    BYTE b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<BYTE>(v >> (8 * i));
    return SetRaw(name, REG_QWORD, b, 8);
}

bool WriteString(const char* name, const std::string& v) { return SetRaw(name, REG_SZ, v.c_str(), v.size() + 1); }

bool WriteMultiString(const char* name, const std::vector<std::string>& v)
{
    std::string raw;
    for (const std::string& s : v) raw += s + '\0';
    raw += '\0';
    return SetRaw(name, REG_MULTI_SZ, raw.data(), raw.size());
}

bool DeleteValue(const char* name)
{
    BoardKey key(false);
    return key.get() && RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
}

}  // namespace quvo::board

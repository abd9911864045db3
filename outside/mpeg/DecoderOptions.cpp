#include "outside/mpeg/DecoderOptions.h"

#include <cstring>

#include "platform/registry/Registry.h"

namespace quvo::mpegdec {
namespace {

struct Default {
    const char* name;
    DWORD value;
};
// The colour spaces the decoder may offer, then its options.
constexpr Default kDefaults[] = {
    {"BGR3", 1}, {"BGR4", 1}, {"R555", 1}, {"R565", 1}, {"UYVY", 1}, {"YUY2", 1}, {"YV12", 1},
    {"Deinterlacing", 0}, {"ShowErrorFrames", 0}, {"MPEG2Only", 0}, {"ForceOverlayMixer", 0},
};

class Key {
public:
    explicit Key(bool create)
    {
        const LSTATUS rc = create ? RegCreateKeyA(HKEY_CURRENT_USER, kVideoDecoderOptionsKey, &key_)
                                  : RegOpenKeyExA(HKEY_CURRENT_USER, kVideoDecoderOptionsKey, 0, KEY_READ, &key_);
        if (rc != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key()
    {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

    bool ReadDword(const char* name, DWORD* value) const
    {
        DWORD type = 0, size = sizeof(*value);
        return RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD && size == sizeof(*value);
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace

VideoDecoderOptions ReadVideoDecoderOptions()
{
    VideoDecoderOptions options;
    Key key(false);
    if (!key.get()) return options;
    DWORD v = 0;
    options.deinterlace = key.ReadDword("Deinterlacing", &v) && v == 1;
    options.showErrorFrames = key.ReadDword("ShowErrorFrames", &v) && v == 1;
    return options;
}

void WriteLastUsedColorSpace(const char* name)
{
    Key key(false);
    if (!key.get()) return;
    RegSetValueExA(key.get(), "LastUsedColorSpace", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>(std::strlen(name) + 1));
}

void CreateVideoDecoderOptions()
{
    Key key(true);
    if (!key.get()) return;
    for (const Default& d : kDefaults) {
        DWORD existing = 0;
        if (key.ReadDword(d.name, &existing)) continue;
        RegSetValueExA(key.get(), d.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d.value), sizeof(d.value));
    }
}

}  // namespace quvo::mpegdec

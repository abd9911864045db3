// The decoder settings dialog without its widgets: the options two MPEG video
// decoders of other makers keep under their own keys of the current user's
// registry, read into check states and written back on OK. A decoder whose key is
// absent is not installed: it shows the defaults and nothing is written for it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace encoderdesk {

// The few registry operations the dialog needs; every one opens its key without
// creating it. Reads answer nothing when the key or value is absent or has the
// wrong type; a write to an absent key writes nothing.
class OptionStore {
public:
    virtual ~OptionStore() = default;
    virtual bool KeyExists(const std::string& key) = 0;
    virtual std::optional<std::uint32_t> ReadInteger(const std::string& key, const std::string& name) = 0;
    virtual std::optional<std::string> ReadString(const std::string& key, const std::string& name) = 0;
    virtual void WriteInteger(const std::string& key, const std::string& name, std::uint32_t value) = 0;
};

// The current user's hive of the platform registry.
class RegistryOptionStore final : public OptionStore {
public:
    bool KeyExists(const std::string& key) override;
    std::optional<std::uint32_t> ReadInteger(const std::string& key, const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
    void WriteInteger(const std::string& key, const std::string& name, std::uint32_t value) override;
};

struct DecoderOption {
    const char* name;    // the value's name (REG_DWORD)
    bool defaultOn;      // when the value is absent or unreadable
    bool standardOn;     // what "Стандартные настройки" sets
};

inline constexpr int kDecoderOptionCount = 11;
inline constexpr std::array<DecoderOption, kDecoderOptionCount> kDecoderOptions = {{
    {"BGR3", true, true},
    {"BGR4", true, true},
    {"R555", true, true},
    {"R565", true, true},
    {"UYVY", true, true},
    {"YUY2", true, true},
    {"YV12", true, true},
    {"Deinterlacing", false, false},
    {"ShowErrorFrames", false, false},
    {"MPEG2Only", false, true},
    {"ForceOverlayMixer", false, false},
}};
inline constexpr int kMpeg2OnlyOption = 9;
inline constexpr const char* kLastUsedColorSpace = "LastUsedColorSpace";

struct DecoderPageInfo {
    const char* caption;
    const char* key;
    bool hasMpeg2Only;
};

// The first page's decoder is the one the preview and playback graphs use here;
// its key must match what that decoder reads (outside/mpeg/DecoderOptions.h).
inline constexpr std::array<DecoderPageInfo, 2> kDecoderPages = {{
    {"Brenmark", "Software\\Brenmark\\MediaGraph\\MPEGVideoDecoder", true},
    {"Ostrel", "Software\\Ostrel\\MediaGraph\\MPEGVideoDecoder", false},
}};

class DecoderSettings {
public:
    struct Page {
        std::array<bool, kDecoderOptionCount> checked{};
        std::string lastUsedColorSpace = "?";
    };

    explicit DecoderSettings(OptionStore& store) : store_(store) {}

    // Reads both pages (the first, then the second).
    void Fill();
    // "Стандартные настройки": only the check states change.
    void SetStandard();
    // OK: every box of the first page in table order, then the second page's.
    void Write();

    std::array<Page, 2> pages;

private:
    OptionStore& store_;
};

}  // namespace encoderdesk

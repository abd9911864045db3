// Fuzzes the INI text with arbitrary bytes: parsing never fails, and a value that
// was set reads back the same after the text went to bytes and was parsed again,
// whatever the encoding chosen; every other key keeps its value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3 || size > 16384) return 0;
    // The first bytes choose the section, key and value lengths; the rest is the file.
    const std::size_t sectionLength = data[0] % 8, keyLength = data[1] % 8, valueLength = data[2] % 32;
    std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::string section = rest.substr(0, sectionLength);
    const std::string key = rest.substr(std::min(rest.size(), sectionLength), keyLength);
    const std::string value = rest.substr(std::min(rest.size(), sectionLength + keyLength), valueLength);

    encoderdesk::IniText text = encoderdesk::ParseIniText(rest);
    const auto otherBefore = encoderdesk::FindIniValue(text, "Video", "IN");
    encoderdesk::ParseIniInteger(value);
    if (!encoderdesk::SetIniValue(text, section, key, value)) return 0;
    const encoderdesk::IniText again = encoderdesk::ParseIniText(encoderdesk::SerializeIniText(text));
    if (again.lines != text.lines) std::abort();
    if (encoderdesk::FindIniValue(again, section, key) != value) std::abort();
    if (!encoderdesk::SameIniName(section, "Video") || !encoderdesk::SameIniName(key, "IN"))
        if (encoderdesk::FindIniValue(again, "Video", "IN") != otherBefore) std::abort();
    return 0;
}

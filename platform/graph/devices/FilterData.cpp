#include "platform/graph/devices/FilterData.h"

#include <cstdio>

#include "platform/win32/Text.h"

namespace quvo::graph {

namespace {
std::string PinName(LPCWSTR name)
{
    std::string text = name ? text::Utf16ToUtf8(name) : std::string();
    for (char& c : text) {
        if (c == ',' || c == ';' || c == '=') c = '_';  // the separators of the line
    }
    return text;
}

std::string TypeText(const REGPINTYPES& type)
{
    const GUID& major = type.clsMajorType ? *type.clsMajorType : GUID_NULL;
    const GUID& minor = type.clsMinorType ? *type.clsMinorType : GUID_NULL;
    return GuidToString(major) + "/" + GuidToString(minor);
}
}  // namespace

std::string FilterDataText(const REGFILTER2& data)
{
    char merit[32];
    std::snprintf(merit, sizeof merit, "merit=0x%08X", static_cast<unsigned>(data.dwMerit));
    std::string text = merit;
    for (ULONG i = 0; data.rgPins && i < data.cPins; ++i) {
        const REGFILTERPINS& pin = data.rgPins[i];
        text += ";pin=" + PinName(pin.strName);
        text += pin.bOutput ? ",out" : ",in";
        text += pin.bRendered ? ",rendered=1" : ",rendered=0";
        text += pin.bMany ? ",many=1" : ",many=0";
        text += pin.bZero ? ",zero=1" : ",zero=0";
        text += ",types=";
        for (UINT t = 0; pin.lpMediaType && t < pin.nMediaTypes; ++t) {
            if (t > 0) text += "+";
            text += TypeText(pin.lpMediaType[t]);
        }
    }
    return text;
}

}  // namespace quvo::graph

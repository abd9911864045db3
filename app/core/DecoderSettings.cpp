#include "core/DecoderSettings.h"

namespace encoderdesk {

void DecoderSettings::Fill()
{
    for (std::size_t p = 0; p < kDecoderPages.size(); ++p) {
        Page& page = pages[p];
        const char* key = kDecoderPages[p].key;
        for (std::size_t i = 0; i < kDecoderOptions.size(); ++i) {
            const auto value = store_.ReadInteger(key, kDecoderOptions[i].name);
            page.checked[i] = value ? *value == 1 : kDecoderOptions[i].defaultOn;
        }
        page.lastUsedColorSpace = store_.ReadString(key, kLastUsedColorSpace).value_or("?");
    }
}

void DecoderSettings::SetStandard()
{
    for (Page& page : pages)
        for (std::size_t i = 0; i < kDecoderOptions.size(); ++i) page.checked[i] = kDecoderOptions[i].standardOn;
}

void DecoderSettings::Write()
{
    for (std::size_t p = 0; p < kDecoderPages.size(); ++p) {
        const DecoderPageInfo& info = kDecoderPages[p];
        for (std::size_t i = 0; i < kDecoderOptions.size(); ++i) {
            if (static_cast<int>(i) == kMpeg2OnlyOption && !info.hasMpeg2Only) continue;
            store_.WriteInteger(info.key, kDecoderOptions[i].name, pages[p].checked[i] ? 1 : 0);
        }
    }
}

}  // namespace encoderdesk

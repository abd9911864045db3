#include "platform/filters/tee/InfTee.h"

#include "platform/graph/Guids.h"

namespace quvo::filters {

InfTee::InfTee(IUnknown* outer, HRESULT* hr) : CFanOutFilter("Infinite Pin Tee", outer, CLSID_InfTee, u"Input")
{
    *hr = AddOutput();
}

std::u16string InfTee::OutputName(int n)
{
    const std::string digits = std::to_string(n);
    return u"Output" + std::u16string(digits.begin(), digits.end());
}

// Without a new free output the tee still works; it offers one less.
void InfTee::OutputConnected()
{
    if (!FreeOutputBesides(nullptr)) AddOutput();
}

void InfTee::OutputDisconnecting(CFanOutOutputPin* pin)
{
    if (FreeOutputBesides(pin)) RemoveOutput(pin);
}

}  // namespace quvo::filters

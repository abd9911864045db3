#include "platform/com/Variant.h"

#include <cstring>

#include "platform/com/Runtime.h"

BSTR SysAllocString(LPCWSTR text)
{
    if (!text) return nullptr;
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    auto* copy = static_cast<BSTR>(CoTaskMemAlloc((length + 1) * sizeof(WCHAR)));
    if (!copy) return nullptr;
    std::memcpy(copy, text, (length + 1) * sizeof(WCHAR));
    return copy;
}

void SysFreeString(BSTR text) { CoTaskMemFree(text); }

unsigned SysStringLen(BSTR text)
{
    unsigned length = 0;
    if (text) {
        while (text[length] != 0) ++length;
    }
    return length;
}

void VariantInit(VARIANT* v)
{
    if (!v) return;
    std::memset(v, 0, sizeof *v);
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v) return E_POINTER;
    if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}

// The part of OLE automation the property bags use: VARIANT with integers and strings.
#pragma once

#include "platform/com/HResult.h"

using BSTR = WCHAR*;  // CoTaskMemAlloc'ed, zero-terminated
using VARTYPE = std::uint16_t;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_UI4 = 19;

struct VARIANT {
    VARTYPE vt;
    union {
        LONG lVal;
        ULONG ulVal;
        BSTR bstrVal;
    };
};

BSTR SysAllocString(LPCWSTR text);
void SysFreeString(BSTR text);
unsigned SysStringLen(BSTR text);
void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);

// The interface and classes of the runtime's test module.
#pragma once

#include "platform/com/Unknown.h"

inline constexpr IID IID_ITestValue = {0x6A1F0C2E, 0x3B7D, 0x4E19, {0x9A, 0x51, 0x0C, 0x77, 0x2E, 0x14, 0xB8, 0x03}};
// An aggregatable object holding one number.
inline constexpr CLSID CLSID_TestValue = {0x6A1F0C2F, 0x3B7D, 0x4E19, {0x9A, 0x51, 0x0C, 0x77, 0x2E, 0x14, 0xB8, 0x03}};
// Its creation function makes an object and reports E_ACCESSDENIED.
inline constexpr CLSID CLSID_TestFailing = {0x6A1F0C30, 0x3B7D, 0x4E19, {0x9A, 0x51, 0x0C, 0x77, 0x2E, 0x14, 0xB8, 0x03}};
// Its creation function makes nothing and reports nothing.
inline constexpr CLSID CLSID_TestNothing = {0x6A1F0C31, 0x3B7D, 0x4E19, {0x9A, 0x51, 0x0C, 0x77, 0x2E, 0x14, 0xB8, 0x03}};

struct ITestValue : IUnknown {
    QUVO_INTERFACE_ID(IID_ITestValue);
    // A new object starts with the number of times the module's init function ran
    // for loading, so a test can see that it ran once.
    virtual HRESULT GetValue(LONG* value) = 0;
    virtual HRESULT SetValue(LONG value) = 0;
};

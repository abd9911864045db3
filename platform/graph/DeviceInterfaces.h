// Device discovery and capture-device interfaces: device enumerator, monikers,
// property bags, filter mapper, property sets, analogue video decoder, proc-amp,
// crossbar.
#pragma once

#include "platform/com/Variant.h"
#include "platform/graph/Interfaces.h"

QUVO_IID(IID_ICreateDevEnum, 0x29840822, 0x5B84, 0x11D0, 0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);
QUVO_IID(IID_IEnumMoniker, 0x00000102, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QUVO_IID(IID_IMoniker, 0x0000000f, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
QUVO_IID(IID_IPropertyBag, 0x55272A00, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);
QUVO_IID(IID_IFilterMapper2, 0xb79bb0b0, 0x33c1, 0x11d1, 0xab, 0xe1, 0x00, 0xa0, 0xc9, 0x05, 0xf3, 0x75);
QUVO_IID(IID_IKsPropertySet, 0x31EFAC30, 0x515C, 0x11d0, 0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93);
QUVO_IID(IID_IAMAnalogVideoDecoder, 0xC6E13350, 0x30AC, 0x11d0, 0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56);
QUVO_IID(IID_IAMVideoProcAmp, 0xC6E13360, 0x30AC, 0x11d0, 0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56);
QUVO_IID(IID_IAMCrossbar, 0xC6E13380, 0x30AC, 0x11d0, 0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56);

struct IMoniker;
struct IBindCtx;  // never needed here: callers pass null
struct IErrorLog;

struct IEnumMoniker : IUnknown {
    QUVO_INTERFACE_ID(IID_IEnumMoniker);
    virtual HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMoniker** copy) = 0;
};

// The part of IMoniker that device monikers offer.
struct IMoniker : IUnknown {
    QUVO_INTERFACE_ID(IID_IMoniker);
    // Creates the instance's class (a fresh object per call).
    virtual HRESULT BindToObject(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) = 0;
    // IPropertyBag over the instance's registry values.
    virtual HRESULT BindToStorage(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) = 0;
    virtual HRESULT GetDisplayName(IBindCtx* ctx, IMoniker* left, LPWSTR* name) = 0;
};

struct ICreateDevEnum : IUnknown {
    QUVO_INTERFACE_ID(IID_ICreateDevEnum);
    // S_FALSE and no enumerator when the category is empty or missing.
    virtual HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers, DWORD flags) = 0;
};

struct IPropertyBag : IUnknown {
    QUVO_INTERFACE_ID(IID_IPropertyBag);
    virtual HRESULT Read(LPCWSTR name, VARIANT* value, IErrorLog* log) = 0;
    virtual HRESULT Write(LPCWSTR name, VARIANT* value) = 0;
};

// Filter registration data (version 1 layout: merit and a pin list).
struct REGPINTYPES {
    const CLSID* clsMajorType;
    const CLSID* clsMinorType;
};

struct REGFILTERPINS {
    LPCWSTR strName;
    BOOL bRendered;
    BOOL bOutput;
    BOOL bZero;
    BOOL bMany;
    const CLSID* clsConnectsToFilter;
    LPCWSTR strConnectsToPin;
    UINT nMediaTypes;
    const REGPINTYPES* lpMediaType;
};

struct REGFILTER2 {
    DWORD dwVersion;  // 1
    DWORD dwMerit;
    ULONG cPins;
    const REGFILTERPINS* rgPins;
};

using AMOVIESETUP_MEDIATYPE = REGPINTYPES;
using AMOVIESETUP_PIN = REGFILTERPINS;
struct AMOVIESETUP_FILTER {
    const CLSID* clsID;
    LPCWSTR strName;
    DWORD dwMerit;
    UINT nPins;
    const AMOVIESETUP_PIN* lpPin;
};

struct IFilterMapper2 : IUnknown {
    QUVO_INTERFACE_ID(IID_IFilterMapper2);
    virtual HRESULT CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) = 0;
    // category null means the framework's filters category.
    virtual HRESULT UnregisterFilter(const CLSID* category, LPCWSTR instance, REFCLSID filter) = 0;
    virtual HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker,
                                   const CLSID* category, LPCWSTR instance,
                                   const REGFILTER2* data) = 0;
};

struct IKsPropertySet : IUnknown {
    QUVO_INTERFACE_ID(IID_IKsPropertySet);
    virtual HRESULT Set(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength,
                        LPVOID propertyData, DWORD dataLength) = 0;
    virtual HRESULT Get(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength,
                        LPVOID propertyData, DWORD dataLength, DWORD* bytesReturned) = 0;
    virtual HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* typeSupport) = 0;
};
inline constexpr DWORD KSPROPERTY_SUPPORT_GET = 1;
inline constexpr DWORD KSPROPERTY_SUPPORT_SET = 2;

struct IAMAnalogVideoDecoder : IUnknown {
    QUVO_INTERFACE_ID(IID_IAMAnalogVideoDecoder);
    virtual HRESULT get_AvailableTVFormats(LONG* formats) = 0;
    virtual HRESULT put_TVFormat(LONG format) = 0;
    virtual HRESULT get_TVFormat(LONG* format) = 0;
    virtual HRESULT get_HorizontalLocked(LONG* locked) = 0;
    virtual HRESULT put_VCRHorizontalLocking(LONG locking) = 0;
    virtual HRESULT get_VCRHorizontalLocking(LONG* locking) = 0;
    virtual HRESULT get_NumberOfLines(LONG* lines) = 0;
    virtual HRESULT put_OutputEnable(LONG enable) = 0;
    virtual HRESULT get_OutputEnable(LONG* enable) = 0;
};
inline constexpr LONG AnalogVideo_NTSC_M = 0x1;
inline constexpr LONG AnalogVideo_PAL_B = 0x10;

struct IAMVideoProcAmp : IUnknown {
    QUVO_INTERFACE_ID(IID_IAMVideoProcAmp);
    virtual HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue,
                             LONG* capsFlags) = 0;
    virtual HRESULT Set(LONG property, LONG value, LONG flags) = 0;
    virtual HRESULT Get(LONG property, LONG* value, LONG* flags) = 0;
};
inline constexpr LONG VideoProcAmp_Brightness = 0;
inline constexpr LONG VideoProcAmp_Contrast = 1;
inline constexpr LONG VideoProcAmp_Hue = 2;
inline constexpr LONG VideoProcAmp_Saturation = 3;
inline constexpr LONG VideoProcAmp_Sharpness = 4;
inline constexpr LONG VideoProcAmp_Flags_Auto = 0x1;
inline constexpr LONG VideoProcAmp_Flags_Manual = 0x2;

struct IAMCrossbar : IUnknown {
    QUVO_INTERFACE_ID(IID_IAMCrossbar);
    virtual HRESULT get_PinCounts(LONG* outputs, LONG* inputs) = 0;
    virtual HRESULT CanRoute(LONG output, LONG input) = 0;
    virtual HRESULT Route(LONG output, LONG input) = 0;
    virtual HRESULT get_IsRoutedTo(LONG output, LONG* input) = 0;
    virtual HRESULT get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* relatedIndex,
                                        LONG* physicalType) = 0;
};
inline constexpr LONG PhysConn_Video_Composite = 2;
inline constexpr LONG PhysConn_Video_SVideo = 3;
inline constexpr LONG PhysConn_Video_VideoDecoder = 0x1000;
inline constexpr LONG PhysConn_Audio_Line = 0x1002;
inline constexpr LONG PhysConn_Audio_AudioDecoder = 0x1007;

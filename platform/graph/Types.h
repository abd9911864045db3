// Media-graph data types with the framework's layouts: media types, pin and filter
// information, audio and video format blocks, reference time.
#pragma once

#include "platform/com/Unknown.h"

using REFERENCE_TIME = LONGLONG;  // 100 ns units
using REFTIME = double;           // seconds
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using OAHWND = LONG_PTR;          // window handle carried as an integer
using OAEVENT = std::int32_t;     // event wait handle (an eventfd here)
using OAFilterState = LONG;

inline constexpr REFERENCE_TIME UNITS = 10000000;  // per second
inline constexpr REFERENCE_TIME MILLISECONDS = 10000;
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;

struct IPin;
struct IBaseFilter;
struct IFilterGraph;

enum FILTER_STATE : std::int32_t { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : std::int32_t { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;  // CoTaskMemAlloc'ed
};

struct PIN_INFO {
    IBaseFilter* pFilter;  // holds a reference
    PIN_DIRECTION dir;
    WCHAR achName[128];
};

struct FILTER_INFO {
    WCHAR achName[128];
    IFilterGraph* pGraph;  // holds a reference
};

struct ALLOCATOR_PROPERTIES {
    LONG cBuffers;
    LONG cbBuffer;
    LONG cbAlign;
    LONG cbPrefix;
};

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct GRAPH_RECT {  // RECT of the format blocks (the Win32 RECT lives in platform/win32)
    LONG left, top, right, bottom;
};

struct VIDEOINFOHEADER {
    GRAPH_RECT rcSource;
    GRAPH_RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

struct VIDEOINFOHEADER2 {
    GRAPH_RECT rcSource;
    GRAPH_RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    DWORD dwInterlaceFlags;
    DWORD dwCopyProtectFlags;
    DWORD dwPictAspectRatioX;
    DWORD dwPictAspectRatioY;
    DWORD dwControlFlags;
    DWORD dwReserved2;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER2) == 112);

// MPEG-2 video format block: VIDEOINFOHEADER2 followed by the sequence header bytes
// (cbSequenceHeader of them starting at dwSequenceHeader[0]).
struct MPEG2VIDEOINFO {
    VIDEOINFOHEADER2 hdr;
    DWORD dwStartTimeCode;
    DWORD cbSequenceHeader;
    DWORD dwProfile;
    DWORD dwLevel;
    DWORD dwFlags;
    DWORD dwSequenceHeader[1];
};
static_assert(sizeof(MPEG2VIDEOINFO) == 136);

inline constexpr WORD WAVE_FORMAT_PCM = 1;
inline constexpr DWORD BI_RGB = 0;

// Filter merits.
inline constexpr DWORD MERIT_PREFERRED = 0x800000;
inline constexpr DWORD MERIT_NORMAL = 0x600000;
inline constexpr DWORD MERIT_UNLIKELY = 0x400000;
inline constexpr DWORD MERIT_DO_NOT_USE = 0x200000;
inline constexpr DWORD MERIT_SW_COMPRESSOR = 0x100000;
inline constexpr DWORD MERIT_HW_COMPRESSOR = 0x100050;

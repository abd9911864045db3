// MPEG-2 demultiplexer control: output pins by media type, stream-id mapping.
#pragma once

#include "platform/graph/Interfaces.h"

QUVO_IID(IID_IMpeg2Demultiplexer, 0x436eee9c, 0x264f, 0x4242, 0x90, 0xe1, 0x4e, 0x33, 0x0c, 0x10, 0x75, 0x12);
QUVO_IID(IID_IMPEG2StreamIdMap, 0xD0E04C47, 0x25B8, 0x4369, 0x92, 0x5A, 0x36, 0x2A, 0x01, 0xD9, 0x54, 0x44);

struct IMpeg2Demultiplexer : IUnknown {
    QUVO_INTERFACE_ID(IID_IMpeg2Demultiplexer);
    // Creates an output pin that offers exactly `mt`.
    virtual HRESULT CreateOutputPin(AM_MEDIA_TYPE* mt, LPWSTR pinName, IPin** pin) = 0;
    virtual HRESULT SetOutputPinMediaType(LPWSTR pinName, AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT DeleteOutputPin(LPWSTR pinName) = 0;
};

// Stream-map contents.
inline constexpr DWORD MPEG2_PROGRAM_STREAM_MAP = 0;
inline constexpr DWORD MPEG2_PROGRAM_ELEMENTARY_STREAM = 1;
inline constexpr DWORD MPEG2_PROGRAM_DIRECTORY_PES_PACKET = 2;
inline constexpr DWORD MPEG2_PROGRAM_PACK_HEADER = 3;
inline constexpr DWORD MPEG2_PROGRAM_PES_STREAM = 4;
inline constexpr DWORD MPEG2_PROGRAM_SYSTEM_HEADER = 5;
inline constexpr ULONG SUBSTREAM_FILTER_VAL_NONE = 0x10000000;

// Obtained from a demultiplexer output pin.
struct IMPEG2StreamIdMap : IUnknown {
    QUVO_INTERFACE_ID(IID_IMPEG2StreamIdMap);
    virtual HRESULT MapStreamId(ULONG streamId, DWORD content, ULONG substreamFilterValue,
                                int dataOffset) = 0;
    virtual HRESULT UnmapStreamId(ULONG count, ULONG* streamIds) = 0;
};

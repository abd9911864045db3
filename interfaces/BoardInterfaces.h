// The virtual board's class identifier and its status interface, for the module,
// boardctl and tests.
#pragma once

#include "platform/graph/Interfaces.h"

// {41E43E16-D47E-4076-8C7F-2A74D813AC47}
inline constexpr CLSID CLSID_KestorCaptureFilter = {
    0x41E43E16, 0xD47E, 0x4076, {0x8C, 0x7F, 0x2A, 0x74, 0xD8, 0x13, 0xAC, 0x47}};

// {9D431F70-6D75-4651-973F-6D610669C7B7}
QUVO_IID(IID_IKestorBoardStatus, 0x9D431F70, 0x6D75, 0x4651, 0x97, 0x3F, 0x6D, 0x61, 0x06, 0x69, 0xC7, 0xB7);

// What the capture filter has sent and received since it was created.
struct IKestorBoardStatus : IUnknown {
    QUVO_INTERFACE_ID(IID_IKestorBoardStatus);
    // Device playback: bytes, samples and program-stream packs that reached the input pin.
    virtual HRESULT GetPlaybackCounts(ULONGLONG* bytes, ULONG* samples, ULONG* packs) = 0;
    // Capture: bytes and frames the output pin delivered.
    virtual HRESULT GetCaptureCounts(ULONGLONG* bytes, ULONG* frames) = 0;
    // Device playback: pictures and sound (samples per channel) the board's output
    // has shown, and damaged or undecodable parts of the stream it received.
    virtual HRESULT GetPlaybackOutput(ULONG* pictures, ULONGLONG* audioFrames, ULONG* decodeErrors) = 0;
};

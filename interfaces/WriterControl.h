// The writer filter's identity and its control interface. Header only, so that a
// caller can create the filter by class identifier and drive it without linking the
// module.
#pragma once

#include "platform/com/Unknown.h"

// The writer filter's class.
inline constexpr CLSID CLSID_TavrinFileWriter = {
    0x277DEC5B, 0x063E, 0x4432, {0xAC, 0x82, 0x88, 0x23, 0xA6, 0xC8, 0x5E, 0xF3}};

inline constexpr IID IID_WriterControl = {
    0x7A7FCE8B, 0xCE09, 0x498C, {0x8C, 0x21, 0x0E, 0x1A, 0x5F, 0xAA, 0x62, 0x60}};

// Size limits, recording on and off, and the byte count of one writer. The methods
// may be called from any thread; they are serialized against the streaming thread
// inside the writer.
struct WriterControl : IUnknown {
    QUVO_INTERFACE_ID(IID_WriterControl);
    // Fragment size in KiB; 0 leaves the current limit. Capped by the target's file system.
    virtual HRESULT SetFileSizeLimit(DWORD kib) = 0;
    // Total bytes to write; once set, the limit stays on for the writer's life.
    virtual HRESULT SetCaptureLimit(ULONGLONG bytes) = 0;
    // Capture on the fly: write only while recording, from MPEG start points.
    virtual HRESULT EnableCaptureOnTheFly() = 0;
    virtual HRESULT DisableCaptureOnTheFly() = 0;
    // Opens the first fragment; its failure is returned.
    virtual HRESULT StartRecording() = 0;
    // Closes the fragment and the description file.
    virtual HRESULT StopRecording() = 0;
    // Bytes written by this writer since it was created.
    virtual ULONGLONG GetBytesStreamed() = 0;
};

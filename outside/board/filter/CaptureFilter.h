// The board's capture filter, a fresh one per moniker bind: output pin "Capture"
// (the program stream, CaptureStream), input pin "Playback" (device playback,
// PlaybackPin), and the driver's controls: IKsPropertySet (the board's own set and
// the proc-amp set), IAMAnalogVideoDecoder, IAMVideoProcAmp and IAMCrossbar, all
// on the filter itself (so ICaptureGraphBuilder2::FindInterface finds the
// crossbar at the filter), plus IKestorBoardStatus.
//
// The controls forward to the process's BoardDriver and take no filter lock. An
// interface that a fault setting removes is refused by QueryInterface.
#pragma once

#include <memory>

#include "interfaces/BoardInterfaces.h"
#include "outside/board/filter/CaptureStream.h"
#include "outside/board/filter/PlaybackPin.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/base/Streams.h"

namespace quvo::board {

class CaptureFilter final : public CSource,
                            public IKsPropertySet,
                            public IAMAnalogVideoDecoder,
                            public IAMVideoProcAmp,
                            public IAMCrossbar,
                            public IKestorBoardStatus {
public:
    // The class table creates it (CreateComObject).
    CaptureFilter(IUnknown* outer, HRESULT* hr);
    ~CaptureFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    // Paused, a live source sends nothing: it says so (VFW_S_CANT_CUE), so the
    // graph does not wait for its renderers to receive a sample.
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    // IKsPropertySet
    HRESULT Set(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength, LPVOID propertyData,
                DWORD dataLength) override;
    HRESULT Get(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength, LPVOID propertyData,
                DWORD dataLength, DWORD* bytesReturned) override;
    HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* typeSupport) override;

    // IAMAnalogVideoDecoder
    HRESULT get_AvailableTVFormats(LONG* formats) override;
    HRESULT put_TVFormat(LONG format) override;
    HRESULT get_TVFormat(LONG* format) override;
    HRESULT get_HorizontalLocked(LONG* locked) override;
    HRESULT put_VCRHorizontalLocking(LONG locking) override;
    HRESULT get_VCRHorizontalLocking(LONG* locking) override;
    HRESULT get_NumberOfLines(LONG* lines) override;
    HRESULT put_OutputEnable(LONG enable) override;
    HRESULT get_OutputEnable(LONG* enable) override;

    // IAMVideoProcAmp (Set and Get are the property-set ones' namesakes)
    HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue,
                     LONG* capsFlags) override;
    HRESULT Set(LONG property, LONG value, LONG flags) override;
    HRESULT Get(LONG property, LONG* value, LONG* flags) override;

    // IAMCrossbar
    HRESULT get_PinCounts(LONG* outputs, LONG* inputs) override;
    HRESULT CanRoute(LONG output, LONG input) override;
    HRESULT Route(LONG output, LONG input) override;
    HRESULT get_IsRoutedTo(LONG output, LONG* input) override;
    HRESULT get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* relatedIndex, LONG* physicalType) override;

    // IKestorBoardStatus
    HRESULT GetPlaybackCounts(ULONGLONG* bytes, ULONG* samples, ULONG* packs) override;
    HRESULT GetCaptureCounts(ULONGLONG* bytes, ULONG* frames) override;
    HRESULT GetPlaybackOutput(ULONG* pictures, ULONGLONG* audioFrames, ULONG* decodeErrors) override;

private:
    CaptureStream* output_ = nullptr;  // owned by CSource
    std::unique_ptr<PlaybackPin> input_;
    LONG vcrLocking_ = 0;
    LONG outputEnable_ = 1;
};

}  // namespace quvo::board

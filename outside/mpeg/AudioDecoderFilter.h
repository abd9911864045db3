// MPEG audio decoder filter: DVD linear PCM (the demultiplexer's "Audio Out"
// type), MPEG audio and AC-3 in; 16-bit PCM (WAVEFORMATEX) out at the input's rate,
// with the input's channels for linear PCM and two channels otherwise. The codec
// opens when streaming starts.
//
// Locks: those of CTransformFilter; the decoder core is touched under the receive
// lock or while stopped.
#pragma once

#include "outside/mpeg/AudioDecoderCore.h"
#include "platform/graph/base/TransformFilter.h"

namespace quvo::mpegdec {

struct AudioInput {
    AudioCoding coding = AudioCoding::Lpcm;
    int channels = 2;
    int rate = 48000;
    int bits = 16;
};

// False when `mt` is not an audio type this decoder takes.
bool ReadAudioType(const CMediaType& mt, AudioInput* out);

class AudioDecoderFilter final : public CTransformFilter {
public:
    // The class table creates it (CreateComObject).
    AudioDecoderFilter(IUnknown* outer, HRESULT* hr);

    HRESULT CheckInputType(const CMediaType* mt) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;

private:
    int OutputChannels() const;
    // Splits one decoded block over as many output samples as it needs.
    bool DeliverPcm(const PcmBlock& block);

    AudioInput input_{};     // filter lock
    AudioDecoderCore core_;  // receive lock
    HRESULT lastDeliver_ = S_OK;
};

}  // namespace quvo::mpegdec

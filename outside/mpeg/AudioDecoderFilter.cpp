#include "outside/mpeg/AudioDecoderFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "outside/mpeg/MpegClassIds.h"

namespace quvo::mpegdec {

bool ReadAudioType(const CMediaType& mt, AudioInput* out)
{
    if (mt.majortype != MEDIATYPE_Audio) return false;
    AudioInput in;
    if (mt.subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO) {
        in.coding = AudioCoding::Lpcm;
    } else if (mt.subtype == MEDIASUBTYPE_DOLBY_AC3) {
        in.coding = AudioCoding::Ac3;
    } else if (mt.subtype == MEDIASUBTYPE_MPEG2_AUDIO || mt.subtype == MEDIASUBTYPE_MPEG1AudioPayload
               || mt.subtype == MEDIASUBTYPE_MPEG1Payload || mt.subtype == MEDIASUBTYPE_MPEG1Packet) {
        in.coding = AudioCoding::MpegAudio;
    } else {
        return false;
    }
    if (mt.formattype == FORMAT_WaveFormatEx && mt.Format() && mt.FormatLength() >= sizeof(WAVEFORMATEX)) {
        WAVEFORMATEX wfx;
        std::memcpy(&wfx, mt.Format(), sizeof wfx);
        if (wfx.nChannels > 0) in.channels = wfx.nChannels;
        if (wfx.nSamplesPerSec > 0) in.rate = static_cast<int>(wfx.nSamplesPerSec);
        if (wfx.wBitsPerSample > 0) in.bits = wfx.wBitsPerSample;
    } else if (in.coding == AudioCoding::Lpcm) {
        return false;  // linear PCM says nothing about itself in the stream we get
    }
    if (in.channels < 1 || in.channels > 8 || in.rate < 8000 || in.rate > 192000) return false;
    if (in.coding == AudioCoding::Lpcm && in.bits != 16 && in.bits != 20 && in.bits != 24) return false;
    *out = in;
    return true;
}

AudioDecoderFilter::AudioDecoderFilter(IUnknown* outer, HRESULT*)
    : CTransformFilter("MPEG Audio Decoder", outer, CLSID_QuvoMpegAudioDecoder)
{
}

int AudioDecoderFilter::OutputChannels() const
{
    return input_.coding == AudioCoding::Lpcm ? input_.channels : 2;
}

HRESULT AudioDecoderFilter::CheckInputType(const CMediaType* mt)
{
    AudioInput in;
    return ReadAudioType(*mt, &in) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AudioDecoderFilter::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    AudioInput in;
    if (!ReadAudioType(InputPin()->CurrentMediaType(), &in)) return E_UNEXPECTED;
    const int channels = in.coding == AudioCoding::Lpcm ? in.channels : 2;
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Audio);
    mt->SetSubtype(&MEDIASUBTYPE_PCM);
    mt->SetFormatType(&FORMAT_WaveFormatEx);
    mt->SetSampleSize(static_cast<ULONG>(channels * 2));
    auto* wfx = reinterpret_cast<WAVEFORMATEX*>(mt->AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!wfx) return E_OUTOFMEMORY;
    wfx->wFormatTag = WAVE_FORMAT_PCM;
    wfx->nChannels = static_cast<WORD>(channels);
    wfx->nSamplesPerSec = static_cast<DWORD>(in.rate);
    wfx->wBitsPerSample = 16;
    wfx->nBlockAlign = static_cast<WORD>(channels * 2);
    wfx->nAvgBytesPerSec = wfx->nSamplesPerSec * wfx->nBlockAlign;
    wfx->cbSize = 0;
    return S_OK;
}

HRESULT AudioDecoderFilter::CheckTransform(const CMediaType* in, const CMediaType* out)
{
    AudioInput input;
    if (!ReadAudioType(*in, &input)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (out->majortype != MEDIATYPE_Audio || out->subtype != MEDIASUBTYPE_PCM) return VFW_E_TYPE_NOT_ACCEPTED;
    if (out->formattype != FORMAT_WaveFormatEx || !out->Format() || out->FormatLength() < sizeof(WAVEFORMATEX))
        return VFW_E_TYPE_NOT_ACCEPTED;
    WAVEFORMATEX wfx;
    std::memcpy(&wfx, out->Format(), sizeof wfx);
    const int channels = input.coding == AudioCoding::Lpcm ? input.channels : 2;
    const bool ok = wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16 && wfx.nChannels == channels
        && static_cast<int>(wfx.nSamplesPerSec) == input.rate;
    return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AudioDecoderFilter::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt)
{
    if (dir == PINDIR_INPUT && !ReadAudioType(*mt, &input_)) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT AudioDecoderFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    // A tenth of a second per buffer; a block larger than that is split.
    ALLOCATOR_PROPERTIES request = *props;
    const LONG bytes = input_.rate / 10 * OutputChannels() * 2;
    request.cBuffers = std::max<LONG>(request.cBuffers, 8);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, bytes);
    if (request.cbAlign <= 0) request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= OutputChannels() * 2 ? S_OK : E_FAIL;
}

HRESULT AudioDecoderFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }

HRESULT AudioDecoderFilter::StartStreaming()
{
    return core_.Open(input_.coding, OutputChannels(), input_.rate, input_.bits) ? S_OK : E_FAIL;
}

HRESULT AudioDecoderFilter::StopStreaming()
{
    core_.Close();
    return S_OK;
}

bool AudioDecoderFilter::DeliverPcm(const PcmBlock& block)
{
    const std::size_t frameBytes = static_cast<std::size_t>(OutputChannels()) * 2;
    const std::int64_t rate = input_.rate;
    std::size_t done = 0;
    while (done < block.frames) {
        ComPtr<IMediaSample> out;
        lastDeliver_ = OutputPin()->GetDeliveryBuffer(&out, nullptr, nullptr, 0);
        if (FAILED(lastDeliver_) || !out) return false;
        BYTE* buffer = nullptr;
        out->GetPointer(&buffer);
        const std::size_t room = static_cast<std::size_t>(out->GetSize()) / frameBytes;
        const std::size_t n = std::min(room, block.frames - done);
        if (!buffer || n == 0) {
            lastDeliver_ = E_FAIL;
            return false;
        }
        std::memcpy(buffer, block.samples + done * static_cast<std::size_t>(OutputChannels()), n * frameBytes);
        out->SetActualDataLength(static_cast<LONG>(n * frameBytes));
        if (block.hasTime) {
            REFERENCE_TIME start = block.start + static_cast<std::int64_t>(done) * UNITS / rate;
            REFERENCE_TIME stop = block.start + static_cast<std::int64_t>(done + n) * UNITS / rate;
            out->SetTime(&start, &stop);
        } else {
            out->SetTime(nullptr, nullptr);
        }
        out->SetSyncPoint(TRUE);
        lastDeliver_ = OutputPin()->Deliver(out.Get());
        if (lastDeliver_ != S_OK) return false;
        done += n;
    }
    return true;
}

HRESULT AudioDecoderFilter::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(StreamingLock());
    HRESULT hr = InputPin()->CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (!OutputPin()->IsConnected()) return S_OK;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = 0, stop = 0;
    const bool hasTime = SUCCEEDED(sample->GetTime(&start, &stop));
    if (sample->IsDiscontinuity() == S_OK && core_.FramesOut() > 0) core_.Flush();
    lastDeliver_ = S_OK;
    core_.Decode(data, static_cast<std::size_t>(std::max<LONG>(length, 0)), hasTime, start,
                 [this](const PcmBlock& b) { return DeliverPcm(b); });
    return SUCCEEDED(lastDeliver_) ? S_OK : lastDeliver_;
}

HRESULT AudioDecoderFilter::EndOfStream()
{
    {
        std::lock_guard streaming(StreamingLock());
        if (InputPin()->CheckStreaming() == S_OK && OutputPin()->IsConnected())
            core_.Drain([this](const PcmBlock& b) { return DeliverPcm(b); });
    }
    return CTransformFilter::EndOfStream();
}

HRESULT AudioDecoderFilter::EndFlush()
{
    {
        std::lock_guard streaming(StreamingLock());
        core_.Flush();
    }
    return CTransformFilter::EndFlush();
}

}  // namespace quvo::mpegdec

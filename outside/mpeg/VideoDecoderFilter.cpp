#include "outside/mpeg/VideoDecoderFilter.h"

#include <new>

#include "outside/mpeg/DecoderOptions.h"
#include "outside/mpeg/MpegClassIds.h"

namespace quvo::mpegdec {

VideoDecoderFilter::VideoDecoderFilter(IUnknown* outer, HRESULT*)
    : CTransformFilter("MPEG Video Decoder", outer, CLSID_QuvoMpegVideoDecoder)
{
}

HRESULT VideoDecoderFilter::CheckInputType(const CMediaType* mt)
{
    VideoGeometry g;
    return ReadMpegVideoType(*mt, &g) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoderFilter::CheckTransform(const CMediaType* in, const CMediaType* out)
{
    VideoGeometry g;
    bool topDown = true;
    if (!ReadMpegVideoType(*in, &g)) return VFW_E_TYPE_NOT_ACCEPTED;
    return IsRgb32Of(*out, g, &topDown) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoderFilter::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    VideoGeometry g;
    if (!ReadMpegVideoType(InputPin()->CurrentMediaType(), &g)) return E_UNEXPECTED;
    return MakeRgb32Type(g, mt);
}

HRESULT VideoDecoderFilter::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt)
{
    if (dir == PINDIR_INPUT) {
        if (!ReadMpegVideoType(*mt, &input_)) return VFW_E_TYPE_NOT_ACCEPTED;
    } else if (!IsRgb32Of(*mt, input_, &topDown_)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    } else {
        WriteLastUsedColorSpace("BGR4");  // 32-bit BGR is the one output offered
    }
    return S_OK;
}

HRESULT VideoDecoderFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES request = *props;
    const LONG image = input_.width * input_.height * 4;
    request.cBuffers = std::max<LONG>(request.cBuffers, 3);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, image);
    if (request.cbAlign <= 0) request.cbAlign = 16;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= image ? S_OK : E_FAIL;
}

// Unused: one input sample gives any number of pictures, so Receive delivers itself.
HRESULT VideoDecoderFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }

HRESULT VideoDecoderFilter::StartStreaming()
{
    if (!core_.Open(input_.frameDuration)) return E_FAIL;
    core_.SetOptions(ReadVideoDecoderOptions());
    return S_OK;
}

HRESULT VideoDecoderFilter::StopStreaming()
{
    core_.Close();
    return S_OK;
}

bool VideoDecoderFilter::DeliverPicture(const DecodedPicture& picture)
{
    ComPtr<IMediaSample> out;
    lastDeliver_ = OutputPin()->GetDeliveryBuffer(&out, nullptr, nullptr, 0);
    if (FAILED(lastDeliver_) || !out) return false;
    BYTE* buffer = nullptr;
    out->GetPointer(&buffer);
    const int stride = input_.width * 4;
    const LONG image = stride * input_.height;
    if (!buffer || out->GetSize() < image) {
        lastDeliver_ = E_FAIL;
        return false;
    }
    // Bottom-up output: start at the last row and step backwards.
    BYTE* first = topDown_ ? buffer : buffer + static_cast<std::ptrdiff_t>(image - stride);
    if (!core_.ConvertToBgra(picture.frame, first, topDown_ ? stride : -stride, input_.width, input_.height))
        return true;  // a picture the converter cannot take is skipped
    out->SetActualDataLength(image);
    if (picture.hasTime) {
        REFERENCE_TIME start = picture.start;
        REFERENCE_TIME stop = picture.start + picture.duration;
        out->SetTime(&start, &stop);
    } else {
        out->SetTime(nullptr, nullptr);
    }
    out->SetSyncPoint(TRUE);
    lastDeliver_ = OutputPin()->Deliver(out.Get());
    return lastDeliver_ == S_OK;
}

HRESULT VideoDecoderFilter::Receive(IMediaSample* sample)
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
    // A gap upstream: a picture begun before it cannot be finished.
    if (sample->IsDiscontinuity() == S_OK && core_.PicturesDecoded() > 0) core_.Flush();

    lastDeliver_ = S_OK;
    core_.Decode(data, static_cast<std::size_t>(std::max<LONG>(length, 0)), hasTime, start,
                 [this](const DecodedPicture& p) { return DeliverPicture(p); });
    // Downstream refusing (flushing, stopping) is its answer to pass on; a failed
    // picture is not an error of the stream.
    return SUCCEEDED(lastDeliver_) ? S_OK : lastDeliver_;
}

HRESULT VideoDecoderFilter::EndOfStream()
{
    {
        std::lock_guard streaming(StreamingLock());
        if (InputPin()->CheckStreaming() == S_OK && OutputPin()->IsConnected())
            core_.Drain([this](const DecodedPicture& p) { return DeliverPicture(p); });
    }
    return CTransformFilter::EndOfStream();
}

HRESULT VideoDecoderFilter::EndFlush()
{
    {
        std::lock_guard streaming(StreamingLock());
        core_.Flush();
    }
    return CTransformFilter::EndFlush();
}

}  // namespace quvo::mpegdec

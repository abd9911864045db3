#include "outside/board/tests/TestFilters.h"

#include <algorithm>
#include <cstring>

#include "platform/graph/Guids.h"

namespace quvo::board::test {
namespace {
const CLSID kSinkClsid = {0x5A1E0001, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kSourceClsid = {0x5A1E0002, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
}  // namespace

ByteSinkPin::ByteSinkPin(ByteSink* sink, HRESULT* phr) : CSinkInputPin("byte sink pin", sink, phr, u"In") {}

HRESULT ByteSinkPin::CheckMediaType(const CMediaType* mt)
{
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Streaming thread, under the streaming lock.
HRESULT ByteSink::OnReceive(IMediaSample* sample)
{
    BYTE* p = nullptr;
    sample->GetPointer(&p);
    const LONG n = sample->GetActualDataLength();
    if (n < 4 || p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA) everyStartsWithPack = false;
    bytes.insert(bytes.end(), p, p + n);
    ++samples;
    return S_OK;
}

ByteSink::ByteSink() : CBaseSink("byte sink", nullptr, kSinkClsid), pin_(this, nullptr) {}

BytePushStream::BytePushStream(HRESULT* phr, BytePushSource* filter)
    : CSourceStream("byte push pin", phr, filter, u"Out")
{
}

HRESULT BytePushStream::GetMediaType(CMediaType* mt)
{
    *mt = CMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt->SetFormatType(&FORMAT_None);
    return S_OK;
}

HRESULT BytePushStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES want = *props, actual{};
    want.cBuffers = std::max<LONG>(want.cBuffers, 4);
    want.cbBuffer = std::max<LONG>(want.cbBuffer, static_cast<LONG>(chunk));
    want.cbAlign = std::max<LONG>(want.cbAlign, 1);
    return allocator->SetProperties(&want, &actual);
}

HRESULT BytePushStream::OnThreadStartPlay()
{
    sent_ = 0;
    return S_OK;
}

HRESULT BytePushStream::FillBuffer(IMediaSample* sample)
{
    if (sent_ >= data.size()) return S_FALSE;  // end of stream
    BYTE* p = nullptr;
    sample->GetPointer(&p);
    const std::size_t n = std::min({chunk, data.size() - sent_, static_cast<std::size_t>(sample->GetSize())});
    std::memcpy(p, data.data() + sent_, n);
    sample->SetActualDataLength(static_cast<LONG>(n));
    sent_ += n;
    return S_OK;
}

BytePushSource::BytePushSource() : CSource("byte push source", nullptr, kSourceClsid)
{
    HRESULT hr = S_OK;
    stream_ = new BytePushStream(&hr, this);
}

}  // namespace quvo::board::test

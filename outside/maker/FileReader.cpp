#include "outside/maker/FileReader.h"

#include <cstring>
#include <new>

#include "outside/maker/MakerPins.h"
#include "outside/maker/MakerClassIds.h"
#include "outside/maker/RecordingFragments.h"
#include "platform/com/NoThrow.h"
#include "platform/graph/base/WideText.h"
#include "platform/win32/Text.h"

namespace quvo::maker {
namespace {

// Blocks of this size keep the splitter busy with few system calls; three of them
// let the reader work ahead while the splitter parses.
constexpr LONG kBlockBytes = 256 * 1024;
constexpr LONG kBlocks = 3;

// MPEG-1 system stream or MPEG-2 program stream, by the first pack header within
// the first bytes; MPEG-2 when none is found (the splitter takes either).
const GUID& StreamSubtype(const std::string& path)
{
    ReadDescriptor file;
    unsigned char head[4096];
    std::size_t got = 0;
    if (FAILED(file.Open(path)) || FAILED(file.Read(head, sizeof head, &got))) return MEDIASUBTYPE_MPEG2_PROGRAM;
    for (std::size_t i = 0; i + 4 < got; ++i) {
        if (head[i] == 0 && head[i + 1] == 0 && head[i + 2] == 1 && head[i + 3] == 0xBA)
            return (head[i + 4] & 0xC0) == 0x40 ? MEDIASUBTYPE_MPEG2_PROGRAM : MEDIASUBTYPE_MPEG1System;
    }
    return MEDIASUBTYPE_MPEG2_PROGRAM;
}

}  // namespace

FileReaderStream::FileReaderStream(HRESULT* phr, CSource* filter)
    : CSourceStream("Maker file reader stream", phr, filter, u"Output"), subtype_(MEDIASUBTYPE_MPEG2_PROGRAM)
{
}

void FileReaderStream::SetFiles(std::vector<std::string> files, const GUID& subtype)
{
    fragments_ = FragmentSequence(std::move(files));
    subtype_ = subtype;
}

HRESULT FileReaderStream::GetMediaType(CMediaType* mt)
{
    SetStreamType(mt, subtype_);
    return S_OK;
}

HRESULT FileReaderStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return RequestBuffers(allocator, props, kBlocks, kBlockBytes);
}

HRESULT FileReaderStream::OnThreadStartPlay()
{
    // Every start plays from the beginning.
    openResult_ = fragments_.Rewind();
    first_ = true;
    return S_OK;
}

HRESULT FileReaderStream::FillBuffer(IMediaSample* sample)
{
    if (FAILED(openResult_)) return openResult_;  // gone since Load: an error, not an end
    BYTE* buffer = nullptr;
    if (FAILED(sample->GetPointer(&buffer)) || !buffer) return E_POINTER;
    std::size_t got = 0;
    const HRESULT hr = fragments_.Read(buffer, static_cast<std::size_t>(sample->GetSize()), &got);
    if (FAILED(hr)) return hr;
    if (got == 0) return S_FALSE;  // end of the recording
    sample->SetActualDataLength(static_cast<LONG>(got));
    sample->SetTime(nullptr, nullptr);
    sample->SetSyncPoint(FALSE);
    // The first block of a run starts the parser afresh.
    sample->SetDiscontinuity(first_ ? TRUE : FALSE);
    first_ = false;
    return S_OK;
}

FileReader::FileReader(IUnknown* outer, HRESULT* phr)
    : CSource("Maker file reader", outer, CLSID_MakerFileReader, phr),
      stream_(new (std::nothrow) FileReaderStream(phr, this))
{
    if (phr && SUCCEEDED(*phr) && !stream_) *phr = E_OUTOFMEMORY;
}

HRESULT FileReader::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return CSource::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FileReader::Load(LPCWSTR fileName, const AM_MEDIA_TYPE*)
{
    if (!fileName || !*fileName) return E_POINTER;
    std::lock_guard lock(*FilterLock());
    if (!IsStopped()) return VFW_E_WRONG_STATE;
    return quvo::NoThrow([&] {
        std::u16string name(fileName);
        const std::string path = text::Utf16ToUtf8(name);
        ReadDescriptor probe;
        const HRESULT hr = probe.Open(path);
        if (FAILED(hr)) return hr;
        stream_->SetFiles(RecordingFragments(path), StreamSubtype(path));
        fileName_ = std::move(name);
        return S_OK;
    });
}

HRESULT FileReader::GetCurFile(LPWSTR* fileName, AM_MEDIA_TYPE* mt)
{
    if (!fileName) return E_POINTER;
    *fileName = nullptr;
    std::lock_guard lock(*FilterLock());
    if (fileName_.empty()) return E_FAIL;
    if (mt) {
        // The type the output offers, without a format block.
        std::memset(mt, 0, sizeof *mt);
        CMediaType offered;
        stream_->GetMediaType(&offered);
        mt->majortype = offered.majortype;
        mt->subtype = offered.subtype;
        mt->formattype = offered.formattype;
        mt->bFixedSizeSamples = offered.bFixedSizeSamples;
    }
    *fileName = base::TaskMemString(fileName_);
    return *fileName ? S_OK : E_OUTOFMEMORY;
}

}  // namespace quvo::maker

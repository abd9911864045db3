#include "platform/filters/tests/PacedFileSource.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/graph/Guids.h"
#include "platform/graph/base/Source.h"
#include "platform/graph/base/SourceStream.h"
#include "platform/graph/base/WideText.h"

namespace quvo::filters::test {
namespace {

// {5C0E7E21-3B4A-4E57-9D2C-6A1F0B9E4D11}: not registered anywhere, test only.
constexpr CLSID kClsid = {0x5C0E7E21, 0x3B4A, 0x4E57, {0x9D, 0x2C, 0x6A, 0x1F, 0x0B, 0x9E, 0x4D, 0x11}};
constexpr std::size_t kBlock = 2048;

// SCR base (90 kHz) of a pack header at p, MPEG-1 or MPEG-2; -1 if none.
std::int64_t PackScr(const std::uint8_t* p, std::size_t avail)
{
    if (avail < 10 || p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA) return -1;
    if ((p[4] & 0xC0) == 0x40) {
        return (static_cast<std::int64_t>((p[4] >> 3) & 7) << 30) | (static_cast<std::int64_t>(p[4] & 3) << 28)
            | (static_cast<std::int64_t>(p[5]) << 20) | (static_cast<std::int64_t>(p[6] >> 3) << 15)
            | (static_cast<std::int64_t>(p[6] & 3) << 13) | (static_cast<std::int64_t>(p[7]) << 5) | (p[8] >> 3);
    }
    return (static_cast<std::int64_t>((p[4] >> 1) & 7) << 30) | (static_cast<std::int64_t>(p[5]) << 22)
        | (static_cast<std::int64_t>(p[6] >> 1) << 15) | (static_cast<std::int64_t>(p[7]) << 7) | (p[8] >> 1);
}

class FileSource;

class FileStream final : public CSourceStream {
public:
    FileStream(HRESULT* phr, CSource* filter, std::vector<std::uint8_t> data, bool paced)
        : CSourceStream("Paced file stream", phr, filter, u"Output"), data_(std::move(data)), paced_(paced)
    {
    }

    HRESULT GetMediaType(CMediaType* mt) override
    {
        mt->InitMediaType();
        mt->SetType(&MEDIATYPE_Stream);
        mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
        mt->SetFormatType(&FORMAT_None);
        mt->SetVariableSize();
        return S_OK;
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override
    {
        ALLOCATOR_PROPERTIES request = *props;
        request.cBuffers = std::max<LONG>(request.cBuffers, 8);
        request.cbBuffer = std::max<LONG>(request.cbBuffer, static_cast<LONG>(kBlock));
        if (request.cbAlign <= 0) request.cbAlign = 1;
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(&request, &actual);
    }

    HRESULT OnThreadStartPlay() override
    {
        pos_ = 0;
        firstScr_ = -1;
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override
    {
        if (pos_ >= data_.size()) return S_FALSE;
        const std::size_t n = std::min(kBlock, data_.size() - pos_);
        if (paced_ && !WaitForBlock(n)) return S_FALSE;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        std::memcpy(buffer, data_.data() + pos_, n);
        sample->SetActualDataLength(static_cast<LONG>(n));
        sample->SetTime(nullptr, nullptr);
        pos_ += n;
        return S_OK;
    }

private:
    // Waits until the stream time reaches the block's first pack's SCR; false when
    // a stop is pending.
    bool WaitForBlock(std::size_t n)
    {
        std::int64_t scr = -1;
        for (std::size_t i = 0; i + 4 <= n && scr < 0; ++i) scr = PackScr(data_.data() + pos_ + i, n - i);
        if (scr < 0) return true;
        if (firstScr_ < 0) firstScr_ = scr;
        const REFERENCE_TIME due = (scr - firstScr_) * 1000 / 9;
        for (;;) {
            Command cmd;
            if (CheckRequest(&cmd)) return false;
            REFERENCE_TIME now = 0;
            if (Filter()->State() == State_Running && SUCCEEDED(Filter()->StreamTime(&now)) && now >= due)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::vector<std::uint8_t> data_;
    const bool paced_;
    std::size_t pos_ = 0;          // streaming thread
    std::int64_t firstScr_ = -1;   // streaming thread
};

// Also answers IFileSourceFilter with the file's name, as a file reader does, so a
// splitter downstream can look at the file itself.
class FileSource final : public CSource, public IFileSourceFilter {
public:
    FileSource(const std::string& path, std::vector<std::uint8_t> data, bool paced, HRESULT* phr)
        : CSource("Paced file source", nullptr, kClsid, phr), path_(path.begin(), path.end())
    {
        new FileStream(phr, this, std::move(data), paced);  // the filter owns its pin
    }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
        return CSource::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT Load(LPCWSTR, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT GetCurFile(LPWSTR* fileName, AM_MEDIA_TYPE* mt) override
    {
        if (!fileName) return E_POINTER;
        if (mt) std::memset(mt, 0, sizeof *mt);
        *fileName = quvo::base::TaskMemString(path_);
        return *fileName ? S_OK : E_OUTOFMEMORY;
    }

private:
    const std::u16string path_;  // test paths are ASCII
};

}  // namespace

IBaseFilter* CreatePacedFileSource(const std::string& path, bool paced)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    if (data.empty()) return nullptr;
    HRESULT hr = S_OK;
    auto* source = new FileSource(path, std::move(data), paced, &hr);
    source->NonDelegatingAddRef();
    IBaseFilter* filter = nullptr;
    if (SUCCEEDED(hr)) source->NonDelegatingQueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter));
    source->NonDelegatingRelease();
    return filter;
}

}  // namespace quvo::filters::test

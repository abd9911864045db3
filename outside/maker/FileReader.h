// The maker's MPEG file reader: a source filter whose one output pin pushes the
// file as a byte stream (MEDIATYPE_Stream, MPEG-1 system or MPEG-2 program) from
// its own streaming thread, in large blocks and as fast as downstream takes them.
// IFileSourceFilter::Load names the file; a recording split into fragments plays
// as one stream (RecordingFragments.h).
//
// Threads: Load and GetCurFile on the application thread under the filter lock
// (Load only while stopped); the stream's FillBuffer on its streaming thread, which
// owns the open fragment. The file list is written by Load only while stopped.
#pragma once

#include <string>
#include <vector>

#include "outside/maker/FragmentFile.h"
#include "platform/graph/base/Source.h"
#include "platform/graph/base/SourceStream.h"

namespace quvo::maker {

class FileReaderStream final : public CSourceStream {
public:
    FileReaderStream(HRESULT* phr, CSource* filter);

    // The recording to read from the next start on, and its stream type.
    void SetFiles(std::vector<std::string> files, const GUID& subtype);

    HRESULT GetMediaType(CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

protected:
    HRESULT OnThreadStartPlay() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    GUID subtype_;
    FragmentSequence fragments_{{}};  // streaming thread while active
    HRESULT openResult_ = S_OK;       // streaming thread
    bool first_ = true;               // streaming thread
};

class FileReader final : public CSource, public IFileSourceFilter {
public:
    // The class table creates it (CreateComObject).
    FileReader(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFileSourceFilter. Load takes no media type (the file says what it is) and
    // answers the system's error when the file cannot be opened for reading.
    HRESULT Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mt) override;
    HRESULT GetCurFile(LPWSTR* fileName, AM_MEDIA_TYPE* mt) override;

private:
    FileReaderStream* stream_;  // owned by CSource
    std::u16string fileName_;   // filter lock
};

}  // namespace quvo::maker
